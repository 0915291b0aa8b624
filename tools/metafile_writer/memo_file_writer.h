// FoxPro-style memo files: a 512-byte header, then blocks of one fixed size. Each memo starts
// on a block boundary with an 8-byte big-endian header (type, content length) and is padded
// with zeros to the next boundary. A table's own memo file and the metafile's memo base, which
// holds every embedded image, are both written this way.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <cstdint>
#include <string_view>

namespace vetra::writer {

enum class MemoBlockType : std::uint32_t { binary = 0, text = 1 };

class MemoFileWriter {
public:
    static constexpr std::size_t headerSize = 512;

    // The block size must divide the header, so that blocks start right after it, and hold a
    // block's own header: 8, 16, 32, 64, 128, 256 or 512. Anything else throws WriterError.
    explicit MemoFileWriter(std::uint16_t blockSize);

    // Stores the content in the next free block and returns that block's number.
    std::uint32_t append(std::string_view content, MemoBlockType type);

    // The whole file: the header, naming the next free block, and every block so far.
    Bytes image() const;

private:
    std::uint32_t nextFreeBlock() const;

    std::uint16_t blockSize_;
    Bytes blocks_; // everything after the header
};

} // namespace vetra::writer
