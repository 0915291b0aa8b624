// The 32-bit address space of edit logic. Every value of the edit language is a signed 32-bit
// integer, and a text travels as the address of its characters; on a 64-bit host a real
// address does not fit. Each block that edit logic may reach (a declared array, a temporary
// result text, a lookup table's column value) is therefore given a range of 32-bit addresses
// here, so that an address plus an index still names a character of the same block.
//
// An integer that names no block is never dereferenced: reads through it see an empty text,
// and writers ask bytesAt() first and refuse. Blocks are placed one after another with a gap,
// so one past a block's end is no address; freeing the most recent blocks gives their range
// back.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vetra {

class TextAddressSpace {
public:
    static constexpr uint32_t kFirstAddress = 0x10000;
    static constexpr uint32_t kLastAddress = 0x7FFFFFFF; // addresses stay positive values
    static constexpr uint32_t kGap = 16;
    static constexpr int32_t kNoHandle = 0;

    // Gives the block an address range; 0 when the space cannot hold it. `handle` is the
    // memory manager's block, or kNoHandle for bytes owned elsewhere.
    int32_t map(char* bytes, size_t size, int32_t level, int32_t handle);

    // The bytes from `address` to the end of its block; empty when no block holds it.
    std::span<char> bytesAt(int32_t address) const;
    // The text at `address`, up to its terminator or the end of its block.
    std::string_view textAt(int32_t address) const;

    // Forgets every block of `level` or deeper among those mapped since there were `first`
    // blocks, and hands the memory manager handles of those it forgets to `release`. A block
    // that ends forgets what it mapped: anything deeper mapped before it began went with its
    // own block, so the blocks an edit keeps longer (its arrays) are never visited again.
    template <class Release> void unmapFrom(int32_t level, size_t first, Release&& release) {
        size_t kept = std::min(first, blocks_.size());
        for (size_t i = kept; i < blocks_.size(); ++i) {
            const Block& block = blocks_[i];
            if (block.level >= level) {
                if (block.handle != kNoHandle) release(block.handle);
                continue;
            }
            blocks_[kept++] = block;
        }
        blocks_.resize(kept);
    }
    void clear() { blocks_.clear(); }
    size_t blockCount() const { return blocks_.size(); }

private:
    struct Block {
        uint32_t address;
        uint32_t size;
        char* bytes;
        int32_t level;
        int32_t handle;
    };

    const Block* blockHolding(uint32_t address) const;

    std::vector<Block> blocks_; // ascending addresses
};

} // namespace vetra
