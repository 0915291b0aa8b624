#include "tools/metafile_writer/file_contents.h"

#include "tools/metafile_writer/writer_error.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vetra::writer {

namespace {

[[noreturn]] void failOn(const std::filesystem::path& file, const char* action) {
    throw WriterError(file, std::string("cannot ") + action + ": " + std::strerror(errno));
}

} // namespace

std::string readFileContents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) failOn(file, "open for reading");
    std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) failOn(file, "read");
    return contents;
}

void writeFileContents(const std::filesystem::path& file, const Bytes& contents) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) failOn(file, "open for writing");
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out) failOn(file, "write");
}

} // namespace vetra::writer
