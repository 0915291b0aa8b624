// The nodes of a classic (non-compact) index: after the node header, each key in full and one
// big-endian number, the record number in a leaf and the child's offset in an interior node.
#pragma once

#include "tools/metafile_writer/index_nodes.h"

#include <cstddef>
#include <span>

namespace vetra::writer {

class ClassicNodeFormat final : public IndexNodeFormat {
public:
    explicit ClassicNodeFormat(std::size_t keyLength) : keyLength_(keyLength) {}

    std::size_t leafCapacity(std::span<const IndexKey> keys) const override;
    std::size_t interiorCapacity() const override;
    Bytes leaf(std::span<const IndexKey> keys, const NodeLinks& links) const override;
    Bytes interior(std::span<const ChildEntry> children, const NodeLinks& links) const override;

private:
    std::size_t keyLength_;
};

} // namespace vetra::writer
