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
    std::string key = normaliseKey(name);
    for (int32_t handle = 1; handle <= memory_.highWaterMark(); ++handle) {
        if (memory_.levelOf(handle) == kLevel && keyOf(handle) == key) {
            value->assign(valueOf(handle));
            return 0;
        }
    }
    value->clear();
    return kNotFound;
}

int32_t EngineVariables::VTi_SetVar(std::string_view name, std::string_view value) {
    std::string key = normaliseKey(name);
    std::string_view trimmed = trimValue(value);
    for (int32_t handle = 1; handle <= memory_.highWaterMark(); ++handle) {
        if (memory_.levelOf(handle) != kLevel) continue;
        std::string_view existing = keyOf(handle);
        bool element = trimmed.empty() && existing.starts_with(key) &&
                       (existing.size() == key.size() || existing[key.size()] == '[');
        if (existing == key || element) {
            memory_.VTi_free(handle);
            break;
        }
    }
    if (trimmed.empty()) return 0;
    auto* block =
        static_cast<char*>(memory_.allocAndLock(kLevel, kTag, key.size() + trimmed.size() + 2));
    std::memcpy(block, key.c_str(), key.size() + 1);
    std::memcpy(block + key.size() + 1, trimmed.data(), trimmed.size());
    block[key.size() + 1 + trimmed.size()] = '\0';
    return 0;
}

int32_t EngineVariables::VTi_GetVarSize(std::string_view name, int32_t* size) const {
    std::string base = normaliseKey(name.substr(0, name.find('[')));
    bool found = false;
    int32_t largest = 0;
    for (int32_t handle = 1; handle <= memory_.highWaterMark(); ++handle) {
        if (memory_.levelOf(handle) != kLevel) continue;
        std::string_view key = keyOf(handle);
        if (key.size() > base.size() && key.starts_with(base) && key[base.size()] == '[') {
            int32_t index = static_cast<int32_t>(parseDecimalText(key.substr(base.size() + 1)));
            largest = found ? std::max(largest, index) : index;
            found = true;
        }
    }
    *size = found ? largest : 0;
    return found ? 0 : kSizeNotFound;
}

} // namespace vetra
