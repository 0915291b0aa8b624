#include "dictionary_names.h"

#include "engine/store/internal_records.h"
#include "engine/store/table_file.h"

#include <cstdio>

namespace vetra {

namespace {

constexpr size_t kNameWidth = 25;

size_t offsetOf(DictionaryName name) {
    switch (name) {
    case DictionaryName::Long:
        return 37;
    case DictionaryName::Third:
        return 126;
    default:
        return 0;
    }
}

} // namespace

std::string dictionaryNameAt(const MetafileStream& stream, int64_t position, DictionaryName name) {
    auto bytes = stream.bytesAt(position + static_cast<int64_t>(offsetOf(name)), kNameWidth);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return std::string(trimTrailingBlanks(text));
}

int64_t dictionaryRecordOf(LookupTables& lookups, const MetafileStream& stream,
                           const DirectoryEntry& dictionary, int32_t localNumber) {
    if (dictionary.indexPosition > 0) {
        char key[16];
        std::snprintf(key, sizeof key, "%8ld", static_cast<long>(localNumber));
        int64_t position = lookups.columnPosition(key, "_RE_DDIC.DBF.CLOCAL_NUM");
        return position > 0 ? position : 0;
    }
    for (int64_t n = 1; n <= dictionary.recordCount; ++n) {
        std::string_view record = internalRecord(stream, dictionary, kDictionaryTable, n);
        if (record.empty()) break;
        if (parseDecimalText(recordField(record, 29, 8)) == localNumber)
            return dictionary.dataPosition + kDictionaryTable.headerLength +
                   (n - 1) * kDictionaryTable.recordLength + 1;
    }
    return 0;
}

} // namespace vetra
