// Embedded table files: the dBASE/FoxPro table images inside a metafile, and the text (ASC)
// and binary (BIN) tables beside them. A table opened here is described by a t_dbfFile that
// lives, with its field array, in level-3 blocks of the instance's memory manager.
#pragma once

#include "engine/store/directory_entry.h"
#include "engine/store/memory_manager.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

enum TableKind : uint8_t { kOtherTable = 0, kDbfTable = 1, kTextTable = 2, kBinaryTable = 3 };

struct t_dbfFieldEntry {
    char name[12]; // up to 11 characters
    char type;     // C, N, M, D, L, ...
    uint8_t length;
    uint8_t decimals;
    int32_t offset; // inside the record; the deletion byte is offset 0
    char* FldValue; // the field's text in the current record, when column variables are on
};

struct t_dbfFile {
    char name[13];
    uint8_t kind;
    int32_t recordCursor; // records read so far
    int64_t dataStart;    // first record (kind 1) or first byte (kinds 0, 2, 3)
    int32_t signature;
    uint8_t tableFlags;
    int64_t recordCount;
    int64_t indexPosition;
    int32_t headerLength;
    int32_t recordLength;
    int32_t fieldCount;
    int64_t endPosition; // length of the image
    int64_t nextLine;    // where the next line of a text table starts
    t_dbfFieldEntry* fld;
};

// The kind a table name's extension selects ("X.DBF" -> kDbfTable).
TableKind tableKindOf(std::string_view name);

// Parses a number stored as text: leading white space, one optional sign, digits up to the
// first other character; 0 when there are none. Values beyond 32 bits are clamped.
int64_t parseDecimalText(std::string_view text);

// While edit logic runs, the columns of every table it opens become variables of the running
// edit: the interpreter declares each over the column's value buffer.
class ColumnVariables {
public:
    virtual ~ColumnVariables() = default;
    virtual void declare(std::string_view name, char* value, size_t capacity) = 0;
    // Tells runs apart: the tables a run opened go when it ends.
    virtual uint64_t runSerial() const = 0;
};

class TableReader {
public:
    TableReader(MemoryManager& memory, MetafileStream& stream, const bool& editLogicRunning)
        : memory_(memory), stream_(stream), running_(editLogicRunning) {}

    void setColumnVariables(ColumnVariables* variables) { variables_ = variables; }
    // True while tables opened now declare their columns; they then stay open (their level-3
    // blocks go when the edit's storage is released), as the variables point into them.
    bool columnsOn() const { return running_ && variables_ != nullptr; }
    // Empties the column values of a table, as a search that found nothing leaves them.
    static void clearColumnValues(t_dbfFile* table);

    // Reads a directory header and its field descriptors at the stream's position; the
    // directory's signature must be 0xF5. Null on failure, with lastFailure() telling why.
    t_dbfFile* openDirectoryHeader();

    // Opens the table that `entry` describes under `name` (its directory name, optionally
    // followed by a dot and a column name). Null on failure.
    t_dbfFile* OpenMetaTable(const DirectoryEntry& entry, std::string_view name);

    // Reads the next record into `buffer` (terminated, cut to its size): for a table file the
    // field bytes after the deletion byte, for a text table one line, trailing blanks and line
    // ends removed unless `keepSpaces`. 1 when a record was read, 0 at the end.
    int readNextRecord(t_dbfFile* table, std::span<char> buffer, bool keepSpaces);

    void close(t_dbfFile* table);

    // While edit logic runs: the table as this run opened it before, its columns declared
    // again and its reading started over, or else opened now. Lookups run once per record per
    // edit, and opening a table each time costs more than the search.
    t_dbfFile* openForRun(const DirectoryEntry& entry, std::string_view name);

    const std::string& lastFailure() const { return lastFailure_; }

    // Content position of a memo whose block number is stored as text; 0 when it has none.
    static int64_t memoPosition(int64_t memoFilePosition, int32_t blockSize,
                                std::string_view blockNumberText);

private:
    t_dbfFile* reserveDescriptor(const char* failure);
    bool readHeader(t_dbfFile* table, bool directory);
    bool readFieldDescriptors(t_dbfFile* table, bool cumulativeOffsets);
    t_dbfFile* fail(t_dbfFile* table, const char* failure);
    void declareColumns(t_dbfFile* table);
    void declareColumnVariables(t_dbfFile* table);
    void fillColumnValues(t_dbfFile* table, std::string_view record);

    MemoryManager& memory_;
    MetafileStream& stream_;
    const bool& running_;
    ColumnVariables* variables_ = nullptr;
    std::string lastFailure_;

    struct RunTable {
        std::string name;
        t_dbfFile* table;
    };
    std::vector<RunTable> runTables_;
    uint64_t runTablesSerial_ = 0;
};

} // namespace vetra
