// Searching a table's FoxPro index: seek a key in one of four modes, list the tags of a
// compound index, and step from the key found to its neighbours across leaf nodes, passing
// over leaves that hold no keys. The search state is the instance's. A search reserves level-5
// blocks of the memory manager for the header, the current leaf node and that leaf's keys,
// released by VTi_indexcleanup; what it reads, it reads from the decoded index parts the
// instance keeps between searches (see IndexNodeCache), since lookups run for every record an
// edit checks.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/store/foxpro_index.h"
#include "engine/store/index_node_cache.h"
#include "engine/store/memory_manager.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

enum class SeekMode { Exact = 0, Prefix = 1, AtOrAfter = 2, Range = 3 };

class IndexSearch {
public:
    static constexpr int32_t kNotFound = -1;
    static constexpr int32_t kTagNotFound = -2; // also: a tag directory that is not one leaf
    static constexpr int32_t kNoIndex = -4;
    static constexpr int32_t kEndOfIndex = 253;
    static constexpr int32_t kStartOfIndex = 254;
    static constexpr size_t kMaxListedTags = 11;

    IndexSearch(MemoryManager& memory, const MetafileStream& stream, LastEngineError& errors)
        : memory_(memory), stream_(stream), errors_(errors) {}

    // The record number (from 1) of the key the mode accepts, or a negative result. With an
    // empty tag and key, lists the tags of a compound index and returns their number.
    int32_t VTi_indexseek(int64_t indexPosition, std::string_view tag, std::string_view key,
                          SeekMode mode);
    // Steps `count` keys forward (direction 1) or backward (0 or less) from the current one
    // and appends their record numbers in ascending order. 0, or kEndOfIndex / kStartOfIndex
    // when the index ends first, or kNoIndex before a successful seek.
    int32_t VTi_indexskip(int direction, std::vector<int32_t>* records, int32_t count);
    void VTi_indexcleanup();
    // Ends a search as the cleanup does but keeps the three blocks for the next one: a lookup
    // that runs once per record need not free and reserve them each time. The end of the edit
    // releases them with every level-5 block.
    void endSearch();

    const std::vector<std::string>& listedTags() const { return tags_; }
    // The key at the current position of the search.
    std::string_view currentKey() const;

private:
    void reserveBuffers();
    int32_t ownBlock(int32_t handle) const;
    bool ready() const;
    const IndexHeader* searchedHeader(std::string_view tag, bool listing, int32_t* result);
    const IndexHeader* tagHeader(std::string_view tag, bool listing, int32_t* result);
    void setSearchKey(std::string_view key);
    bool loadLeaf(uint32_t offset);
    void keepLeaf(const CachedIndexNode& leaf);
    std::string_view keyAt(int32_t index) const;
    int32_t recordAt(int32_t index) const;
    bool accepted(int32_t index, SeekMode mode) const;
    int32_t descend();
    bool step(int direction);

    MemoryManager& memory_;
    const MetafileStream& stream_;
    LastEngineError& errors_;
    IndexNodeCache cache_;
    int32_t headerBlock_ = 0;
    int32_t nodeBlock_ = 0;
    int32_t keyBlock_ = 0;
    bool loaded_ = false;
    const IndexHeader* header_ = nullptr; // the tag's, in the cache
    int64_t resolvedStart_ = 0;
    std::string resolvedTag_;
    const IndexHeader* resolvedHeader_ = nullptr; // what resolvedTag_ named there last
    int64_t indexStart_ = 0;
    int64_t nodeLimit_ = 0;                 // a walk visits at most this many nodes
    const CachedIndexNode* leaf_ = nullptr; // the current leaf, in the cache
    int32_t keyCount_ = 0;
    int32_t position_ = 0;
    std::string upperText_; // the key searched for, at most kMaxSearchKey bytes, upper-cased
    std::string upperKey_;  // the same cut or blank-padded to the key length
    KeyWords searchWords_;  // upperKey_ as the search compares it
    std::vector<std::string> tags_;
};

} // namespace vetra
