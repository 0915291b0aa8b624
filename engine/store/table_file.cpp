#include "table_file.h"

#include "engine/store/block_tags.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

namespace vetra {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr size_t kMaxLineLength = 1024;

uint32_t littleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint32_t littleEndian16(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8;
}

bool versionBitsValid(int32_t signature) {
    int32_t bits = signature & 0x07;
    return bits == 3 || bits == 5;
}

std::string_view trimRight(std::string_view text, std::string_view blanks) {
    size_t end = text.find_last_not_of(blanks);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

void copyTerminated(std::span<char> buffer, std::string_view text) {
    if (buffer.empty()) return;
    size_t count = std::min(text.size(), buffer.size() - 1);
    if (count > 0) std::memcpy(buffer.data(), text.data(), count);
    buffer[count] = '\0';
}

} // namespace

TableKind tableKindOf(std::string_view name) {
    size_t dot = name.find('.');
    if (dot == std::string_view::npos) return kOtherTable;
    std::string_view extension = name.substr(dot + 1);
    extension = extension.substr(0, extension.find('.'));
    if (extension == "DBF") return kDbfTable;
    if (extension == "ASC") return kTextTable;
    if (extension == "BIN") return kBinaryTable;
    return kOtherTable;
}

int64_t parseDecimalText(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{1} << 40);
    value = negative ? -value : value;
    return std::clamp<int64_t>(value, INT32_MIN, INT32_MAX);
}

int64_t TableReader::memoPosition(int64_t memoFilePosition, int32_t blockSize,
                                  std::string_view blockNumberText) {
    int64_t block = parseDecimalText(blockNumberText.substr(0, 10));
    if (block <= 0) return 0;
    return memoFilePosition + block * blockSize + 8;
}

t_dbfFile* TableReader::reserveDescriptor(const char* failure) {
    void* block = memory_.allocAndLock(3, tags::kTableDescriptor, sizeof(t_dbfFile));
    if (block == nullptr) {
        lastFailure_ = failure;
        return nullptr;
    }
    return new (block) t_dbfFile{};
}

t_dbfFile* TableReader::fail(t_dbfFile* table, const char* failure) {
    lastFailure_ = failure;
    close(table);
    return nullptr;
}

bool TableReader::readHeader(t_dbfFile* table, bool directory) {
    uint8_t header[kHeaderSize];
    if (stream_.read(header, kHeaderSize, 1) != 1) {
        lastFailure_ = directory ? "fread failure" : "fread error";
        return false;
    }
    if (directory && header[0] != 0xF5) {
        lastFailure_ = "t_h[0] != 245";
        return false;
    }
    table->signature = header[0];
    table->tableFlags = header[28];
    table->recordCount = littleEndian32(header + 4);
    table->headerLength = static_cast<int32_t>(littleEndian16(header + 8));
    table->recordLength = static_cast<int32_t>(littleEndian16(header + 10));
    table->fieldCount = std::max(0, (table->headerLength - 33) / 32);
    table->endPosition =
        int64_t{table->recordLength} * table->recordCount + table->headerLength + 1;
    if (!versionBitsValid(table->signature)) {
        lastFailure_ = directory ? "t_version is wrong" : "t_version error";
        return false;
    }
    return true;
}

bool TableReader::readFieldDescriptors(t_dbfFile* table, bool cumulativeOffsets) {
    size_t count = static_cast<size_t>(table->fieldCount);
    void* block = memory_.allocAndLock(3, tags::kTableFields,
                                       std::max<size_t>(count, 1) * sizeof(t_dbfFieldEntry));
    if (block == nullptr) {
        lastFailure_ =
            cumulativeOffsets ? "could not allocate t_dbfFile->fld" : "t_dbfFile->fld is NULL";
        return false;
    }
    table->fld = static_cast<t_dbfFieldEntry*>(block);
    int32_t offset = 1;
    for (size_t i = 0; i < count; ++i) {
        uint8_t descriptor[kDescriptorSize];
        if (stream_.read(descriptor, kDescriptorSize, 1) != 1) {
            lastFailure_ = cumulativeOffsets ? "another fread error" : "fread failure";
            return false;
        }
        t_dbfFieldEntry& field = table->fld[i];
        field = t_dbfFieldEntry{};
        std::memcpy(field.name, descriptor, 11);
        field.type = static_cast<char>(descriptor[11]);
        field.length = descriptor[16];
        field.decimals = descriptor[17];
        field.offset =
            cumulativeOffsets ? offset : static_cast<int32_t>(littleEndian32(descriptor + 12));
        offset += field.length;
    }
    uint8_t terminator = 0;
    stream_.readByte(&terminator);
    // A directory whose descriptors do not end where its header says has been damaged, for
    // example by a text-mode copy that turned line feeds into line ends.
    if (!cumulativeOffsets && terminator != 0x0D) {
        lastFailure_ = "fread failure";
        return false;
    }
    return true;
}

