// The positioned reads of one open metafile. The whole file is read into memory once at open;
// every read is checked against the image here, so a position or length taken from the file
// that points outside it becomes a failed read, never an access outside the image.
//
// Reads advance the position by the number of bytes asked for, even when fewer could be
// delivered: callers treat such a short read as the end of their data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

class MetafileStream {
public:
    // Positions are 32-bit in the metafile format; larger files are refused at open.
    static constexpr int64_t kMaxImageSize = INT32_MAX;

    // False when the file cannot be read or is too large.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return open_; }
    int64_t size() const { return static_cast<int64_t>(image_.size()); }

    // -1 when the position lies outside the image (the end itself is a valid position).
    int32_t seek(int64_t position);
    // Reads size x count bytes; returns count, or 0 after a short read.
    size_t read(void* buffer, size_t size, size_t count);
    int64_t tell() const { return position_; }
    bool readByte(uint8_t* value);
    bool readBigEndian16(uint32_t* value);
    bool readBigEndian32(uint32_t* value);
    // Reads up to `limit` bytes, stopping after the first line feed, which is kept.
    std::string readLine(size_t limit);

    // The bytes [position, position + length) when they lie inside the image; empty otherwise.
    std::span<const uint8_t> bytesAt(int64_t position, int64_t length) const;

private:
    std::vector<uint8_t> image_;
    int64_t position_ = 0;
    bool open_ = false;
};

} // namespace vetra
