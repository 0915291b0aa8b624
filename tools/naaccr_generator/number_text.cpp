#include "tools/naaccr_generator/number_text.h"

#include <cstdio>

namespace vetra::generator {

std::string zeroFilled(long value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*ld", width, value);
    return text;
}

} // namespace vetra::generator
