#include "tests/corruption/metafile_layout.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace vetra::corruption {

using writer::Bytes;

namespace {

std::size_t littleEndian(const Bytes& bytes, std::size_t at, std::size_t width) {
    std::size_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = value << 8 | bytes.at(at + i);
    return value;
}

std::size_t bigEndian(const Bytes& bytes, std::size_t at, std::size_t width) {
    std::size_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = value << 8 | bytes.at(at + i);
    return value;
}

std::string_view textAt(const Bytes& bytes, std::size_t at, std::size_t length) {
    if (at + length > bytes.size()) throw std::out_of_range("text beyond the metafile");
    return {reinterpret_cast<const char*>(bytes.data()) + at, length};
}

// The writer right-aligns block numbers and leaves the field blank for none.
std::size_t blockNumber(std::string_view field) {
    field.remove_prefix(std::min(field.find_first_not_of(' '), field.size()));
    std::size_t number = 0;
    std::from_chars(field.data(), field.data() + field.size(), number);
    return number;
}

MemoBaseBlock baseBlock(const Bytes& metafile, const MetafileLayout& layout,
                        std::string_view blockField) {
    std::size_t number = blockNumber(blockField);
    if (number == 0) return {};
    std::size_t start = layout.memoBase + number * layout.memoBlockSize;
    return MemoBaseBlock{start, bigEndian(metafile, start + 4, 4)};
}

EntryLayout entryAt(const Bytes& metafile, const MetafileLayout& layout, std::size_t record) {
    std::string name(textAt(metafile, record + 1, 12));
    name.erase(name.find_last_not_of(' ') + 1);
    return EntryLayout{name, record,
                       baseBlock(metafile, layout, textAt(metafile, record + dataBlockField, 10)),
                       baseBlock(metafile, layout, textAt(metafile, record + memoBlockField, 10))};
}

} // namespace

const EntryLayout& MetafileLayout::entry(std::string_view name) const {
    for (const EntryLayout& candidate : entries)
        if (candidate.name == name) return candidate;
    throw std::out_of_range("no directory entry " + std::string(name));
}

MetafileLayout layoutOf(const Bytes& metafile) {
    MetafileLayout layout;
    layout.recordCount = littleEndian(metafile, MetafileLayout::directory + 4, 4);
    layout.headerLength = littleEndian(metafile, MetafileLayout::directory + 8, 2);
    layout.recordLength = littleEndian(metafile, MetafileLayout::directory + 10, 2);
    layout.firstRecord = MetafileLayout::directory + layout.headerLength;
    layout.memoBase = layout.recordsEnd() + 1; // after the end byte 0x1A
    layout.memoBlockSize = bigEndian(metafile, layout.memoBase + 6, 2);
    for (std::size_t i = 0; i < layout.recordCount; ++i)
        layout.entries.push_back(
            entryAt(metafile, layout, layout.firstRecord + i * layout.recordLength));
    return layout;
}

void patchText(Bytes& bytes, std::size_t at, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(text[i]);
}

void patchLittleEndian16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void patchLittleEndian32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    patchLittleEndian16(bytes, at, static_cast<std::uint16_t>(value));
    patchLittleEndian16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

void patchBigEndian16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value >> 8);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value);
}

void patchBigEndian32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    patchBigEndian16(bytes, at, static_cast<std::uint16_t>(value >> 16));
    patchBigEndian16(bytes, at + 2, static_cast<std::uint16_t>(value));
}

} // namespace vetra::corruption
