// Numbers as NAACCR writes its numeric codes: right-justified and zero-filled.
#pragma once

#include <string>

namespace vetra::generator {

// `value` in at least `width` digits, with leading zeros; value must not be negative.
std::string zeroFilled(long value, int width);

} // namespace vetra::generator
