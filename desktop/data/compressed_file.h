// A file read through zlib: a gzip-compressed file gives its decompressed bytes, any other file
// its own bytes, so one reader serves both forms of a data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vetra::desktop {

// True when the file starts with gzip's magic bytes.
bool isGzipFile(const std::string& path);

class CompressedFile {
public:
    explicit CompressedFile(const std::string& path);
    ~CompressedFile();
    CompressedFile(const CompressedFile&) = delete;
    CompressedFile& operator=(const CompressedFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // Up to `capacity` bytes; 0 at the end, -1 when the file is damaged or cannot be read.
    std::int64_t read(char* buffer, std::size_t capacity);
    // Why the last read failed.
    std::string errorText() const;

private:
    void* file_ = nullptr; // zlib's gzFile
};

} // namespace vetra::desktop
