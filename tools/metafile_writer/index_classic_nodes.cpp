#include "tools/metafile_writer/index_classic_nodes.h"

#include <algorithm>

namespace vetra::writer {

std::size_t ClassicNodeFormat::interiorCapacity() const {
    return (indexNodeSize - indexNodeHeaderSize) / (keyLength_ + 4);
}

std::size_t ClassicNodeFormat::leafCapacity(std::span<const IndexKey> keys) const {
    return std::min(keys.size(), interiorCapacity());
}

Bytes ClassicNodeFormat::leaf(std::span<const IndexKey> keys, const NodeLinks& links) const {
    Bytes node;
    appendNodeHeader(node, leafNodeAttribute, keys.size(), links);
    for (const IndexKey& key : keys) {
        appendText(node, key.key);
        appendBigEndian32(node, key.record);
    }
    appendZeros(node, indexNodeSize - node.size());
    return node;
}

Bytes ClassicNodeFormat::interior(std::span<const ChildEntry> children,
                                  const NodeLinks& links) const {
    Bytes node;
    appendNodeHeader(node, 0, children.size(), links);
    for (const ChildEntry& child : children) {
        appendText(node, child.key);
        appendBigEndian32(node, child.child);
    }
    appendZeros(node, indexNodeSize - node.size());
    return node;
}

} // namespace vetra::writer
