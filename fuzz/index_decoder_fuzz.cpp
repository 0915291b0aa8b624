// libFuzzer target: any bytes, decoded as a FoxPro index the way the engine reads one. The
// header at 0 and every node reachable from its root, each once; for a compound index also
// the tag directory and every tag's tree. Besides the sanitizers' findings, a decoded key not
// of the header's key length counts as a crash.
#include "engine/store/foxpro_index.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <vector>

namespace {

// Follows children and both siblings; a damaged index may link its nodes in any shape, so
// each offset is read once and no more nodes than the input can hold.
void walkTree(std::span<const uint8_t> bytes, const vetra::IndexHeader& header) {
    std::set<uint32_t> seen;
    std::vector<uint32_t> pending{header.rootNode};
    std::size_t budget = bytes.size() / vetra::kIndexNodeSize + 1;
    while (!pending.empty() && seen.size() < budget) {
        uint32_t offset = pending.back();
        pending.pop_back();
        if (!seen.insert(offset).second) continue;
        auto node = vetra::readIndexNode(bytes, 0, offset, header);
        if (!node) continue;
        for (const vetra::IndexEntry& entry : node->entries) {
            if (entry.key.size() != header.keyLength) std::abort();
            if (!node->isLeaf()) pending.push_back(entry.child);
        }
        for (uint32_t sibling : {node->leftSibling, node->rightSibling})
            if (sibling != vetra::kNoIndexNode) pending.push_back(sibling);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::span<const uint8_t> bytes(data, size);
    auto header = vetra::readIndexHeader(bytes, 0);
    if (!header) return 0;
    walkTree(bytes, *header);
    auto tags = vetra::readTagDirectory(bytes, 0);
    if (!tags) return 0;
    for (const vetra::TagEntry& tag : *tags) {
        if (!vetra::findTag(*tags, tag.name)) std::abort(); // a listed tag must be found
        if (auto tagHeader = vetra::readIndexHeader(bytes, tag.headerOffset))
            walkTree(bytes, *tagHeader);
    }
    return 0;
}
