// Writes a table as the bytes of a .DBF file: a 32-byte header, 32 bytes per field
// descriptor, the terminator 0x0D, the records, and the end byte 0x1A. Header numbers are
// little-endian. The contents of memo fields go to a memo file of the table's own, and each
// memo field holds the number of its block.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"
#include "tools/metafile_writer/dbf_table.h"
#include "tools/metafile_writer/memo_file_writer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vetra::writer {

inline constexpr std::uint8_t dbfSignaturePlain = 0x03;
inline constexpr std::uint8_t dbfSignatureWithMemo = 0xF5;
inline constexpr std::uint8_t dbfFlagHasMemo = 0x02;
inline constexpr std::uint8_t dbfHeaderTerminator = 0x0D;
inline constexpr std::uint8_t dbfEndOfFile = 0x1A;
inline constexpr std::size_t dbfHeaderSize = 32;
inline constexpr std::size_t dbfFieldDescriptorSize = 32;

struct MemoSettings {
    std::uint16_t blockSize = 64;
    MemoBlockType blockType = MemoBlockType::text;
};

struct DbfImage {
    Bytes table;
    Bytes memoFile; // empty when the table has no memo columns
};

// The table must have passed validateTable.
DbfImage writeDbfImage(const DbfTable& table, const MemoSettings& memo);

// A number as a memo field stores it: right-aligned decimal, ten characters.
std::string memoFieldText(std::uint32_t block);

} // namespace vetra::writer
