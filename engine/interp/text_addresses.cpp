#include "text_addresses.h"

#include <algorithm>
#include <cstring>

namespace vetra {

int32_t TextAddressSpace::map(char* bytes, size_t size, int32_t level, int32_t handle) {
    uint32_t address = blocks_.empty() ? kFirstAddress : blocks_.back().address;
    if (!blocks_.empty()) address += blocks_.back().size + kGap;
    if (size > kLastAddress - address) return 0;
    blocks_.push_back({address, static_cast<uint32_t>(size), bytes, level, handle});
    return static_cast<int32_t>(address);
}

const TextAddressSpace::Block* TextAddressSpace::blockHolding(uint32_t address) const {
    auto after = std::upper_bound(blocks_.begin(), blocks_.end(), address,
                                  [](uint32_t a, const Block& block) { return a < block.address; });
    if (after == blocks_.begin()) return nullptr;
    const Block& block = *(after - 1);
    return address - block.address < block.size ? &block : nullptr;
}

std::span<char> TextAddressSpace::bytesAt(int32_t address) const {
    if (address <= 0) return {};
    const Block* block = blockHolding(static_cast<uint32_t>(address));
    if (block == nullptr) return {};
    uint32_t offset = static_cast<uint32_t>(address) - block->address;
    return {block->bytes + offset, block->size - offset};
}

std::string_view TextAddressSpace::textAt(int32_t address) const {
    std::span<char> bytes = bytesAt(address);
    if (bytes.empty()) return {};
    const void* end = std::memchr(bytes.data(), '\0', bytes.size());
    size_t length = end != nullptr
                        ? static_cast<size_t>(static_cast<const char*>(end) - bytes.data())
                        : bytes.size();
    return {bytes.data(), length};
}

} // namespace vetra
