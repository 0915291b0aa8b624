// A set of handle-table entries kept as bits, with one summary bit per 64-bit word, so that
// the first member at or after an entry and the last at or before one are found by visiting
// words rather than entries. The memory manager keeps its free entries, its level-1 entries
// and the blocks of running edits this way: a search must not slow down with the number of
// live blocks (edit logic can keep tens of thousands alive).
#pragma once

#include <cstdint>
#include <vector>

namespace vetra {

class EntryBitmap {
public:
    static constexpr int32_t kNone = -1;

    // Room for entries 0 to count - 1; entries added are not members.
    void resize(int32_t count);
    void clear();
    void insert(int32_t entry);
    void erase(int32_t entry);

    // The smallest member not below `entry`, or kNone.
    int32_t firstFrom(int32_t entry) const;
    // The largest member not above `entry`, or kNone.
    int32_t lastUpTo(int32_t entry) const;

private:
    int32_t firstWordFrom(int32_t word) const;
    int32_t lastWordUpTo(int32_t word) const;

    std::vector<uint64_t> words_;
    std::vector<uint64_t> summary_; // bit w is set while words_[w] has a member
};

} // namespace vetra
