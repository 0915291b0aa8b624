#include "local_variables.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vetra {

namespace {

// The upper-case key of a name, cut like the stored names.
void keyOf(std::string_view name, char (&key)[VariableRecord::kNameCapacity]) {
    size_t length = std::min(name.size(), VariableRecord::kNameCapacity - 1);
    for (size_t i = 0; i < length; ++i)
        key[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
    key[length] = '\0';
}

} // namespace

void VariableRecord::setName(std::string_view text) {
    size_t length = std::min(text.size(), kNameCapacity - 1);
    std::memcpy(name, text.data(), length);
    name[length] = '\0';
    keyOf(text, key);
}

VariableRecord* LocalVariables::VTi_FindVar(std::string_view name) {
    char key[VariableRecord::kNameCapacity];
    keyOf(name, key);
    for (int32_t i = count_ - 1; i >= 0; --i) {
        VariableRecord& record = records_[static_cast<size_t>(i)];
        if (std::strcmp(record.key, key) == 0) return &record;
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
