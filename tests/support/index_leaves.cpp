#include "tests/support/index_leaves.h"

#include "engine/store/TMetaFile.h"
#include "engine/store/foxpro_index.h"

#include <gtest/gtest.h>
#include <optional>

namespace vetra::testing {

namespace {

constexpr size_t kKeyCountField = 2; // in a node, after the attributes
constexpr size_t kLeftSiblingField = 4;
constexpr size_t kRightSiblingField = 8;

void putLittleEndian32(writer::Bytes& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

std::string withoutTrailingBlanks(std::string key) {
    key.erase(key.find_last_not_of(' ') + 1);
    return key;
}

// Down the leftmost path, then along the right siblings; no more nodes than the image holds.
void walkLeaves(std::span<const uint8_t> image, const IndexHeader& header, IndexLeaves& leaves) {
    size_t budget = image.size() / static_cast<size_t>(kIndexNodeSize) + 1;
    uint32_t offset = header.rootNode;
    auto node = readIndexNode(image, leaves.indexStart, offset, header);
    while (node && !node->isLeaf() && budget-- > 0) {
        offset = node->entries.front().child;
        node = readIndexNode(image, leaves.indexStart, offset, header);
    }
    while (node && node->isLeaf() && budget-- > 0) {
        leaves.offsets.push_back(offset);
        leaves.keys.emplace_back();
        for (const IndexEntry& entry : node->entries)
            leaves.keys.back().push_back(withoutTrailingBlanks(entry.key));
        if (node->rightSibling == kNoIndexNode) return;
        offset = node->rightSibling;
        node = readIndexNode(image, leaves.indexStart, offset, header);
    }
    ADD_FAILURE() << "the leaves do not end in a leaf without a right sibling";
    leaves.offsets.clear();
    leaves.keys.clear();
}

} // namespace

IndexLeaves indexLeaves(const std::string& path, std::string_view table, std::string_view tag) {
    IndexLeaves leaves;
    TMetaFile metafile(path.c_str(), nullptr, nullptr, 0);
    DirectoryEntry entry{};
    if (metafile.directory().VTi_locMetaTbl(&entry, table, false) != 1 ||
        entry.indexPosition <= 0) {
        ADD_FAILURE() << table << " has no index";
        return leaves;
    }
    leaves.indexStart = entry.indexPosition;
    std::span<const uint8_t> image = metafile.stream().bytesAt(0, metafile.stream().size());
    auto tags = readTagDirectory(image, leaves.indexStart);
    std::optional<uint32_t> tagHeader = tags ? findTag(*tags, tag) : std::nullopt;
    auto header = tagHeader ? readIndexHeader(image, leaves.indexStart + *tagHeader) : std::nullopt;
    if (!header) {
        ADD_FAILURE() << table << " has no readable tag " << tag;
        return leaves;
    }
    walkLeaves(image, *header, leaves);
    return leaves;
}

void emptyLeaf(writer::Bytes& metafile, const IndexLeaves& leaves, size_t leaf) {
    size_t at = static_cast<size_t>(leaves.indexStart) + leaves.offsets.at(leaf);
    metafile.at(at + kKeyCountField) = 0;
    metafile.at(at + kKeyCountField + 1) = 0;
}

void linkLeaf(writer::Bytes& metafile, const IndexLeaves& leaves, size_t leaf, size_t left,
              size_t right) {
    size_t at = static_cast<size_t>(leaves.indexStart) + leaves.offsets.at(leaf);
    putLittleEndian32(metafile, at + kLeftSiblingField, leaves.offsets.at(left));
    putLittleEndian32(metafile, at + kRightSiblingField, leaves.offsets.at(right));
}

} // namespace vetra::testing
