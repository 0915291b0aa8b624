#include "edit_metadata.h"

#include "engine/edits/text_formatter.h"
#include "engine/records/dictionary_names.h"
#include "engine/store/internal_records.h"
#include "engine/store/table_file.h"

#include <algorithm>

namespace vetra {

const EditEntry* EditMetadata::entryOf(int32_t handle, int32_t index, EditSetRecord** set) {
    *set = sets_.find(handle);
    if (*set == nullptr || index < 0 || index >= (*set)->editCount) return nullptr;
    return &sets_.entries(**set)[static_cast<size_t>(index)];
}

int32_t EditMetadata::VTi_GetEditSetSize(int32_t handle, int32_t* count) {
    EditSetRecord* set = sets_.find(handle);
    *count = set != nullptr ? set->editCount : 0;
    return set != nullptr ? 0 : kNotAnEditSet;
}

int32_t EditMetadata::VTi_GetEditSetInfo(int32_t handle, std::string* name, int32_t* count,
                                         int32_t* runFlags, int32_t* runField) {
    EditSetRecord* set = sets_.find(handle);
    if (set == nullptr) return kNotAnEditSet;
    *name = set->name;
    *count = set->editCount;
    *runFlags = set->runFlags;
    *runField = set->runField;
    return 0;
}

int32_t EditMetadata::VTi_GetEditHandle(int32_t handle, std::string_view editName, int32_t* index) {
    EditSetRecord* set = sets_.find(handle);
    if (set == nullptr) return 307;
    *index = -1;
    auto entries = sets_.entries(*set);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (equalsIgnoringCase(sets_.editName(*set, entries[i]), editName)) {
            *index = static_cast<int32_t>(i);
            break;
        }
    }
    return 0;
}

int32_t EditMetadata::VTi_GetEditName(int32_t handle, int32_t index, std::string* name) {
    EditSetRecord* set = nullptr;
    const EditEntry* entry = entryOf(handle, index, &set);
    if (set == nullptr) return kNotAnEditSet;
    if (entry == nullptr) return 416;
    *name = sets_.editName(*set, *entry);
    return 0;
}

int32_t EditMetadata::VTi_GetEditInfoEx(int32_t handle, int32_t index, std::string* name,
                                        EditCounters* counters) {
    EditSetRecord* set = nullptr;
    const EditEntry* entry = entryOf(handle, index, &set);
    if (set == nullptr) return kNotAnEditSet;
    if (entry == nullptr) return 416;
    *name = sets_.editName(*set, *entry);
    *counters = EditCounters{entry->fieldCount, entry->status,       entry->options,
                             entry->errorCount, entry->warningCount, entry->skipCount};
    return 0;
}

int32_t EditMetadata::VTi_GetEditCounts(int32_t handle, int32_t index, EditCounters* counters) {
    EditSetRecord* set = nullptr;
    const EditEntry* entry = entryOf(handle, index, &set);
    if (set == nullptr) return kNotAnEditSet;
    if (entry == nullptr) return 323;
    *counters = EditCounters{entry->fieldCount,
                             entry->status,
                             entry->options,
                             std::max(entry->errorCount, 0),
                             std::max(entry->warningCount, 0),
                             std::max(entry->skipCount, 0)};
    return 0;
}

int32_t EditMetadata::VTi_GetEditInfo(int32_t handle, int32_t index, std::string_view templateText,
                                      size_t capacity, std::string* text) {
    EditSetRecord* set = nullptr;
    const EditEntry* entry = entryOf(handle, index, &set);
    if (set == nullptr) return kNotAnEditSet;
    // The template travels through the last engine error text, whose code stays as it is.
    errors_.setText(std::string(templateText));
    if (entry == nullptr) {
        *text = messages_.expand(templateText, MessageRecord{}, MessageContext{}, capacity);
        return 0;
    }
    MessageRecord record;
    record.messageNumber = entry->messageNumber;
    auto references = sets_.fieldReferences(*set, *entry);
    for (size_t i = 0; i < references.size() && i < MessageRecord::kMaxFields; ++i)
        record.fields[i] = references[i] >= 0 ? layouts_.VTi_LocalNumFromHnd(references[i]) : 0;
    MessageContext context{sets_.editName(*set, *entry), entry->errorCount};
    *text = messages_.expand(errors_.text(), record, context, capacity);
    return 0;
}

