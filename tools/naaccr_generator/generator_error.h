// How the synthetic data generator reports bad input (a missing or malformed layout, options
// out of range): one exception type whose message names the file or option at fault.
#pragma once

#include <stdexcept>
#include <string>

namespace vetra::generator {

class GeneratorError : public std::runtime_error {
public:
    explicit GeneratorError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace vetra::generator
