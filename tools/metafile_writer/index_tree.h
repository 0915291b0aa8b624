// Lays a B-tree of index nodes out from sorted keys: the leaves left to right, each as full as
// its format allows, then each level of interior nodes above them, the root last. Nodes of a
// level are adjacent, so each node's siblings are the nodes just before and after it.
#pragma once

#include "tools/metafile_writer/index_nodes.h"

#include <cstdint>
#include <span>

namespace vetra::writer {

struct IndexTree {
    Bytes nodes;
    std::uint32_t root = 0;
};

// `firstNode` is the offset, inside the index, at which the nodes will be stored. No keys make
// one empty root leaf. Throws WriterError when the index would outgrow 32-bit offsets.
IndexTree buildIndexTree(const IndexNodeFormat& format, std::span<const IndexKey> keys,
                         std::uint32_t firstNode);

} // namespace vetra::writer