EditRecord EditMetadata::VTi_ReadEdit(int64_t position) {
    auto bytes = stream_.bytesAt(position, kCompiledEditTable.recordLength - 1);
    std::string_view record(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EditRecord edit;
    edit.name = trimTrailingBlanks(recordField(record, 0, 50));
    edit.messageNumber = static_cast<int32_t>(parseDecimalText(recordField(record, 50, 4)));
    edit.logicBlock = recordField(record, 54, 10);
    edit.descriptionBlock = recordField(record, 64, 10);
    edit.helpBlock = recordField(record, 74, 10);
    edit.fieldsBlock = recordField(record, 84, 10);
    return edit;
}

std::string_view EditMetadata::VTi_GetEditMemo(std::string_view block) {
    if (parseDecimalText(block) <= 0) return {};
    std::string_view memo = memoContent(stream_, tables_.compiledEdits, block);
    if (memo.data() == nullptr) {
        errors_.fail(409, "VTi_GetEditMemo");
    }
    if (memo.size() > kLogicWorkArea - 1) errors_.fail(410, "VTi_GetEditMemo");
    return memo;
}

int32_t EditMetadata::VTi_GetEditText(int32_t handle, int32_t index, EditText kind,
                                      int32_t lineWidth, int32_t capacity, int32_t mode,
                                      bool wanted, std::optional<DeliveredText>* delivered) {
    EditSetRecord* set = nullptr;
    const EditEntry* entry = entryOf(handle, index, &set);
    if (set == nullptr) return -2;
    if (entry == nullptr) return 0;
    EditRecord record = VTi_ReadEdit(entry->editRecordPosition);
    std::string_view block = kind == EditText::Help          ? record.helpBlock
                             : kind == EditText::Description ? record.descriptionBlock
                             : kind == EditText::Fields      ? record.fieldsBlock
                                                             : record.logicBlock;
    std::string_view memo = VTi_GetEditMemo(block);
    size_t limit = capacity > 0 ? static_cast<size_t>(capacity) - 1 : 0;
    DeliveredText result;
    if (!wanted || (kind == EditText::Logic && mode == 0)) {
        result.length = static_cast<int32_t>(memo.size());
    } else {
        result.text = mode == 1
                          ? fmttext(lineWidth, memo, static_cast<size_t>(std::max(capacity, 0)))
                          : std::string(memo.substr(0, limit));
        result.length = static_cast<int32_t>(result.text.size());
    }
    *delivered = std::move(result);
    return 0;
}

int32_t EditMetadata::VTi_GetDescriptMemoSize(int32_t kind, std::string_view name, int32_t* size) {
    *size = 0;
    if (kind < 1 || kind > 3) errors_.fail(325, "VTi_GetDescriptMemoSize");
    const DirectoryEntry& table = kind == 1 ? tables_.compiledEdits : tables_.catalogue;
    TableGeometry geometry = kind == 1 ? kCompiledEditTable : kCatalogueTable;
    size_t nameOffset = kind == 3 ? 7 : kind == 2 ? 2 : 0;
    size_t nameWidth = kind == 3 ? 45 : 50;
    size_t memoOffset = kind == 1 ? 64 : 162;
    for (int64_t n = 1; n <= table.recordCount; ++n) {
        std::string_view record = internalRecord(stream_, table, geometry, n);
        if (record.empty()) break;
        if (kind == 2 && !record.starts_with("ES")) continue;
        if (kind == 3 && !record.starts_with("RL")) continue;
        if (!equalsIgnoringCase(trimTrailingBlanks(recordField(record, nameOffset, nameWidth)),
                                name))
            continue;
        std::string_view memo = memoContent(stream_, table, recordField(record, memoOffset, 10));
        if (parseDecimalText(recordField(record, memoOffset, 10)) > 0)
            *size = static_cast<int32_t>(memo.size()) + 1;
        return 0;
    }
    return 0;
}

std::string EditMetadata::logicOf(EditSetRecord& set, const EditEntry& entry) {
    std::string_view inMemory = sets_.logic(set, entry);
    if (entry.logicOffset != kLogicNotLoaded && set.logicBufferHandle != 0)
        return std::string(inMemory);
    return std::string(VTi_GetEditMemo(VTi_ReadEdit(entry.editRecordPosition).logicBlock));
}

std::string EditMetadata::shortName(int32_t localNumber) {
    int64_t position = dictionaryRecordOf(lookups_, stream_, tables_.dataDictionary, localNumber);
    return position != 0 ? dictionaryNameAt(stream_, position, DictionaryName::Short) : "";
}

int32_t EditMetadata::VTi_GetEditLogic(int32_t handle, int32_t index, std::string_view separator,
                                       std::string* text) {
    EditSetRecord* set = sets_.find(handle);
    if (set == nullptr) errors_.fail(68, "VTi_GetEditLogic");
    if (index < 0 || index >= set->editCount) errors_.fail(69, "VTi_GetEditLogic");
    const EditEntry& entry = sets_.entries(*set)[static_cast<size_t>(index)];
    std::optional<std::string> rendered = renderLogic(logicOf(*set, entry), separator, *this);
    if (!rendered) errors_.fail(2017, "VTi_GetToken");
    if (rendered->size() > kRenderWorkArea) rendered->resize(kRenderWorkArea);
    *text = std::move(*rendered);
    return 0;
}

int32_t EditMetadata::VTx_GetEncodedEdit(int32_t handle, int32_t index, std::string* logic,
                                         std::string* name, bool* found) {
    EditSetRecord* set = nullptr;
    const EditEntry* entry = entryOf(handle, index, &set);
    *found = entry != nullptr;
    if (set == nullptr) return kNotAnEditSet;
    if (entry == nullptr) return 0;
    *logic = logicOf(*set, *entry);
    *name = sets_.editName(*set, *entry);
    return 0;
}

} // namespace vetra
