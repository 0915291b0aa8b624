#include "engine/store/foxpro_index.h"

#include "engine/store/foxpro_index_bytes.h"
#include "engine/store/foxpro_index_compact_leaf.h"

#include <algorithm>

namespace vetra {

using foxpro_index::bigEndian32;
using foxpro_index::littleEndian16;
using foxpro_index::littleEndian32;

namespace {

constexpr int64_t kClassicHeaderSize = 512;
constexpr int64_t kCompactHeaderSize = 1024;  // the second 512 bytes hold the expressions
constexpr size_t kNodeHeaderSize = 12;        // attributes, key count, two siblings
constexpr size_t kNodeKeyArea = 500;          // the rest of the node
constexpr size_t kClassicExpressionEnd = 236; // the key expression fills 16..235

std::optional<std::span<const uint8_t>> bytesAt(std::span<const uint8_t> bytes, int64_t position,
                                                int64_t length) {
    auto size = static_cast<int64_t>(bytes.size());
    if (position < 0 || position > size || length > size - position) return std::nullopt;
    return bytes.subspan(static_cast<size_t>(position), static_cast<size_t>(length));
}

// Text up to its terminating null or the end of [from, end).
std::string textBetween(std::span<const uint8_t> bytes, size_t from, size_t end) {
    auto first = bytes.begin() + static_cast<std::ptrdiff_t>(from);
    auto last = std::find(first, bytes.begin() + static_cast<std::ptrdiff_t>(end), uint8_t{0});
    return std::string(first, last);
}

// Interior entries hold the key and one (classic) or two (compact) four-byte numbers.
size_t fixedEntrySize(const IndexHeader& header) {
    return size_t{header.keyLength} + (header.isCompact() ? 8 : 4);
}

// A tree needs two keys to a node to narrow at all.
bool keyLengthFits(const IndexHeader& header) {
    return header.keyLength > 0 && 2 * fixedEntrySize(header) <= kNodeKeyArea;
}

void readExpression(IndexHeader& header, std::span<const uint8_t> bytes) {
    if (!header.isCompact()) {
        header.keyExpression = textBetween(bytes, 16, kClassicExpressionEnd);
        return;
    }
    header.descending = littleEndian16(bytes, 502) != 0;
    size_t poolLength = std::min<size_t>(littleEndian16(bytes, 510), kClassicHeaderSize);
    header.keyExpression = textBetween(bytes, kClassicHeaderSize, kClassicHeaderSize + poolLength);
}

// Entries of a fixed size: a compact interior node (key, record, child) or any classic node
// (key, then the record in a leaf or the child in an interior node).
std::optional<std::vector<IndexEntry>> decodeFixedEntries(std::span<const uint8_t> node,
                                                          uint16_t keyCount, uint32_t nodeOffset,
                                                          const IndexHeader& header, bool leaf) {
    size_t entrySize = fixedEntrySize(header);
    if (size_t{keyCount} * entrySize > kNodeKeyArea) return std::nullopt;
    if (!leaf && keyCount == 0) return std::nullopt; // an interior node always has children
    std::vector<IndexEntry> entries;
    entries.reserve(keyCount);
    for (size_t i = 0; i < keyCount; ++i) {
        size_t at = kNodeHeaderSize + i * entrySize;
        size_t number = at + header.keyLength;
        IndexEntry entry{std::string(node.begin() + static_cast<std::ptrdiff_t>(at),
                                     node.begin() + static_cast<std::ptrdiff_t>(number)),
                         0, 0};
        if (header.isCompact()) {
            entry.record = bigEndian32(node, number);
            entry.child = bigEndian32(node, number + 4);
        } else if (leaf) {
            entry.record = bigEndian32(node, number);
        } else {
            entry.child = bigEndian32(node, number);
        }
        if (!leaf && entry.child == nodeOffset) return std::nullopt; // its own child
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string withoutTrailingPadding(std::string_view text) {
    size_t end = text.find_last_not_of(std::string_view(" \0", 2));
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

bool sameNameIgnoringCase(std::string_view left, std::string_view right) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(),
                      [&](char a, char b) { return upper(a) == upper(b); });
}

} // namespace

std::optional<IndexHeader> readIndexHeader(std::span<const uint8_t> bytes, int64_t position) {
    auto fixed = bytesAt(bytes, position, kClassicHeaderSize);
    if (!fixed) return std::nullopt;
    IndexHeader header;
    header.rootNode = littleEndian32(*fixed, 0);
    header.freeList = littleEndian32(*fixed, 4);
    header.keyLength = littleEndian16(*fixed, 12);
    header.options = (*fixed)[14];
    if (header.isCompound() && !header.isCompact()) return std::nullopt; // compound is compact
    if (!keyLengthFits(header)) return std::nullopt;
    auto whole =
        bytesAt(bytes, position, header.isCompact() ? kCompactHeaderSize : kClassicHeaderSize);
    if (!whole) return std::nullopt;
    readExpression(header, *whole);
    return header;
}

std::optional<IndexNode> readIndexNode(std::span<const uint8_t> bytes, int64_t indexStart,
                                       uint32_t nodeOffset, const IndexHeader& header) {
    if (indexStart < 0 || indexStart > static_cast<int64_t>(bytes.size()) || !keyLengthFits(header))
        return std::nullopt;
    auto node = bytesAt(bytes, indexStart + int64_t{nodeOffset}, kIndexNodeSize);
    if (!node) return std::nullopt;
    IndexNode result;
    result.attributes = littleEndian16(*node, 0);
    result.leftSibling = littleEndian32(*node, 4);
    result.rightSibling = littleEndian32(*node, 8);
    if (result.leftSibling == nodeOffset || result.rightSibling == nodeOffset)
        return std::nullopt; // a node beside itself
    uint16_t keyCount = littleEndian16(*node, 2);
    auto entries = header.isCompact() && result.isLeaf()
                       ? foxpro_index::decodeCompactLeaf(*node, keyCount, header.keyLength)
                       : decodeFixedEntries(*node, keyCount, nodeOffset, header, result.isLeaf());
    if (!entries) return std::nullopt;
    result.entries = std::move(*entries);
    return result;
}

std::optional<std::vector<TagEntry>> readTagDirectory(std::span<const uint8_t> bytes,
                                                      int64_t indexStart) {
    auto header = readIndexHeader(bytes, indexStart);
    if (!header || !header->isCompound()) return std::nullopt;
    auto root = readIndexNode(bytes, indexStart, header->rootNode, *header);
    if (!root || !root->isLeaf()) return std::nullopt;
    std::vector<TagEntry> tags;
    tags.reserve(root->entries.size());
    for (const IndexEntry& entry : root->entries)
        tags.push_back(TagEntry{withoutTrailingPadding(entry.key), entry.record});
    return tags;
}

std::optional<uint32_t> findTag(std::span<const TagEntry> tags, std::string_view name) {
    std::string wanted = withoutTrailingPadding(name);
    for (const TagEntry& tag : tags)
        if (sameNameIgnoringCase(tag.name, wanted)) return tag.headerOffset;
    return std::nullopt;
}

} // namespace vetra
