#include "local_variables.h"

#include <algorithm>
#include <cstring>

namespace vetra {

namespace {

// Names compare in ASCII upper case, whatever the host's locale.
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view cut(std::string_view name) {
    return name.substr(0, VariableRecord::kNameCapacity - 1);
}

bool sameName(const VariableRecord& record, std::string_view name) {
    if (record.keyLength != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (record.key[i] != upper(name[i])) return false;
    return true;
}

} // namespace

void VariableRecord::setName(std::string_view text) {
    size_t length = std::min(text.size(), kNameCapacity - 1);
    if (length != 0) std::memcpy(name, text.data(), length); // an empty name may have no data
    name[length] = '\0';
    text = cut(text);
    for (size_t i = 0; i < text.size(); ++i)
        key[i] = upper(text[i]);
    key[text.size()] = '\0';
    keyLength = static_cast<uint8_t>(text.size());
}

VariableRecord* LocalVariables::VTi_FindVar(std::string_view name) {
    name = cut(name);
    for (int32_t i = count_ - 1; i >= 0; --i) {
        VariableRecord& record = records_[static_cast<size_t>(i)];
        if (sameName(record, name)) return &record;
    }
    return nullptr;
}

void LocalVariables::append(const VariableRecord& record) {
    if (static_cast<size_t>(count_) == records_.size())
        records_.resize(records_.size() + kGrowRecords);
    records_[static_cast<size_t>(count_++)] = record;
}

void LocalVariables::VTi_LocalPush(const VariableRecord& record) {
    if (VariableRecord* existing = VTi_FindVar(record.name)) {
        *existing = record;
        return;
    }
    append(record);
}

void LocalVariables::pushArgument(int32_t value) {
    VariableRecord argument;
    argument.type = kUnboundArgument;
    argument.value = value;
    append(argument);
}

} // namespace vetra
