// The leaves of a compact index. After the node's 12-byte header come the free space, the
// masks and bit widths of the three packed fields, and from offset 24 one fixed-size entry
// per key: a little-endian number holding the record number in its low bits, then the
// duplicate count (leading bytes shared with the key before), then the trailing count
// (trailing blanks dropped). The rest of each key is stored from the end of the node
// backwards, the first key last.
#pragma once

#include "engine/store/foxpro_index.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vetra::foxpro_index {

inline constexpr size_t kCompactLeafEntries = 24; // where the packed entries start

// The entries of the leaf `node` (its 512 bytes) holding `keyCount` keys; nullopt when a
// bit width, mask or count is out of range or the keys overrun the entries.
std::optional<std::vector<IndexEntry>> decodeCompactLeaf(std::span<const uint8_t> node,
                                                         uint16_t keyCount, uint16_t keyLength);

} // namespace vetra::foxpro_index
