#include "metafile_directory.h"

#include "engine/store/ascii_case.h"
#include "engine/store/block_tags.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vetra {

namespace {

std::string_view field(const uint8_t* record, size_t offset, size_t width) {
    return {reinterpret_cast<const char*>(record) + offset, width};
}

} // namespace

void MetafileDirectory::reset() {
    entries_ = nullptr;
    count_ = 0;
    firstRecord_ = 0;
    memoBase_ = 0;
    memoBlockSize_ = 0;
    internal_ = InternalTables{};
}

int64_t MetafileDirectory::blockContentPosition(std::string_view blockNumberText) const {
    int64_t block = parseDecimalText(blockNumberText);
    if (block <= 0) return 0;
    return block * memoBlockSize_ + memoBase_ + 8;
}

DirectoryEntry MetafileDirectory::readEntry(const uint8_t* record) {
    DirectoryEntry entry{};
    std::string_view name = field(record, 1, 12);
    size_t end = name.find_last_not_of(" \r\n");
    name = end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
    if (!name.empty()) std::memcpy(entry.name, name.data(), std::min<size_t>(name.size(), 12));

    entry.dataPosition = blockContentPosition(field(record, 26, 10));
    if (entry.dataPosition != 0) {
        auto length = stream_.bytesAt(entry.dataPosition - 4, 4);
        if (length.size() == 4)
            entry.dataLength = static_cast<int64_t>(length[0]) << 24 | length[1] << 16 |
                               length[2] << 8 | length[3];
    }
    entry.memoPosition = blockContentPosition(field(record, 36, 10));
    if (entry.memoPosition != 0) {
        auto blockSize = stream_.bytesAt(entry.memoPosition + 6, 2);
        if (blockSize.size() == 2) entry.memoBlockSize = blockSize[0] << 8 | blockSize[1];
    }
    entry.indexPosition = blockContentPosition(field(record, 46, 10));
    entry.recordLength = static_cast<int32_t>(parseDecimalText(field(record, 20, 6)));
    entry.recordCount = static_cast<int32_t>(parseDecimalText(field(record, 14, 6)));
    return entry;
}

void MetafileDirectory::read(TableReader& reader) {
    if (stream_.seek(kDirectoryPosition) != 0) errors_.fail(712, "VTi_Init");
    t_dbfFile* header = reader.openDirectoryHeader();
    if (header == nullptr) errors_.fail(712, "VTi_Init");
    int64_t recordCount = header->recordCount;
    firstRecord_ = kDirectoryPosition + header->headerLength;
    memoBase_ = kDirectoryPosition + header->endPosition;
    reader.close(header);

    uint32_t blockSize = 0;
    if (stream_.seek(memoBase_ + 6) == 0 && stream_.readBigEndian16(&blockSize))
        memoBlockSize_ = static_cast<int32_t>(blockSize);

    // Every record must lie inside the file before anything is reserved for it.
    if (stream_.bytesAt(firstRecord_, recordCount * kRecordSize).size() !=
        static_cast<size_t>(recordCount * kRecordSize))
        errors_.fail(712, "VTi_Init");
    size_t count = static_cast<size_t>(recordCount);
    void* block = memory_.allocAndLock(1, tags::kDirectory,
                                       std::max<size_t>(count, 1) * sizeof(DirectoryEntry));
    entries_ = static_cast<DirectoryEntry*>(block);
    count_ = count;
    auto records = stream_.bytesAt(firstRecord_, recordCount * kRecordSize);
    for (size_t i = 0; i < count; ++i)
        entries_[i] = readEntry(records.data() + i * kRecordSize);
}

int MetafileDirectory::VTi_locMetaTbl(DirectoryEntry* entry, std::string_view name,
                                      bool editLogicRunning) {
    size_t firstDot = name.find('.');
    if (firstDot != std::string_view::npos) {
        size_t secondDot = name.find('.', firstDot + 1);
        if (secondDot != std::string_view::npos) name = name.substr(0, secondDot);
    }
    std::string wanted = upperCasedAscii(name);
    for (const DirectoryEntry& candidate : entries()) {
        if (wanted == candidate.name) {
            if (entry != nullptr) *entry = candidate;
            return 1;
        }
    }
    if (editLogicRunning) errors_.fail(2019, "VTi_locMetaTbl");
    return 0;
}

void MetafileDirectory::locateInternalTables() {
    struct Required {
        const char* name;
        DirectoryEntry* entry;
        int32_t missingCode; // 0: the table may be absent
    };
    const Required required[] = {
        {"_re_edse.dbf", &internal_.editSets, 704},
        {"_re_buff.dbf", &internal_.bufferFields, 705},
        {"_re_comp.dbf", &internal_.catalogue, 0},
        {"_re_cedi.dbf", &internal_.compiledEdits, 707},
        {"_re_ddic.dbf", &internal_.dataDictionary, 708},
        {"_re_erms.dbf", &internal_.messages, 709},
    };
    for (const Required& table : required) {
        if (VTi_locMetaTbl(table.entry, table.name, false) == 1) continue;
        if (table.missingCode != 0) errors_.fail(table.missingCode, "VTi_Init");
        table.entry->dataPosition = 0;
    }
}

} // namespace vetra
