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
    if (indexed_) {
        char key[VariableRecord::kNameCapacity];
        for (size_t i = 0; i < name.size(); ++i)
            key[i] = upper(name[i]);
        auto found = index_.find(std::string_view(key, name.size()));
        if (found == index_.end() || found->second.empty()) return nullptr;
        return &records_[static_cast<size_t>(found->second.back())];
    }
    for (int32_t i = count_ - 1; i >= 0; --i) {
        VariableRecord& record = records_[static_cast<size_t>(i)];
        if (sameName(record, name)) return &record;
    }
    return nullptr;
}

LocalVariables::Positions& LocalVariables::positionsOf(const VariableRecord& record) {
    return index_[std::string(record.key, record.keyLength)];
}

void LocalVariables::buildIndex() {
    index_.clear();
    for (int32_t i = 0; i < count_; ++i)
        positionsOf(records_[static_cast<size_t>(i)]).push_back(i);
    indexed_ = true;
}

void LocalVariables::clear() {
    count_ = 0;
    shapeTree_.restartIfFull();
    shapes_[0] = shapeTree_.root();
    if (indexed_) index_.clear();
    indexed_ = false;
}

void LocalVariables::truncate(int32_t count) {
    if (indexed_) // from the top down, each record is the last of its key
        for (int32_t i = count_ - 1; i >= count; --i)
            positionsOf(records_[static_cast<size_t>(i)]).pop_back();
    count_ = count < count_ ? count : count_;
}

void LocalVariables::append(const VariableRecord& record) {
    if (static_cast<size_t>(count_) == records_.size())
        records_.resize(records_.size() + kGrowRecords);
    records_[static_cast<size_t>(count_)] = record;
    if (indexed_) positionsOf(record).push_back(count_);
    ++count_;
    if (shapes_.size() <= static_cast<size_t>(count_)) shapes_.resize(records_.size() + 1);
    reshapeFrom(count_ - 1);
    if (!indexed_ && count_ > kUnindexedRecords) buildIndex();
}

void LocalVariables::VTi_LocalPush(const VariableRecord& record) {
    if (VariableRecord* existing = VTi_FindVar(record.name)) {
        *existing = record; // the same key: the index stays as it is
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

void LocalVariables::bindParameter(int32_t index, std::string_view name) {
    VariableRecord& record = records_[static_cast<size_t>(index)];
    if (indexed_) {
        Positions& before = positionsOf(record);
        before.erase(std::find(before.begin(), before.end(), index));
    }
    record.type = kParameterType;
    record.setName(name);
    if (indexed_) {
        Positions& after = positionsOf(record);
        after.insert(std::upper_bound(after.begin(), after.end(), index), index);
    }
    reshapeFrom(index);
}

void LocalVariables::reshapeFrom(int32_t index) {
    for (int32_t i = index; i < count_; ++i) {
        const VariableRecord& record = records_[static_cast<size_t>(i)];
        shapes_[static_cast<size_t>(i) + 1] = shapeTree_.child(
            shapes_[static_cast<size_t>(i)], std::string_view(record.key, record.keyLength));
    }
}

} // namespace vetra
