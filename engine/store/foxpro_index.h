// FoxPro index images as a metafile embeds them: the compound compact index (.CDX style) kept
// with a table, and the single compact and classic indexes (.IDX). This layer only decodes: it
// reads one header or one 512-byte node at a time out of the bytes it is given, and checks
// every offset, count and bit width it reads there, so that a damaged index is a nullopt,
// never a read outside those bytes.
//
// Offsets stored in an index (root, siblings, children, tag headers) count from the start of
// the index itself. Walking a tree is the caller's: a damaged file can link nodes in a cycle,
// so a walk must stop after as many nodes as the image can hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

inline constexpr int64_t kIndexNodeSize = 512;
inline constexpr uint32_t kNoIndexNode = 0xFFFFFFFF; // a sibling pointer of -1

// The options byte of a header.
inline constexpr uint8_t kIndexUnique = 0x01;
inline constexpr uint8_t kIndexHasForClause = 0x08;
inline constexpr uint8_t kIndexCompact = 0x20;
inline constexpr uint8_t kIndexCompound = 0x40;

// The attributes of a node. Other bits may be set beside these (Visual FoxPro sets 0x04) and
// say nothing about the node's place in the tree.
inline constexpr uint16_t kIndexNodeRoot = 0x01;
inline constexpr uint16_t kIndexNodeLeaf = 0x02;

struct IndexHeader {
    uint32_t rootNode = 0;
    uint32_t freeList = kNoIndexNode;
    uint16_t keyLength = 0;
    uint8_t options = 0;
    bool descending = false; // compact headers only
    std::string keyExpression;

    bool isCompact() const { return (options & kIndexCompact) != 0; }
    bool isCompound() const { return (options & kIndexCompound) != 0; }
    bool isUnique() const { return (options & kIndexUnique) != 0; }
    bool hasForClause() const { return (options & kIndexHasForClause) != 0; }
};

struct IndexEntry {
    std::string key; // the header's key length, trailing blanks restored
    // A table record number (from 1); in a tag directory, the offset of the tag's header.
    // Classic interior nodes carry none and hold 0.
    uint32_t record = 0;
    uint32_t child = 0; // interior nodes: the node below; 0 in leaves
};

struct IndexNode {
    uint16_t attributes = 0;
    uint32_t leftSibling = kNoIndexNode;
    uint32_t rightSibling = kNoIndexNode;
    std::vector<IndexEntry> entries; // ascending

    bool isRoot() const { return (attributes & kIndexNodeRoot) != 0; }
    bool isLeaf() const { return (attributes & kIndexNodeLeaf) != 0; }
};

struct TagEntry {
    std::string name;      // trailing blanks removed
    uint32_t headerOffset; // of the tag's own compact index header
};

// The header at `position` in `bytes`: 512 bytes for a classic index, 1024 for a compact one
// (the second half holds the expression texts). Nullopt when it does not fit the bytes or
// its key length leaves no room for two keys in a node.
std::optional<IndexHeader> readIndexHeader(std::span<const uint8_t> bytes, int64_t position);

// The node `nodeOffset` bytes after `indexStart`, decoded in the format `header` names.
std::optional<IndexNode> readIndexNode(std::span<const uint8_t> bytes, int64_t indexStart,
                                       uint32_t nodeOffset, const IndexHeader& header);

// The tags of the compound index at `indexStart`, in the directory's (name) order. The
// directory's root must be a leaf.
std::optional<std::vector<TagEntry>> readTagDirectory(std::span<const uint8_t> bytes,
                                                      int64_t indexStart);

// The header offset of the tag named `name`, compared without regard to case and trailing
// blanks; nullopt when the directory has no such tag.
std::optional<uint32_t> findTag(std::span<const TagEntry> tags, std::string_view name);

} // namespace vetra
