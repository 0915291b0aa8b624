// Where the parts of a metafile lie, decoded from its bytes without the engine, so that tests
// can aim damage at one structure: the directory's header, field descriptors and records, the
// memo base, and the block of every embedded image.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::corruption {

// A block of the memo base: its 8-byte header (type, content length) and the content.
struct MemoBaseBlock {
    std::size_t start = 0; // 0 when the directory names no block
    std::size_t contentLength = 0;
    std::size_t contentStart() const { return start + 8; }
    std::size_t end() const { return contentStart() + contentLength; }
};

struct EntryLayout {
    std::string name;
    std::size_t record = 0; // the entry's directory record, at its deletion byte
    MemoBaseBlock data;
    MemoBaseBlock memoFile;
};

struct MetafileLayout {
    static constexpr std::size_t directory = 512;
    static constexpr std::size_t fieldDescriptors = directory + 32;
    std::size_t headerLength = 0;
    std::size_t recordCount = 0;
    std::size_t recordLength = 0;
    std::size_t firstRecord = 0;
    std::size_t memoBase = 0;
    std::size_t memoBlockSize = 0;
    std::vector<EntryLayout> entries;

    std::size_t recordsEnd() const { return firstRecord + recordCount * recordLength; }
    const EntryLayout& entry(std::string_view name) const;
};

// Directory record fields, as offsets inside a record.
inline constexpr std::size_t recordCountField = 14;
inline constexpr std::size_t recordLengthField = 20;
inline constexpr std::size_t dataBlockField = 26;
inline constexpr std::size_t memoBlockField = 36;
inline constexpr std::size_t indexBlockField = 46;

// The metafile must be one the writer built, undamaged.
MetafileLayout layoutOf(const writer::Bytes& metafile);

void patchText(writer::Bytes& bytes, std::size_t at, std::string_view text);
void patchLittleEndian16(writer::Bytes& bytes, std::size_t at, std::uint16_t value);
void patchLittleEndian32(writer::Bytes& bytes, std::size_t at, std::uint32_t value);
void patchBigEndian16(writer::Bytes& bytes, std::size_t at, std::uint16_t value);
void patchBigEndian32(writer::Bytes& bytes, std::size_t at, std::uint32_t value);

} // namespace vetra::corruption
