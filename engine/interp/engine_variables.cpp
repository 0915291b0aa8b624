#include "engine_variables.h"

#include "engine/store/table_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vetra {

namespace {

std::string_view trimName(std::string_view text) {
    size_t end = text.find_last_not_of(" \r\n");
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view trimValue(std::string_view text) {
    size_t end = text.find_last_not_of(" \r\n");
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    return text.substr(0, EngineVariables::kMaxValueLength);
}

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::string EngineVariables::normaliseKey(std::string_view name) {
    size_t bracket = name.find('[');
    if (bracket == std::string_view::npos) return upperCase(std::string(trimName(name)));
    auto index = static_cast<int32_t>(parseDecimalText(name.substr(bracket + 1)));
    return upperCase(std::string(trimName(name.substr(0, bracket))) + "[" + std::to_string(index) +
                     "]");
}

std::string EngineVariables::indexedName(std::string_view base, int32_t index) {
    return std::string(base.substr(0, 75)) + "[" + std::to_string(index) + "]";
}

std::string_view EngineVariables::keyOf(int32_t handle) const {
    const char* block = static_cast<const char*>(memory_.lock(handle));
    return {block, strnlen(block, memory_.blockSize(handle))};
}

std::string_view EngineVariables::valueOf(int32_t handle) const {
    std::string_view key = keyOf(handle);
    const char* block = static_cast<const char*>(memory_.lock(handle));
    size_t start = key.size() + 1;
    size_t size = memory_.blockSize(handle);
    if (start >= size) return {};
    return {block + start, strnlen(block + start, size - start)};
}

int32_t EngineVariables::VTi_GetVar(std::string_view name, std::string* value) const {
    auto found = handles_.find(normaliseKey(name));
    if (found == handles_.end()) {
        value->clear();
        return kNotFound;
    }
    value->assign(valueOf(found->second));
    return 0;
}

// The variable itself or, for a name without an index, also any of its elements: whichever
// has the lowest handle.
int32_t EngineVariables::deletedBy(const std::string& key) const {
    auto found = handles_.find(key);
    int32_t handle = found != handles_.end() ? found->second : 0;
    if (key.find('[') != std::string::npos) return handle;
    auto elements = arrays_.find(key);
    if (elements == arrays_.end() || elements->second.handles.empty()) return handle;
    int32_t first = *elements->second.handles.begin();
    return handle == 0 ? first : std::min(handle, first);
}

void EngineVariables::remove(int32_t handle) {
    std::string key(keyOf(handle));
    handles_.erase(key);
    if (size_t bracket = key.find('['); bracket != std::string::npos) {
        auto elements = arrays_.find(key.substr(0, bracket));
        elements->second.handles.erase(handle);
        elements->second.indexes.erase(elements->second.indexes.find(
            static_cast<int32_t>(parseDecimalText(key.substr(bracket + 1)))));
        if (elements->second.handles.empty()) arrays_.erase(elements);
    }
    memory_.VTi_free(handle);
}

void EngineVariables::add(const std::string& key, std::string_view value) {
    if (handles_.size() >= kMaxVariables) {
        errors_.record(449);
        errors_.setText("In VTi_SetVar: an instance holds at most " +
                        std::to_string(kMaxVariables) + " engine variables");
        throw EngineFailure("VTi_SetVar");
    }
    int32_t handle = memory_.VTi_AllocMem(kLevel, kTag, false, key.size() + value.size() + 2);
    auto* block = static_cast<char*>(memory_.lock(handle));
    std::memcpy(block, key.c_str(), key.size() + 1);
    std::memcpy(block + key.size() + 1, value.data(), value.size());
    block[key.size() + 1 + value.size()] = '\0';
    handles_.emplace(key, handle);
    if (size_t bracket = key.find('['); bracket != std::string::npos) {
        ArrayElements& elements = arrays_[key.substr(0, bracket)];
        elements.handles.insert(handle);
        elements.indexes.insert(static_cast<int32_t>(parseDecimalText(key.substr(bracket + 1))));
    }
}

int32_t EngineVariables::VTi_SetVar(std::string_view name, std::string_view value) {
    ++revision_;
    std::string key = normaliseKey(name);
    std::string_view trimmed = trimValue(value);
    if (trimmed.empty()) {
        if (int32_t handle = deletedBy(key); handle != 0) remove(handle);
        return 0;
    }
    if (auto found = handles_.find(key); found != handles_.end()) remove(found->second);
    add(key, trimmed);
    return 0;
}

int32_t EngineVariables::VTi_GetVarSize(std::string_view name, int32_t* size) const {
    auto elements = arrays_.find(normaliseKey(name.substr(0, name.find('['))));
    if (elements == arrays_.end()) {
        *size = 0;
        return kSizeNotFound;
    }
    *size = *elements->second.indexes.rbegin();
    return 0;
}

void EngineVariables::clear() {
    ++revision_;
    for (const auto& [key, handle] : handles_)
        memory_.VTi_free(handle);
    handles_.clear();
    arrays_.clear();
}

} // namespace vetra
