// Copies of engine texts into buffers that the caller owns and sizes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vetra {

// Writes at most capacity - 1 characters and a terminator; nothing when there is no room.
inline void copyToCaller(char* destination, int32_t capacity, std::string_view text) {
    if (destination == nullptr || capacity <= 0) return;
    size_t count = std::min(text.size(), static_cast<size_t>(capacity) - 1);
    if (count > 0) std::memcpy(destination, text.data(), count); // an empty view may be null
    destination[count] = '\0';
}

} // namespace vetra
