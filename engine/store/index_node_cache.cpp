#include "engine/store/index_node_cache.h"

#include <array>

namespace vetra {

namespace {

// A rough count of what a decoded part costs beside its own size.
constexpr size_t kEntryOverhead = 64;

} // namespace

void readKeyWords(std::string_view key, KeyWords* words) {
    words->assign((key.size() + 7) / 8, 0);
    for (size_t at = 0; at < key.size(); ++at) {
        auto byte = static_cast<unsigned char>(kUpperCase[static_cast<unsigned char>(key[at])]);
        (*words)[at / 8] |= uint64_t{byte} << (56 - 8 * (at % 8));
    }
}

CachedIndexNode::CachedIndexNode(const IndexNode& node, uint16_t keyLength)
    : leaf_(node.isLeaf()), leftSibling_(node.leftSibling), rightSibling_(node.rightSibling),
      keyLength_(keyLength), wordsPerKey_((keyLength + 7) / 8), ascending_(true) {
    keys_.reserve(node.entries.size() * keyLength_);
    words_.reserve(node.entries.size() * wordsPerKey_);
    records_.reserve(node.entries.size());
    children_.reserve(node.entries.size());
    KeyWords words;
    for (const IndexEntry& entry : node.entries) {
        keys_ += entry.key;
        readKeyWords(entry.key, &words);
        words_.insert(words_.end(), words.begin(), words.end());
        records_.push_back(entry.record);
        children_.push_back(entry.child);
    }
    if (!leaf_) childSlots_.resize(children_.size(), nullptr);
    for (size_t i = 1; i < size() && ascending_; ++i) {
        readKeyWords(key(i), &words);
        ascending_ = compare(i - 1, words) <= 0;
    }
}

int CachedIndexNode::compare(size_t index, const KeyWords& key) const {
    const uint64_t* words = words_.data() + index * wordsPerKey_;
    for (size_t i = 0; i < wordsPerKey_; ++i)
        if (words[i] != key[i]) return words[i] < key[i] ? -1 : 1;
    return 0;
}

size_t CachedIndexNode::firstNotLess(const KeyWords& key) const {
    size_t first = 0;
    size_t count = size();
    if (!ascending_) {
        while (first < count && compare(first, key) < 0)
            ++first;
        return first;
    }
    // The probes of a binary search depend on each other; fetching the whole key area at
    // once lets a node that is not in the processor's cache arrive in one wait, not several.
    constexpr size_t kWordsPerLine = 64 / sizeof(uint64_t);
    for (size_t word = 0; word < words_.size(); word += kWordsPerLine)
        __builtin_prefetch(words_.data() + word);
    while (count > 0) { // a lower bound
        size_t half = count / 2;
        if (compare(first + half, key) < 0) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return first;
}

bool CachedIndexNode::startsWith(size_t index, std::string_view upperPrefix) const {
    std::string_view stored = key(index);
    if (stored.size() < upperPrefix.size()) return false;
    for (size_t i = 0; i < upperPrefix.size(); ++i)
        if (kUpperCase[static_cast<unsigned char>(stored[i])] != upperPrefix[i]) return false;
    return true;
}

size_t CachedIndexNode::bytesHeld() const {
    return sizeof *this + keys_.capacity() + words_.capacity() * sizeof(uint64_t) +
           (records_.capacity() + children_.capacity()) * sizeof(uint32_t) +
           childSlots_.capacity() * sizeof(const Slot*);
}

size_t IndexNodeCache::NodeKeyHash::operator()(const NodeKey& key) const {
    size_t hash = std::hash<int64_t>()(key.position);
    hash = hash * 31 + std::hash<int64_t>()(key.indexStart);
    return hash * 31 + key.keyLength * 2u + (key.compact ? 1u : 0u);
}

void IndexNodeCache::clear() {
    headers_.clear();
    directories_.clear();
    nodes_.clear();
    bytesHeld_ = 0;
}

bool IndexNodeCache::prepare(std::span<const uint8_t> image) {
    bool kept =
        image.data() == image_.data() && image.size() == image_.size() && bytesHeld_ <= kByteBudget;
    if (!kept) clear();
    image_ = image;
    return kept;
}

const IndexHeader* IndexNodeCache::header(int64_t position) {
    auto [at, added] = headers_.try_emplace(position);
    if (added) {
        at->second = readIndexHeader(image_, position);
        bytesHeld_ += kEntryOverhead + (at->second ? at->second->keyExpression.capacity() : 0);
    }
    return at->second ? &*at->second : nullptr;
}

const std::vector<TagEntry>* IndexNodeCache::tagDirectory(int64_t indexStart) {
    auto [at, added] = directories_.try_emplace(indexStart);
    if (added) {
        at->second = readTagDirectory(image_, indexStart);
        bytesHeld_ += kEntryOverhead + (at->second ? at->second->size() * sizeof(TagEntry) : 0);
    }
    return at->second ? &*at->second : nullptr;
}

const IndexNodeCache::Slot& IndexNodeCache::slot(int64_t indexStart, uint32_t nodeOffset,
                                                 const IndexHeader& header) {
    NodeKey key{indexStart + int64_t{nodeOffset}, indexStart, header.keyLength, header.isCompact()};
    auto [at, added] = nodes_.try_emplace(key);
    if (added) {
        if (std::optional<IndexNode> node = readIndexNode(image_, indexStart, nodeOffset, header))
            at->second.emplace(*node, header.keyLength);
        bytesHeld_ += kEntryOverhead + (at->second ? at->second->bytesHeld() : 0);
    }
    return at->second;
}

const CachedIndexNode* IndexNodeCache::node(int64_t indexStart, uint32_t nodeOffset,
                                            const IndexHeader& header) {
    const Slot& found = slot(indexStart, nodeOffset, header);
    return found ? &*found : nullptr;
}

const CachedIndexNode* IndexNodeCache::child(const CachedIndexNode& parent, size_t index,
                                             int64_t indexStart, const IndexHeader& header) {
    const Slot*& below = parent.childSlots_[index];
    if (below == nullptr) below = &slot(indexStart, parent.child(index), header);
    return *below ? &**below : nullptr;
}

} // namespace vetra
