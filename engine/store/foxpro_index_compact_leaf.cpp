#include "engine/store/foxpro_index_compact_leaf.h"

#include "engine/store/foxpro_index_bytes.h"

namespace vetra::foxpro_index {

namespace {

// The masks are one byte for the two counts and four for the record number, which bounds
// their widths; an entry is read into 64 bits.
constexpr uint8_t kMaxRecordBits = 32;
constexpr uint8_t kMaxCountBits = 8;
constexpr uint8_t kMaxEntryBytes = 8;

struct LeafLayout {
    uint8_t recordBits;
    uint8_t duplicateBits;
    uint8_t trailingBits;
    uint8_t entryBytes;
};

uint64_t lowBits(uint8_t width) {
    return (uint64_t{1} << width) - 1;
}

// The masks repeat the widths; a leaf whose masks say otherwise is not to be trusted.
std::optional<LeafLayout> readLayout(std::span<const uint8_t> node) {
    LeafLayout layout{node[20], node[21], node[22], node[23]};
    if (layout.recordBits == 0 || layout.recordBits > kMaxRecordBits ||
        layout.duplicateBits > kMaxCountBits || layout.trailingBits > kMaxCountBits)
        return std::nullopt;
    if (littleEndian32(node, 14) != lowBits(layout.recordBits) ||
        node[18] != lowBits(layout.duplicateBits) || node[19] != lowBits(layout.trailingBits))
        return std::nullopt;
    unsigned bits = layout.recordBits + layout.duplicateBits + layout.trailingBits;
    if (layout.entryBytes == 0 || layout.entryBytes > kMaxEntryBytes ||
        bits > 8u * layout.entryBytes)
        return std::nullopt;
    return layout;
}

uint64_t packedEntry(std::span<const uint8_t> node, size_t at, uint8_t entryBytes) {
    uint64_t value = 0;
    for (uint8_t i = 0; i < entryBytes; ++i)
        value |= uint64_t{node[at + i]} << (8 * i);
    return value;
}

} // namespace

std::optional<std::vector<IndexEntry>> decodeCompactLeaf(std::span<const uint8_t> node,
                                                         uint16_t keyCount, uint16_t keyLength) {
    auto layout = readLayout(node);
    if (!layout) return std::nullopt;
    size_t entriesEnd = kCompactLeafEntries + size_t{keyCount} * layout->entryBytes;
    if (entriesEnd > node.size()) return std::nullopt;

    std::vector<IndexEntry> entries;
    entries.reserve(keyCount);
    size_t keyStart = node.size(); // key texts grow down from the end of the node
    std::string previous(keyLength, ' ');
    for (uint16_t i = 0; i < keyCount; ++i) {
        uint64_t packed = packedEntry(node, kCompactLeafEntries + size_t{i} * layout->entryBytes,
                                      layout->entryBytes);
        auto record = static_cast<uint32_t>(packed & lowBits(layout->recordBits));
        auto duplicates =
            static_cast<size_t>((packed >> layout->recordBits) & lowBits(layout->duplicateBits));
        auto trailing =
            static_cast<size_t>((packed >> (layout->recordBits + layout->duplicateBits)) &
                                lowBits(layout->trailingBits));
        if (duplicates + trailing > keyLength) return std::nullopt;
        if (i == 0 && duplicates != 0) return std::nullopt; // nothing before it to share
        size_t stored = keyLength - duplicates - trailing;
        if (keyStart - entriesEnd < stored) return std::nullopt; // text runs into the entries
        keyStart -= stored;

        std::string key = previous.substr(0, duplicates);
        key.append(reinterpret_cast<const char*>(node.data() + keyStart), stored);
        key.append(trailing, ' ');
        previous = key;
        entries.push_back(IndexEntry{std::move(key), record, 0});
    }
    return entries;
}

} // namespace vetra::foxpro_index
