#include "tools/metafile_writer/index_compact_nodes.h"

#include <algorithm>
#include <bit>
#include <string_view>
#include <vector>

namespace vetra::writer {

namespace {

constexpr std::size_t leafEntriesStart = 24; // after the node header, free space, masks, widths
constexpr std::size_t leafSpace = indexNodeSize - leafEntriesStart;

struct PackedKey {
    std::size_t duplicates;
    std::size_t trailing;
    std::size_t storedLength(std::size_t keyLength) const {
        return keyLength - duplicates - trailing;
    }
};

// Blanks at the end are dropped before the shared prefix is counted, so a key of blanks only
// stores nothing.
PackedKey packKey(std::string_view previous, std::string_view key) {
    std::size_t kept = key.find_last_not_of(' ') + 1; // npos + 1 is 0
    std::size_t duplicates = 0;
    while (duplicates < std::min(kept, previous.size()) && previous[duplicates] == key[duplicates])
        ++duplicates;
    return PackedKey{duplicates, key.size() - kept};
}

std::string_view previousKey(std::span<const IndexKey> keys, std::size_t i) {
    return i == 0 ? std::string_view() : std::string_view(keys[i - 1].key);
}

struct LeafWidths {
    std::uint8_t recordBits;
    std::uint8_t countBits;
    std::uint8_t entryBytes;
};

LeafWidths leafWidths(std::uint32_t largestRecord, std::uint8_t countBits) {
    auto recordBits =
        static_cast<std::uint8_t>(std::max(1, static_cast<int>(std::bit_width(largestRecord))));
    return LeafWidths{recordBits, countBits,
                      static_cast<std::uint8_t>((recordBits + 2 * countBits + 7) / 8)};
}

void appendPacked(Bytes& out, std::uint64_t value, std::uint8_t bytes) {
    for (std::uint8_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendLeafLayout(Bytes& out, const LeafWidths& widths, std::size_t freeSpace) {
    appendLittleEndian16(out, static_cast<std::uint16_t>(freeSpace));
    appendLittleEndian32(out,
                         static_cast<std::uint32_t>((std::uint64_t{1} << widths.recordBits) - 1));
    auto countMask = static_cast<std::uint8_t>((1u << widths.countBits) - 1);
    out.insert(out.end(), {countMask, countMask, widths.recordBits, widths.countBits,
                           widths.countBits, widths.entryBytes});
}

} // namespace

CompactNodeFormat::CompactNodeFormat(std::size_t keyLength)
    : keyLength_(keyLength), countBits_(static_cast<std::uint8_t>(std::bit_width(keyLength))) {}

std::size_t CompactNodeFormat::interiorCapacity() const {
    return (indexNodeSize - indexNodeHeaderSize) / (keyLength_ + 8);
}

std::size_t CompactNodeFormat::leafCapacity(std::span<const IndexKey> keys) const {
    std::size_t text = 0;
    std::uint32_t largestRecord = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        PackedKey packed = packKey(previousKey(keys, i), keys[i].key);
        text += packed.storedLength(keyLength_);
        largestRecord = std::max(largestRecord, keys[i].record);
        if ((i + 1) * leafWidths(largestRecord, countBits_).entryBytes + text > leafSpace) return i;
    }
    return keys.size();
}

Bytes CompactNodeFormat::leaf(std::span<const IndexKey> keys, const NodeLinks& links) const {
    std::uint32_t largestRecord = 0;
    for (const IndexKey& key : keys)
        largestRecord = std::max(largestRecord, key.record);
    LeafWidths widths = leafWidths(largestRecord, countBits_);

    Bytes entries;
    Bytes texts; // in key order; the node holds them reversed from its end
    std::vector<std::size_t> textStarts;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        PackedKey packed = packKey(previousKey(keys, i), keys[i].key);
        appendPacked(entries,
                     keys[i].record | std::uint64_t{packed.duplicates} << widths.recordBits |
                         std::uint64_t{packed.trailing} << (widths.recordBits + widths.countBits),
                     widths.entryBytes);
        textStarts.push_back(texts.size());
        appendText(texts, std::string_view(keys[i].key)
                              .substr(packed.duplicates, packed.storedLength(keyLength_)));
    }
    textStarts.push_back(texts.size());

    Bytes node;
    appendNodeHeader(node, leafNodeAttribute, keys.size(), links);
    appendLeafLayout(node, widths, leafSpace - entries.size() - texts.size());
    node.insert(node.end(), entries.begin(), entries.end());
    appendZeros(node, leafSpace - entries.size() - texts.size());
    for (std::size_t i = keys.size(); i-- > 0;)
        node.insert(node.end(), texts.begin() + static_cast<std::ptrdiff_t>(textStarts[i]),
                    texts.begin() + static_cast<std::ptrdiff_t>(textStarts[i + 1]));
    return node;
}

Bytes CompactNodeFormat::interior(std::span<const ChildEntry> children,
                                  const NodeLinks& links) const {
    Bytes node;
    appendNodeHeader(node, 0, children.size(), links);
    for (const ChildEntry& child : children) {
        appendText(node, child.key);
        appendBigEndian32(node, child.record);
        appendBigEndian32(node, child.child);
    }
    appendZeros(node, indexNodeSize - node.size());
    return node;
}

} // namespace vetra::writer
