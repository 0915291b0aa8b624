// Whole-file reads and writes for the writer's sources and its output.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <filesystem>
#include <string>

namespace vetra::writer {

// Both throw WriterError naming the file when it cannot be read or written.
std::string readFileContents(const std::filesystem::path& file);
void writeFileContents(const std::filesystem::path& file, const Bytes& contents);

} // namespace vetra::writer
