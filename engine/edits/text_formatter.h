// fmttext: word-wrapping a description or help text to a line width. Lines break as carriage
// return plus line feed; a tab moves to the next stop of four columns and sets the indent of
// the wrapped lines that follow.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vetra {

// The formatted text, at most `capacity` - 1 characters (the rest is dropped).
std::string fmttext(int lineWidth, std::string_view source, size_t capacity);

} // namespace vetra
