#include "edit_set_layout_check.h"

#include "engine/store/internal_records.h"
#include "engine/store/table_file.h"

#include <algorithm>
#include <string>

namespace vetra {

namespace {

std::string dictionaryName(const MetafileStream& stream, const DirectoryEntry& dictionary,
                           int32_t localNumber) {
    for (int64_t n = 1; n <= dictionary.recordCount; ++n) {
        std::string_view record = internalRecord(stream, dictionary, kDictionaryTable, n);
        if (parseDecimalText(recordField(record, 29, 8)) == localNumber)
            return std::string(trimTrailingBlanks(recordField(record, 0, 25)));
    }
    return "NOT FOUND in _RE_DDIC.DBF";
}

} // namespace

std::vector<int32_t> layoutLocalNumbers(const MetafileStream& stream, const InternalTables& tables,
                                        int32_t layoutNumber) {
    std::vector<int32_t> numbers;
    for (int64_t n = 1; n <= tables.bufferFields.recordCount; ++n) {
        std::string_view record = internalRecord(stream, tables.bufferFields, kBufferFieldTable, n);
        if (parseDecimalText(recordField(record, 10, 4)) == layoutNumber)
            numbers.push_back(static_cast<int32_t>(parseDecimalText(recordField(record, 0, 8))));
    }
    return numbers;
}

void reportFieldsMissingFromLayout(const MetafileStream& stream, const InternalTables& tables,
                                   std::string_view editSetName,
                                   const std::vector<int32_t>& layoutFields, intptr_t owner,
                                   VT_CheckFieldCallback callback) {
    std::string_view members;
    for (int64_t n = 1; n <= tables.editSets.recordCount && members.empty(); ++n) {
        std::string_view record = internalRecord(stream, tables.editSets, kEditSetTable, n);
        if (trimTrailingBlanks(recordField(record, 0, 50)) == editSetName)
            members = memoContent(stream, tables.editSets, recordField(record, 50, 10));
    }
    for (int32_t editRecord : integerList(members)) {
        std::string_view edit =
            internalRecord(stream, tables.compiledEdits, kCompiledEditTable, editRecord);
        std::string editName(trimTrailingBlanks(recordField(edit, 0, 50)));
        std::string_view fieldList =
            memoContent(stream, tables.compiledEdits, recordField(edit, 84, 10));
        for (int32_t localNumber : integerList(fieldList)) {
            if (std::find(layoutFields.begin(), layoutFields.end(), localNumber) !=
                layoutFields.end())
                continue;
            std::string name = dictionaryName(stream, tables.dataDictionary, localNumber);
            callback(owner, localNumber, name.c_str(), editName.c_str());
        }
    }
}

} // namespace vetra
