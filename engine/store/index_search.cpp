#include "index_search.h"

#include "engine/store/block_tags.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vetra {

namespace {

constexpr size_t kHeaderBufferSize = 1036;
constexpr size_t kNodeBufferSize = 532;
constexpr size_t kKeyBufferSize = 2000;
constexpr size_t kMaxSearchKey = 79;

int compareIgnoringCase(std::string_view a, std::string_view b) {
    size_t length = std::min(a.size(), b.size());
    for (size_t i = 0; i < length; ++i) {
        int x = std::toupper(static_cast<unsigned char>(a[i]));
        int y = std::toupper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

// The search's blocks go with level 5 when an edit's storage is released, and their handles
// may then name other blocks: a handle counts only while it still names a search block.
int32_t IndexSearch::ownBlock(int32_t handle) const {
    bool ours =
        handle != 0 && memory_.levelOf(handle) == 5 && memory_.tagOf(handle) == tags::kIndexSearch;
    return ours ? handle : 0;
}

void IndexSearch::reserveBuffers() {
    auto reserve = [this](int32_t* handle, size_t size, int32_t code) {
        try {
            *handle = memory_.VTi_ReAllocMem(ownBlock(*handle), 5, tags::kIndexSearch, false, size);
            std::memset(memory_.lock(*handle), 0, size);
        } catch (const EngineFailure&) {
            *handle = 0;
            errors_.fail(code, "VTi_indexseek");
        }
    };
    reserve(&keyBlock_, kKeyBufferSize, 108);
    reserve(&nodeBlock_, kNodeBufferSize, 101);
    reserve(&headerBlock_, kHeaderBufferSize, 102);
}

bool IndexSearch::ready() const {
    return loaded_ && ownBlock(keyBlock_) != 0;
}

std::string_view IndexSearch::keyAt(int32_t index) const {
    size_t entry = 4 + header_.keyLength;
    const char* keys = static_cast<const char*>(memory_.lock(keyBlock_));
    return {keys + static_cast<size_t>(index) * entry + 4, header_.keyLength};
}

int32_t IndexSearch::recordAt(int32_t index) const {
    size_t entry = 4 + header_.keyLength;
    int32_t record = 0;
    std::memcpy(&record,
                static_cast<const char*>(memory_.lock(keyBlock_)) +
                    static_cast<size_t>(index) * entry,
                sizeof record);
    return record;
}

std::string_view IndexSearch::currentKey() const {
    if (!ready() || position_ < 0 || position_ >= keyCount_) return {};
    return keyAt(position_);
}

bool IndexSearch::loadLeaf(uint32_t offset) {
    std::span<const uint8_t> image = stream_.bytesAt(0, stream_.size());
    std::optional<IndexNode> node = readIndexNode(image, indexStart_, offset, header_);
    if (!node || !node->isLeaf()) return false;
    keepLeaf(offset, *node);
    return true;
}

void IndexSearch::keepLeaf(uint32_t offset, const IndexNode& leaf) {
    std::span<const uint8_t> image = stream_.bytesAt(0, stream_.size());
    const IndexNode* node = &leaf;
    std::memcpy(memory_.lock(nodeBlock_), image.data() + indexStart_ + offset, kIndexNodeSize);
    size_t entry = 4 + header_.keyLength;
    size_t needed = std::max(node->entries.size() * entry, kKeyBufferSize);
    if (needed > memory_.blockSize(keyBlock_))
        keyBlock_ =
            memory_.VTi_ReAllocMem(ownBlock(keyBlock_), 5, tags::kIndexSearch, false, needed);
    char* keys = static_cast<char*>(memory_.lock(keyBlock_));
    for (size_t i = 0; i < node->entries.size(); ++i) {
        int32_t record = static_cast<int32_t>(node->entries[i].record);
        std::memcpy(keys + i * entry, &record, sizeof record);
        std::memcpy(keys + i * entry + 4, node->entries[i].key.data(), header_.keyLength);
    }
    keyCount_ = static_cast<int32_t>(node->entries.size());
    leftSibling_ = node->leftSibling;
    rightSibling_ = node->rightSibling;
}

// From the root, the child whose last key is the first not less than the search key, down
// to a leaf; past the last key, the rightmost path. Returns the first key's position in the
// leaf that is not less, or kNotFound.
int32_t IndexSearch::descend(uint32_t root) {
    std::span<const uint8_t> image = stream_.bytesAt(0, stream_.size());
    uint32_t offset = root;
    for (int64_t visited = 0; visited < nodeLimit_; ++visited) {
        std::optional<IndexNode> node = readIndexNode(image, indexStart_, offset, header_);
        if (!node) return kNotFound;
        if (node->isLeaf()) {
            keepLeaf(offset, *node);
            for (int32_t i = 0; i < keyCount_; ++i)
                if (compareIgnoringCase(keyAt(i), searchKey_) >= 0) return i;
            position_ = keyCount_ - 1;
            return kNotFound;
        }
        auto next =
            std::find_if(node->entries.begin(), node->entries.end(), [&](const IndexEntry& e) {
                return compareIgnoringCase(e.key, searchKey_) >= 0;
            });
        offset = next != node->entries.end() ? next->child : node->entries.back().child;
    }
    return kNotFound;
}

bool IndexSearch::accepted(std::string_view key, SeekMode mode) const {
    switch (mode) {
    case SeekMode::Exact:
        return compareIgnoringCase(key, searchKey_) == 0;
    case SeekMode::Prefix:
        return key.size() >= searchText_.size() &&
               compareIgnoringCase(key.substr(0, searchText_.size()), searchText_) == 0;
    default:
        return compareIgnoringCase(key, searchKey_) >= 0;
    }
}

int32_t IndexSearch::stepBack() {
    std::vector<int32_t> records;
    if (VTi_indexskip(-1, &records, 1) != 0 || records.empty()) return kNotFound;
    return records.front();
}

int32_t IndexSearch::VTi_indexseek(int64_t indexPosition, std::string_view tag,
                                   std::string_view key, SeekMode mode) {
    return errors_.guard(472, "VTi_indexseek", [&]() -> int32_t {
        reserveBuffers();
        loaded_ = false;
        keyCount_ = 0;
        tags_.clear();
        bool listing = tag.empty() && key.empty();
        std::span<const uint8_t> image = stream_.bytesAt(0, stream_.size());
        indexStart_ = indexPosition;
        nodeLimit_ = stream_.size() / kIndexNodeSize + 1;
        if (indexPosition <= 0) return kNoIndex;
        std::optional<IndexHeader> header = readIndexHeader(image, indexPosition);
        if (!header) return kNotFound;
        header_ = *header;
        if (header_.isCompound()) {
            std::optional<std::vector<TagEntry>> directory = readTagDirectory(image, indexPosition);
            if (!directory) return kTagNotFound;
            if (listing) {
                for (const TagEntry& entry : *directory)
                    if (tags_.size() < kMaxListedTags) tags_.push_back(entry.name);
                return static_cast<int32_t>(tags_.size());
            }
            std::optional<uint32_t> tagHeader = findTag(*directory, tag);
            if (!tagHeader) return kTagNotFound;
            header = readIndexHeader(image, indexPosition + *tagHeader);
            if (!header) return kNotFound;
            header_ = *header;
        } else if (listing) {
            return 0;
        }
        std::memcpy(
            memory_.lock(headerBlock_), image.data() + indexPosition,
            std::min<size_t>(kHeaderBufferSize, image.size() - static_cast<size_t>(indexPosition)));
        searchText_ = std::string(key.substr(0, kMaxSearchKey));
        searchKey_ = searchText_.substr(0, header_.keyLength);
        searchKey_.resize(header_.keyLength, ' ');

        int32_t first = descend(header_.rootNode);
        loaded_ = keyCount_ > 0;
        if (first == kNotFound) {
            if (mode != SeekMode::Range || !loaded_) return kNotFound;
            return recordAt(position_); // every key is less: the last one is the greatest
        }
        position_ = first;
        if (!accepted(keyAt(first), mode)) return kNotFound;
        if (mode == SeekMode::Range && compareIgnoringCase(keyAt(first), searchKey_) != 0)
            return stepBack();
        return recordAt(first);
    });
}

int32_t IndexSearch::VTi_indexskip(int direction, std::vector<int32_t>* records, int32_t count) {
    return errors_.guard(478, "VTi_indexskip", [&]() -> int32_t {
        if (!ready()) return kNoIndex;
        size_t firstNew = records->size();
        int32_t result = 0;
        for (int32_t n = 0; n < count; ++n) {
            if (direction >= 1) {
                if (++position_ >= keyCount_) {
                    if (rightSibling_ == kNoIndexNode || !loadLeaf(rightSibling_)) {
                        position_ = keyCount_ - 1;
                        result = kEndOfIndex;
                        break;
                    }
                    position_ = 0;
                }
            } else if (--position_ < 0) {
                if (leftSibling_ == kNoIndexNode || !loadLeaf(leftSibling_)) {
                    position_ = 0;
                    result = kStartOfIndex;
                    break;
                }
                position_ = keyCount_ - 1;
            }
            records->push_back(recordAt(position_));
        }
        if (direction < 1)
            std::reverse(records->begin() + static_cast<std::ptrdiff_t>(firstNew), records->end());
        return result;
    });
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
