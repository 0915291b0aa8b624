// The whole of a file as bytes, for tests that compare what a program wrote; empty when the
// file cannot be read.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vetra::testing {

inline std::string fileContents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace vetra::testing
