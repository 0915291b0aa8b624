// What the tree builder asks of a node format: how many keys the next leaf takes, how many
// children an interior node takes, and the 512 bytes of each node. Every node starts with
// the same 12 bytes: attributes, key count, left and right sibling.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"
#include "tools/metafile_writer/index_keys.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vetra::writer {

inline constexpr std::size_t indexNodeSize = 512;
inline constexpr std::size_t indexNodeHeaderSize = 12;
inline constexpr std::uint32_t noIndexNode = 0xFFFFFFFF; // -1: no sibling
inline constexpr std::uint16_t rootNodeAttribute = 0x01;
inline constexpr std::uint16_t leafNodeAttribute = 0x02;

struct NodeLinks {
    bool root = false;
    std::uint32_t left = noIndexNode;
    std::uint32_t right = noIndexNode;
};

// An interior entry names a child by the last key under it and that key's record.
struct ChildEntry {
    std::string key;
    std::uint32_t record = 0;
    std::uint32_t child = 0;
};

class IndexNodeFormat {
public:
    virtual ~IndexNodeFormat() = default;

    // The number of keys from the front of `keys` the next leaf takes: at least one while
    // keys remain, since key lengths are limited to maxIndexKeyLength.
    virtual std::size_t leafCapacity(std::span<const IndexKey> keys) const = 0;
    virtual std::size_t interiorCapacity() const = 0;

    virtual Bytes leaf(std::span<const IndexKey> keys, const NodeLinks& links) const = 0;
    virtual Bytes interior(std::span<const ChildEntry> children, const NodeLinks& links) const = 0;
};

inline void appendNodeHeader(Bytes& out, std::uint16_t attributes, std::size_t keyCount,
                             const NodeLinks& links) {
    appendLittleEndian16(
        out, static_cast<std::uint16_t>(links.root ? attributes | rootNodeAttribute : attributes));
    appendLittleEndian16(out, static_cast<std::uint16_t>(keyCount));
    appendLittleEndian32(out, links.left);
    appendLittleEndian32(out, links.right);
}

} // namespace vetra::writer
