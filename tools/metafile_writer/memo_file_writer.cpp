#include "tools/metafile_writer/memo_file_writer.h"

#include "tools/metafile_writer/writer_error.h"

#include <limits>
#include <string>

namespace vetra::writer {

namespace {

constexpr std::size_t blockHeaderSize = 8;

bool isUsableBlockSize(std::uint16_t size) {
    return size >= blockHeaderSize && size <= MemoFileWriter::headerSize &&
           MemoFileWriter::headerSize % size == 0;
}

} // namespace

MemoFileWriter::MemoFileWriter(std::uint16_t blockSize) : blockSize_(blockSize) {
    if (!isUsableBlockSize(blockSize))
        throw WriterError("memo block size " + std::to_string(blockSize) +
                          " is not one of 8, 16, 32, 64, 128, 256, 512");
}

std::uint32_t MemoFileWriter::nextFreeBlock() const {
    return static_cast<std::uint32_t>((headerSize + blocks_.size()) / blockSize_);
}

std::uint32_t MemoFileWriter::append(std::string_view content, MemoBlockType type) {
    constexpr auto limit = std::numeric_limits<std::uint32_t>::max();
    std::size_t blockCount = (blockHeaderSize + content.size() + blockSize_ - 1) / blockSize_;
    if (content.size() > limit || nextFreeBlock() + std::uint64_t{blockCount} > limit)
        throw WriterError("memo file grows past the 4 GiB its block numbers can address");
    std::uint32_t block = nextFreeBlock();
    appendBigEndian32(blocks_, static_cast<std::uint32_t>(type));
    appendBigEndian32(blocks_, static_cast<std::uint32_t>(content.size()));
    appendText(blocks_, content);
    appendZeros(blocks_, blockCount * blockSize_ - blockHeaderSize - content.size());
    return block;
}

Bytes MemoFileWriter::image() const {
    Bytes file;
    file.reserve(headerSize + blocks_.size());
    appendBigEndian32(file, nextFreeBlock());
    appendZeros(file, 2);
    appendBigEndian16(file, blockSize_);
    appendZeros(file, headerSize - file.size());
    file.insert(file.end(), blocks_.begin(), blocks_.end());
    return file;
}

} // namespace vetra::writer
