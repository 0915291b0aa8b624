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
    std::memcpy(destination, text.data(), count);
    destination[count] = '\0';
}

} // namespace vetra
