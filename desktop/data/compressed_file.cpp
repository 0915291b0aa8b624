#include "desktop/data/compressed_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <zlib.h>

namespace vetra::desktop {

namespace {

gzFile handle(void* file) {
    return static_cast<gzFile>(file);
}

} // namespace

bool isGzipFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char magic[2] = {0, 0};
    const bool gzip = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
    std::fclose(file);
    return gzip;
}

CompressedFile::CompressedFile(const std::string& path) : file_(gzopen(path.c_str(), "rb")) {
    if (file_ != nullptr) gzbuffer(handle(file_), 256 * 1024);
}

CompressedFile::~CompressedFile() {
    if (file_ != nullptr) gzclose_r(handle(file_));
}

std::int64_t CompressedFile::read(char* buffer, std::size_t capacity) {
    if (file_ == nullptr) return -1;
    std::int64_t total = 0;
    // gzread takes an unsigned count; a larger request is read in pieces.
    while (capacity > 0) {
        const auto piece = static_cast<unsigned>(std::min<std::size_t>(capacity, INT_MAX));
        const int got = gzread(handle(file_), buffer + total, piece);
        if (got < 0) return -1;
        if (got == 0) {
            // zlib ends a stream cut short like a whole one and keeps the fault to itself.
            int code = Z_OK;
            gzerror(handle(file_), &code);
            if (code != Z_OK) return -1;
            break;
        }
        total += got;
        capacity -= static_cast<std::size_t>(got);
    }
    return total;
}

std::string CompressedFile::errorText() const {
    if (file_ == nullptr) return std::strerror(errno);
    int code = Z_OK;
    const char* text = gzerror(handle(file_), &code);
    if (code == Z_ERRNO) return std::strerror(errno);
    // zlib says "unexpected end of file" after the path for a stream cut short.
    if (code == Z_BUF_ERROR) return "the compressed data ends early";
    return text != nullptr && *text != '\0' ? text : "the compressed data ends early";
}

} // namespace vetra::desktop
