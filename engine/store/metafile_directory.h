// The directory of a metafile: a table at offset 512 whose 56-byte records name every
// embedded file and the blocks of the directory's memo file that hold its data, its own memo
// file and its index. The memo file follows the directory table; a block n starts at
// memo base + n x block size with an 8-byte header whose last four bytes hold the content
// length (big-endian).
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/store/directory_entry.h"
#include "engine/store/memory_manager.h"
#include "engine/store/metafile_stream.h"
#include "engine/store/table_file.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vetra {

// The tables every metafile carries, located once at open.
struct InternalTables {
    DirectoryEntry editSets;       // _RE_EDSE.DBF
    DirectoryEntry bufferFields;   // _RE_BUFF.DBF
    DirectoryEntry catalogue;      // _RE_COMP.DBF; data position 0 when absent
    DirectoryEntry compiledEdits;  // _RE_CEDI.DBF
    DirectoryEntry dataDictionary; // _RE_DDIC.DBF
    DirectoryEntry messages;       // _RE_ERMS.DBF
};

class MetafileDirectory {
public:
    static constexpr int64_t kDirectoryPosition = 512;
    static constexpr int64_t kRecordSize = 56;

    MetafileDirectory(MemoryManager& memory, MetafileStream& stream, LastEngineError& errors)
        : memory_(memory), stream_(stream), errors_(errors) {}

    // Forgets the entries (their block belongs to the memory manager).
    void reset();

    // Reads the directory table at 512 and its entries. Fails with 712 when it cannot.
    void read(TableReader& reader);

    // Locates the internal tables; a missing one fails with its code (704 to 709).
    void locateInternalTables();

    // Finds an entry by name, case-insensitively; "TABLE.EXT.COLUMN" finds TABLE.EXT. When no
    // entry matches: 0, or failure 2019 while edit logic runs.
    int VTi_locMetaTbl(DirectoryEntry* entry, std::string_view name, bool editLogicRunning);

    std::span<const DirectoryEntry> entries() const { return {entries_, count_}; }
    const InternalTables& internalTables() const { return internal_; }
    int64_t firstRecordPosition() const { return firstRecord_; }
    int64_t memoBase() const { return memoBase_; }
    int32_t memoBlockSize() const { return memoBlockSize_; }

private:
    DirectoryEntry readEntry(const uint8_t* record);
    int64_t blockContentPosition(std::string_view blockNumberText) const;

    MemoryManager& memory_;
    MetafileStream& stream_;
    LastEngineError& errors_;
    DirectoryEntry* entries_ = nullptr;
    size_t count_ = 0;
    int64_t firstRecord_ = 0;
    int64_t memoBase_ = 0;
    int32_t memoBlockSize_ = 0;
    InternalTables internal_{};
};

} // namespace vetra