t_dbfFile* TableReader::openDirectoryHeader() {
    int64_t start = stream_.tell();
    t_dbfFile* table = nullptr;
    try {
        table = reserveDescriptor("failed to allocate t_dbfFile");
        if (table == nullptr) return nullptr;
        if (!readHeader(table, true) || !readFieldDescriptors(table, false))
            return fail(table, lastFailure_.c_str());
    } catch (const EngineFailure&) {
        return fail(table, "no memory for the directory");
    }
    table->kind = kDbfTable;
    table->dataStart = start + table->headerLength;
    return table;
}

t_dbfFile* TableReader::OpenMetaTable(const DirectoryEntry& entry, std::string_view name) {
    // A table without a data block is empty; a table file without one has no header to read.
    bool noData = entry.dataPosition == 0;
    if (stream_.seek(entry.dataPosition) != 0) {
        lastFailure_ = "seek failure";
        return nullptr;
    }
    t_dbfFile* table = nullptr;
    try {
        table = reserveDescriptor("could not allocate t_dbfFile");
        if (table == nullptr) return nullptr;
        std::string_view shortName = name.substr(0, 12);
        for (size_t i = 0; i < shortName.size(); ++i)
            table->name[i] =
                static_cast<char>(std::toupper(static_cast<unsigned char>(shortName[i])));
        table->kind = tableKindOf(table->name);
        table->indexPosition = entry.indexPosition;
        if (noData && table->kind == kDbfTable) return fail(table, "no data");
        if (table->kind == kDbfTable) {
            if (!readHeader(table, false) || !readFieldDescriptors(table, true))
                return fail(table, lastFailure_.c_str());
            // Records start where the header says, whatever the descriptors add up to.
            table->dataStart = entry.dataPosition + table->headerLength;
        } else {
            table->recordCount = noData ? 0 : entry.recordCount;
            table->recordLength = entry.recordLength;
            table->endPosition = entry.dataLength;
            table->dataStart = entry.dataPosition;
            table->nextLine = entry.dataPosition;
        }
        if (columnsOn()) declareColumns(table);
    } catch (const EngineFailure&) {
        close(table);
        throw;
    }
    return table;
}

void TableReader::declareColumns(t_dbfFile* table) {
    if (table->kind == kBinaryTable) return;
    if (table->kind != kDbfTable) {
        // One value covers the whole record.
        table->fld = static_cast<t_dbfFieldEntry*>(
            memory_.allocAndLock(3, tags::kTableFields, sizeof(t_dbfFieldEntry)));
        *table->fld = t_dbfFieldEntry{};
        size_t capacity = static_cast<size_t>(std::max(table->recordLength, 0)) + 1;
        table->fld[0].FldValue =
            static_cast<char*>(memory_.allocAndLock(3, tags::kFieldValue, capacity));
    } else {
        for (int32_t i = 0; i < table->fieldCount; ++i)
            table->fld[i].FldValue = static_cast<char*>(
                memory_.allocAndLock(3, tags::kFieldValue, size_t{table->fld[i].length} + 1));
    }
    declareColumnVariables(table);
}

