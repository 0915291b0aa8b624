// The nodes of a compact index. Interior nodes hold each child's last key in full, then its
// record number and the child's offset, both big-endian. Leaves pack each key's record
// number, duplicate count (leading bytes shared with the key before it in the leaf) and
// trailing count (trailing blanks) into one little-endian entry of as few bits as the leaf's
// largest record number and the key length need, and store what remains of each key from
// the end of the node backwards.
#pragma once

#include "tools/metafile_writer/index_nodes.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vetra::writer {

class CompactNodeFormat final : public IndexNodeFormat {
public:
    explicit CompactNodeFormat(std::size_t keyLength);

    std::size_t leafCapacity(std::span<const IndexKey> keys) const override;
    std::size_t interiorCapacity() const override;
    Bytes leaf(std::span<const IndexKey> keys, const NodeLinks& links) const override;
    Bytes interior(std::span<const ChildEntry> children, const NodeLinks& links) const override;

private:
    std::size_t keyLength_;
    std::uint8_t countBits_; // for both counts, which run from 0 to the key length
};

} // namespace vetra::writer
