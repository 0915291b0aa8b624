#include "index_search.h"

#include "engine/store/block_tags.h"

#include <algorithm>

namespace vetra {

namespace {

constexpr size_t kHeaderBufferSize = 1036;
constexpr size_t kNodeBufferSize = 532;
constexpr size_t kKeyBufferSize = 2000;
constexpr size_t kMaxSearchKey = 79;

} // namespace

// The search's blocks go with level 5 when an edit's storage is released, and their handles
// may then name other blocks: a handle counts only while it still names a search block.
int32_t IndexSearch::ownBlock(int32_t handle) const {
    bool ours =
        handle != 0 && memory_.levelOf(handle) == 5 && memory_.tagOf(handle) == tags::kIndexSearch;
    return ours ? handle : 0;
}

// The three blocks are what a host sees of a search: reserving them can fail (101, 102, 108)
// and the end of an edit or VTi_indexcleanup releases them. Blocks kept from the last search
// are used again. A handle that a released block's successor shares with another of the
// three is not kept, so that each has its own block.
void IndexSearch::reserveBuffers() {
    auto reserve = [this](int32_t* handle, size_t size, int32_t code) {
        if (ownBlock(*handle) != 0 && memory_.blockSize(*handle) >= size) return;
        try {
            *handle = memory_.VTi_ReAllocMem(ownBlock(*handle), 5, tags::kIndexSearch, false, size);
        } catch (const EngineFailure&) {
            *handle = 0;
            errors_.fail(code, "VTi_indexseek");
        }
    };
    reserve(&keyBlock_, kKeyBufferSize, 108);
    if (nodeBlock_ == keyBlock_) nodeBlock_ = 0;
    reserve(&nodeBlock_, kNodeBufferSize, 101);
    if (headerBlock_ == keyBlock_ || headerBlock_ == nodeBlock_) headerBlock_ = 0;
    reserve(&headerBlock_, kHeaderBufferSize, 102);
}

bool IndexSearch::ready() const {
    return loaded_ && ownBlock(keyBlock_) != 0;
}

// A position outside the leaf, as a search that found nothing or a leaf without keys leaves
// it, names no key and no record.
std::string_view IndexSearch::keyAt(int32_t index) const {
    if (index < 0 || index >= keyCount_) return {};
    return leaf_->key(static_cast<size_t>(index));
}

int32_t IndexSearch::recordAt(int32_t index) const {
    if (index < 0 || index >= keyCount_) return kNotFound;
    return static_cast<int32_t>(leaf_->record(static_cast<size_t>(index)));
}

std::string_view IndexSearch::currentKey() const {
    return ready() ? keyAt(position_) : std::string_view();
}

bool IndexSearch::loadLeaf(uint32_t offset) {
    const CachedIndexNode* node = cache_.node(indexStart_, offset, *header_);
    if (node == nullptr || !node->isLeaf()) return false;
    keepLeaf(*node);
    return true;
}

// The key block is sized for the leaf's entries, a record number and a key each.
void IndexSearch::keepLeaf(const CachedIndexNode& leaf) {
    size_t needed = std::max(leaf.size() * (sizeof(int32_t) + header_->keyLength), kKeyBufferSize);
    if (needed > memory_.blockSize(keyBlock_))
        keyBlock_ =
            memory_.VTi_ReAllocMem(ownBlock(keyBlock_), 5, tags::kIndexSearch, false, needed);
    leaf_ = &leaf;
    keyCount_ = static_cast<int32_t>(leaf.size());
}

// From the root, the child whose last key is the first not less than the search key, down
// to a leaf; past the last key, the rightmost path. Returns the position of the first key
// that is not less, in that leaf or, when it holds none (it is the last, or it is empty), in
// the next leaf with keys. Else kNotFound, with the search on the greatest key if any.
int32_t IndexSearch::descend() {
    uint32_t offset = header_->rootNode;
    const CachedIndexNode* node = cache_.node(indexStart_, offset, *header_);
    for (int64_t visited = 0; node != nullptr && visited < nodeLimit_; ++visited) {
        size_t first = node->firstNotLess(searchWords_);
        if (node->isLeaf()) {
            keepLeaf(*node);
            position_ = static_cast<int32_t>(first) - 1;
            if (step(1)) return position_;
            if (keyCount_ == 0) step(-1); // an empty last leaf: the greatest key is further left
            return kNotFound;
        }
        size_t below = std::min(first, node->size() - 1); // interior nodes are not empty
        offset = node->child(below);
        node = cache_.child(*node, below, indexStart_, *header_);
    }
    return kNotFound;
}

bool IndexSearch::accepted(int32_t index, SeekMode mode) const {
    auto at = static_cast<size_t>(index);
    switch (mode) {
    case SeekMode::Exact:
        return leaf_->compare(at, searchWords_) == 0;
    case SeekMode::Prefix:
        return leaf_->startsWith(at, upperText_);
    default:
        return leaf_->compare(at, searchWords_) >= 0;
    }
}

// One key forward (direction 1) or back, on into the sibling leaves past either end of this
// one. A damaged index may hold leaves without keys, which the walk passes as if they were
// absent, and may link them in a cycle, so it visits at most nodeLimit_ leaves. False at the
// end of the index, which leaves the search on its leaf at the last (first) key.
bool IndexSearch::step(int direction) {
    bool forward = direction >= 1;
    position_ += forward ? 1 : -1;
    if (position_ >= 0 && position_ < keyCount_) return true;
    const CachedIndexNode* from = leaf_;
    for (int64_t visited = 0; visited < nodeLimit_; ++visited) {
        uint32_t sibling = forward ? leaf_->rightSibling() : leaf_->leftSibling();
        if (sibling == kNoIndexNode || !loadLeaf(sibling)) break;
        if (keyCount_ > 0) {
            position_ = forward ? 0 : keyCount_ - 1;
            return true;
        }
    }
    keepLeaf(*from);
    position_ = forward ? keyCount_ - 1 : 0;
    return false;
}

void IndexSearch::setSearchKey(std::string_view key) {
    upperText_.assign(key.substr(0, kMaxSearchKey));
    upperCaseAscii(upperText_);
    upperKey_.assign(upperText_, 0, header_->keyLength);
    upperKey_.resize(header_->keyLength, ' ');
    readKeyWords(upperKey_, &searchWords_);
}

// The header of the index at indexStart_, or of its tag `tag` when it is compound; nullptr
// when the search ends here with `*result`. The header last found is remembered with the tag
// that named it, since an edit looks up one tag over and over.
const IndexHeader* IndexSearch::searchedHeader(std::string_view tag, bool listing,
                                               int32_t* result) {
    if (!listing && resolvedHeader_ != nullptr && resolvedStart_ == indexStart_ &&
        resolvedTag_ == tag)
        return resolvedHeader_;
    *result = kNotFound;
    const IndexHeader* header = cache_.header(indexStart_);
    if (header == nullptr) return nullptr;
    if (header->isCompound()) {
        header = tagHeader(tag, listing, result);
    } else if (listing) {
        *result = 0;
        return nullptr;
    }
    if (header != nullptr) {
        resolvedStart_ = indexStart_;
        resolvedTag_.assign(tag);
        resolvedHeader_ = header;
    }
    return header;
}

// The header of the tag `tag` of the compound index at indexStart_; nullptr when the search
// ends here with `*result`: the number of tags listed, kTagNotFound, or kNotFound.
const IndexHeader* IndexSearch::tagHeader(std::string_view tag, bool listing, int32_t* result) {
    const std::vector<TagEntry>* directory = cache_.tagDirectory(indexStart_);
    *result = kTagNotFound;
    if (directory == nullptr) return nullptr;
    if (listing) {
        for (const TagEntry& entry : *directory)
            if (tags_.size() < kMaxListedTags) tags_.push_back(entry.name);
        *result = static_cast<int32_t>(tags_.size());
        return nullptr;
    }
    std::optional<uint32_t> offset = findTag(*directory, tag);
    if (!offset) return nullptr;
    *result = kNotFound;
    return cache_.header(indexStart_ + *offset);
}

int32_t IndexSearch::VTi_indexseek(int64_t indexPosition, std::string_view tag,
                                   std::string_view key, SeekMode mode) {
    return errors_.guard(472, "VTi_indexseek", [&]() -> int32_t {
        reserveBuffers();
        loaded_ = false;
        keyCount_ = 0;
        tags_.clear();
        if (!cache_.prepare(stream_.bytesAt(0, stream_.size()))) resolvedHeader_ = nullptr;
        bool listing = tag.empty() && key.empty();
        indexStart_ = indexPosition;
        nodeLimit_ = stream_.size() / kIndexNodeSize + 1;
        if (indexPosition <= 0) return kNoIndex;
        int32_t result = 0;
        header_ = searchedHeader(tag, listing, &result);
        if (header_ == nullptr) return result;
        setSearchKey(key);

        int32_t first = descend();
        loaded_ = keyCount_ > 0;
        if (first == kNotFound) {
            if (mode != SeekMode::Range || !loaded_) return kNotFound;
            return recordAt(position_); // every key is less: the last one is the greatest
        }
        position_ = first;
        if (!accepted(first, mode)) return kNotFound;
        if (mode == SeekMode::Range &&
            leaf_->compare(static_cast<size_t>(first), searchWords_) != 0)
            return step(-1) ? recordAt(position_) : kNotFound; // the greatest key below
        return recordAt(first);
    });
}

int32_t IndexSearch::VTi_indexskip(int direction, std::vector<int32_t>* records, int32_t count) {
    return errors_.guard(478, "VTi_indexskip", [&]() -> int32_t {
        if (!ready()) return kNoIndex;
        size_t firstNew = records->size();
        int32_t result = 0;
        for (int32_t n = 0; n < count; ++n) {
            if (!step(direction)) {
                result = direction >= 1 ? kEndOfIndex : kStartOfIndex;
                break;
            }
            records->push_back(recordAt(position_));
        }
        if (direction < 1)
            std::reverse(records->begin() + static_cast<std::ptrdiff_t>(firstNew), records->end());
        return result;
    });
}

void IndexSearch::endSearch() {
    loaded_ = false;
    keyCount_ = 0;
    tags_.clear();
}

void IndexSearch::VTi_indexcleanup() {
    errors_.guard(927, "VTi_indexcleanup", [&] {
        for (int32_t* handle : {&headerBlock_, &nodeBlock_, &keyBlock_}) {
            memory_.VTi_free(ownBlock(*handle));
            *handle = 0;
        }
        loaded_ = false;
        keyCount_ = 0;
        tags_.clear();
    });
}

} // namespace vetra
