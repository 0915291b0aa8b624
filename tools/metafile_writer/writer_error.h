// How the metafile writer reports bad input: one exception type, carrying the source file the
// problem was found in when there is one, so the command line can name it.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vetra::writer {

class WriterError : public std::runtime_error {
public:
    explicit WriterError(const std::string& message) : std::runtime_error(message) {}
    WriterError(std::filesystem::path file, const std::string& message)
        : std::runtime_error(message), file_(std::move(file)) {}

    // Empty when the error is not tied to one input file.
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
};

} // namespace vetra::writer
