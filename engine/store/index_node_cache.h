// The decoded headers, tag directories and nodes of the FoxPro indexes in one metafile image,
// kept for the searches of one instance. A metafile does not change while it is open, so a
// part decodes the same every time it is read; a damaged part is remembered as such. Only the
// parts that searches visit are kept, and the cache empties itself past a byte budget, so
// that a hostile image cannot make it grow without bound.
//
// Nodes keep their keys as stored, for key() to hand back; beside them each node keeps the
// keys' comparison words (KeyWords), which are upper-cased as the search compares them: a to
// z as A to Z, every other byte as itself. That is what toupper does in the "C" locale the
// engine runs in, and the order the writer gives the keys.
#pragma once

#include "engine/store/ascii_case.h"
#include "engine/store/foxpro_index.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vetra {

// A key as the search compares it: upper-cased, in groups of eight bytes (the last padded
// with zeros) each read as a number whose first byte weighs most, so that comparing the
// numbers in turn compares the bytes, unsigned.
using KeyWords = std::vector<uint64_t>;
void readKeyWords(std::string_view key, KeyWords* words);

class CachedIndexNode {
public:
    CachedIndexNode(const IndexNode& node, uint16_t keyLength);

    bool isLeaf() const { return leaf_; }
    uint32_t leftSibling() const { return leftSibling_; }
    uint32_t rightSibling() const { return rightSibling_; }
    size_t size() const { return children_.size(); }
    uint32_t child(size_t index) const { return children_[index]; }
    uint32_t record(size_t index) const { return records_[index]; }
    std::string_view key(size_t index) const {
        return std::string_view(keys_).substr(index * keyLength_, keyLength_);
    }

    // Entry `index`'s key against a key of the key length, without regard to case: below 0,
    // 0 or above 0 as it sorts before, with or after it.
    int compare(size_t index, const KeyWords& key) const;
    // The first entry whose key is not less than `key`, or size().
    size_t firstNotLess(const KeyWords& key) const;
    // Whether entry `index`'s key starts with `upperPrefix` without regard to case.
    bool startsWith(size_t index, std::string_view upperPrefix) const;
    size_t bytesHeld() const;

private:
    friend class IndexNodeCache;
    using Slot = std::optional<CachedIndexNode>;

    bool leaf_;
    uint32_t leftSibling_;
    uint32_t rightSibling_;
    size_t keyLength_;
    size_t wordsPerKey_;
    bool ascending_; // keys never fall: a binary search finds what a scan from the left finds
    std::string keys_;
    KeyWords words_; // the keys' words, one key after another
    std::vector<uint32_t> records_;
    std::vector<uint32_t> children_;
    // The cache's slot of each child once it has been looked up, so that a descent follows
    // links instead of looking nodes up again.
    mutable std::vector<const Slot*> childSlots_;
};

class IndexNodeCache {
public:
    // Room for the parts of about a hundred thousand nodes of short keys.
    static constexpr size_t kByteBudget = size_t{64} << 20;

    // Called before each search with the image it reads: parts read from another image, or
    // more than the budget, are forgotten. Parts handed out stay valid until a call that
    // returns false.
    bool prepare(std::span<const uint8_t> image);

    // Each is nullptr where the decoder refuses the part.
    const IndexHeader* header(int64_t position);
    const std::vector<TagEntry>* tagDirectory(int64_t indexStart);
    const CachedIndexNode* node(int64_t indexStart, uint32_t nodeOffset, const IndexHeader& header);
    // The node below entry `index` of the interior node `parent`, which the cache handed out
    // for the same index and header.
    const CachedIndexNode* child(const CachedIndexNode& parent, size_t index, int64_t indexStart,
                                 const IndexHeader& header);

private:
    using Slot = CachedIndexNode::Slot;
    struct NodeKey {
        int64_t position; // in the image
        int64_t indexStart;
        uint16_t keyLength;
        bool compact;
        bool operator==(const NodeKey&) const = default;
    };
    struct NodeKeyHash {
        size_t operator()(const NodeKey& key) const;
    };

    const Slot& slot(int64_t indexStart, uint32_t nodeOffset, const IndexHeader& header);
    void clear();

    std::span<const uint8_t> image_;
    size_t bytesHeld_ = 0;
    std::unordered_map<int64_t, std::optional<IndexHeader>> headers_;
    std::unordered_map<int64_t, std::optional<std::vector<TagEntry>>> directories_;
    std::unordered_map<NodeKey, Slot, NodeKeyHash> nodes_;
};

} // namespace vetra