// A text table's value is named "_" and its base name; a table file's values by column.
void TableReader::declareColumnVariables(t_dbfFile* table) {
    if (table->kind == kBinaryTable || table->fld == nullptr) return;
    if (table->kind != kDbfTable) {
        std::string_view name(table->name);
        if (table->kind == kTextTable)
            variables_->declare(
                "_" + std::string(name.substr(0, std::min<size_t>(name.find('.'), 11))),
                table->fld[0].FldValue, static_cast<size_t>(std::max(table->recordLength, 0)) + 1);
        return;
    }
    for (int32_t i = 0; i < table->fieldCount; ++i) {
        t_dbfFieldEntry& field = table->fld[i];
        std::string_view name(field.name, strnlen(field.name, 11));
        variables_->declare(trimRight(name, " "), field.FldValue, size_t{field.length} + 1);
    }
}

t_dbfFile* TableReader::openForRun(const DirectoryEntry& entry, std::string_view name) {
    if (runTablesSerial_ != variables_->runSerial()) {
        runTables_.clear();
        runTablesSerial_ = variables_->runSerial();
    }
    for (const RunTable& open : runTables_) {
        if (open.name != name) continue;
        t_dbfFile* table = open.table;
        table->recordCursor = 0;
        table->nextLine = table->dataStart;
        declareColumnVariables(table);
        return table;
    }
    t_dbfFile* table = OpenMetaTable(entry, name);
    if (table != nullptr) runTables_.push_back({std::string(name), table});
    return table;
}

void TableReader::fillColumnValues(t_dbfFile* table, std::string_view record) {
    if (table->fld == nullptr) return;
    if (table->kind != kDbfTable) {
        if (table->fld[0].FldValue != nullptr)
            copyTerminated({table->fld[0].FldValue, static_cast<size_t>(table->recordLength) + 1},
                           record);
        return;
    }
    for (int32_t i = 0; i < table->fieldCount; ++i) {
        t_dbfFieldEntry& field = table->fld[i];
        if (field.FldValue == nullptr) continue;
        std::string_view value = record.substr(
            std::min(record.size(), static_cast<size_t>(field.offset - 1)), field.length);
        copyTerminated({field.FldValue, size_t{field.length} + 1}, trimRight(value, " "));
    }
}

void TableReader::clearColumnValues(t_dbfFile* table) {
    if (table == nullptr || table->fld == nullptr) return;
    for (int32_t i = 0; i < std::max(table->fieldCount, 1); ++i)
        if (table->fld[i].FldValue != nullptr) table->fld[i].FldValue[0] = '\0';
}

int TableReader::readNextRecord(t_dbfFile* table, std::span<char> buffer, bool keepSpaces) {
    if (table->recordCursor >= table->recordCount) return 0;
    int64_t record = table->recordCursor++;
    if (table->kind == kDbfTable) {
        // Every record, its deletion byte included, must lie inside the metafile; so a bogus
        // record count ends with the file.
        int64_t start = table->dataStart + record * table->recordLength;
        if (table->recordLength < 1 || stream_.bytesAt(start, table->recordLength).empty())
            return 0;
        int64_t length = table->recordLength - 1;
        auto bytes = stream_.bytesAt(start + 1, length);
        stream_.seek(table->dataStart + (record + 1) * table->recordLength);
        std::string_view fields(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        copyTerminated(buffer, fields);
        if (columnsOn()) fillColumnValues(table, fields);
        return 1;
    }
    if (table->kind == kTextTable) {
        int64_t end = table->dataStart + table->endPosition;
        if (table->nextLine >= end || stream_.seek(table->nextLine) != 0) return 0;
        std::string line = stream_.readLine(
            static_cast<size_t>(std::min<int64_t>(kMaxLineLength, end - table->nextLine)));
        if (line.empty()) return 0; // the table runs past the end of the metafile
        table->nextLine = stream_.tell();
        std::string_view text = line;
        copyTerminated(buffer, keepSpaces ? text : trimRight(text, " \r\n"));
        if (columnsOn()) fillColumnValues(table, trimRight(text, " \r\n"));
        return 1;
    }
    return 0;
}

void TableReader::close(t_dbfFile* table) {
    if (table == nullptr) return;
    if (table->fld != nullptr) {
        for (int32_t i = 0; i < table->fieldCount; ++i)
            memory_.freeByAddress(table->fld[i].FldValue);
        memory_.freeByAddress(table->fld);
    }
    memory_.freeByAddress(table);
}

} // namespace vetra
