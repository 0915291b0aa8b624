#include "edit_sets.h"

#include "engine/records/dictionary_names.h"
#include "engine/store/block_tags.h"
#include "engine/store/internal_records.h"
#include "engine/store/table_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vetra {

namespace {

int32_t decimalAt(std::string_view text, size_t offset, size_t width) {
    return static_cast<int32_t>(parseDecimalText(recordField(text, offset, width)));
}

int32_t littleEndian32(std::string_view bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return static_cast<int32_t>(value);
}

} // namespace

struct EditSets::LoadState {
    int32_t handle = 0;
    size_t namesUsed = 0;
    size_t logicUsed = 0;
    size_t referencesUsed = 0;
    bool missingReported = false;
};

EditSetRecord* EditSets::find(int32_t handle) {
    if (memory_.tagOf(handle) != tags::kEditSet || memory_.levelOf(handle) == 0) return nullptr;
    return static_cast<EditSetRecord*>(memory_.lock(handle));
}

std::span<EditEntry> EditSets::entries(const EditSetRecord& set) {
    if (set.COMPPTRS == 0) return {};
    return {static_cast<EditEntry*>(memory_.lock(set.COMPPTRS)),
            static_cast<size_t>(set.editCount)};
}

std::string_view EditSets::editName(const EditSetRecord& set, const EditEntry& entry) {
    size_t size = memory_.blockSize(set.EditNameBufHnd);
    if (set.EditNameBufHnd == 0 || static_cast<size_t>(entry.nameOffset) >= size) return {};
    const char* names = static_cast<const char*>(memory_.lock(set.EditNameBufHnd));
    return {names + entry.nameOffset, strnlen(names + entry.nameOffset, size - entry.nameOffset)};
}

std::span<int32_t> EditSets::fieldReferences(const EditSetRecord& set, const EditEntry& entry) {
    if (set.CompFldBufHnd == 0 || entry.fieldCount <= 0) return {};
    auto* all = static_cast<int32_t*>(memory_.lock(set.CompFldBufHnd));
    return {all + entry.firstReference, static_cast<size_t>(entry.fieldCount)};
}

std::string_view EditSets::logic(const EditSetRecord& set, const EditEntry& entry) {
    if (set.logicBufferHandle == 0 || entry.logicOffset == kLogicNotLoaded) return {};
    size_t size = memory_.blockSize(set.logicBufferHandle);
    const char* block = static_cast<const char*>(memory_.lock(set.logicBufferHandle));
    auto offset = static_cast<size_t>(entry.logicOffset);
    return {block + offset, strnlen(block + offset, size - offset)};
}

void EditSets::markEditsOnSkippedFields(std::span<const FieldSlot> fields) {
    auto skipsEdits = [&](int32_t field) {
        return field >= 0 && static_cast<size_t>(field) < fields.size() &&
               (fields[static_cast<size_t>(field)].flags & kFieldSkipsEdits) != 0;
    };
    for (const auto& [name, handle] : register_) {
        EditSetRecord* set = find(handle);
        if (set == nullptr) continue;
        for (EditEntry& entry : entries(*set)) {
            entry.status &= kEditFieldMissing;
            if (std::ranges::any_of(fieldReferences(*set, entry), skipsEdits))
                entry.status |= kEditOnSkippedField;
        }
    }
}

std::string_view EditSets::findCatalogueRecord(std::string_view name) const {
    const DirectoryEntry& catalogue = tables_.catalogue;
    if (catalogue.dataPosition == 0) return {};
    std::string key = "ES" + std::string(name);
    for (int64_t n = 1; n <= catalogue.recordCount; ++n) {
        std::string_view record = internalRecord(stream_, catalogue, kCatalogueTable, n);
        if (record.empty()) break;
        if (equalsIgnoringCase(trimTrailingBlanks(recordField(record, 0, 52)), key)) return record;
    }
    return {};
}

int32_t EditSets::allocate(size_t size, int32_t tag, int32_t code, int32_t failedStatus,
                           int32_t* status) {
    try {
        return memory_.VTi_AllocMem(1, tag, false, std::max<size_t>(size, 1));
    } catch (const EngineFailure&) {
        *status = failedStatus;
        errors_.fail(code, "VTi_LoadEditSet");
    }
}

void EditSets::reportMissingField(int32_t localNumber, std::string_view editName) {
    int64_t position = dictionaryRecordOf(lookups_, stream_, tables_.dataDictionary, localNumber);
    std::string field =
        position != 0 ? dictionaryNameAt(stream_, position, DictionaryName::Short) : "";
    errors_.setText("Missing field \"" + field + "\" in edit \"" + std::string(editName) + "\"");
}

void EditSets::VTi_LoadEditSet(std::string_view name, int32_t option, int32_t* handle,
                               int32_t* status) {
    *status = kLoadedWithLogic;
    if (auto loaded = register_.find(std::string(name)); loaded != register_.end()) {
        if (EditSetRecord* set = find(loaded->second)) {
            for (EditEntry& entry : entries(*set)) {
                entry.errorCount = entry.warningCount = entry.status = 0;
                if (entry.skipCount > 0) entry.skipCount = 0;
            }
        }
        *handle = loaded->second;
        return;
    }
    errors_.setText("");
    std::string blankFirstDigit;
    variables_.VTi_GetVar("BLANKFIRSTMONTHDIGIT", &blankFirstDigit);
    access_.facts().blankFirstMonthDigit = equalsIgnoringCase(blankFirstDigit, "Y");

    std::string_view catalogueRecord = findCatalogueRecord(name);
    if (catalogueRecord.empty()) errors_.fail(462, "VTi_LoadEditSet");
    // Names, logic and references all come from the component memo, so sizes the memo cannot
    // hold are bogus: they are cut to what it can, rather than reserved as stated.
    std::string_view components =
        memoContent(stream_, tables_.catalogue, recordField(catalogueRecord, 152, 10));
    auto statedSize = [&](size_t offset, size_t most) {
        return std::min(static_cast<size_t>(std::max(decimalAt(catalogueRecord, offset, 8), 0)),
                        most);
    };
    size_t namesSize = statedSize(52, components.size());
    size_t logicSize = statedSize(60, components.size());
    size_t referenceCount = statedSize(68, components.size() / 8);

    LoadState state;
    try {
        state.handle = memory_.VTi_AllocMem(1, tags::kEditSet, false, sizeof(EditSetRecord));
    } catch (const EngineFailure&) {
        *status = kLoadFailedRecord;
        errors_.fail(303, "VTi_LoadEditSet");
    }
    auto* set = new (memory_.lock(state.handle)) EditSetRecord{};
    set->runField = set->runFlags = -1;
    try {
        readMembers(*set, name, status);
        if (set->editCount > 0) {
            if (referenceCount >= 1) {
                set->CompFldBufHnd =
                    allocate(referenceCount * sizeof(int32_t), tags::kEditFieldReferences, 305,
                             kLoadFailedBlocks, status);
            }
            set->EditNameBufHnd =
                allocate(namesSize, tags::kEditNames, 306, kLoadFailedBlocks, status);
            if (option == 1) {
                try {
                    set->logicBufferHandle = memory_.VTi_AllocMem(1, tags::kEditLogic, true,
                                                                  std::max<size_t>(logicSize, 1));
                } catch (const EngineFailure&) {
                    set->logicBufferHandle = 0; // then every run reads the logic from the file
                }
            }
            if (set->logicBufferHandle == 0 && *status != kLoadedFieldMissing)
                *status = kLoadedWithoutLogic;
            if (components.empty()) errors_.fail(302, "VTi_LoadEditSet");
            readComponents(state, components, status);
        }
    } catch (...) {
        // A set that failed part-way leaves none of its blocks behind.
        set = find(state.handle);
        for (int32_t block :
             {set->COMPPTRS, set->CompFldBufHnd, set->EditNameBufHnd, set->logicBufferHandle})
            memory_.VTi_free(block);
        memory_.VTi_free(state.handle);
        throw;
    }
    register_[std::string(name)] = state.handle;
    *handle = state.handle;
}

void EditSets::readMembers(EditSetRecord& set, std::string_view name, int32_t* status) {
    std::string_view members;
    bool found = false;
    for (int64_t n = 1; n <= tables_.editSets.recordCount && !found; ++n) {
        std::string_view record = internalRecord(stream_, tables_.editSets, kEditSetTable, n);
        if (record.empty()) break;
        std::string_view stored = trimTrailingBlanks(recordField(record, 0, 50));
        std::memset(set.name, 0, sizeof set.name);
        if (!stored.empty())
            std::memcpy(set.name, stored.data(), std::min(stored.size(), sizeof set.name - 1));
        if (!equalsIgnoringCase(stored, name)) continue;
        found = true;
        std::string_view block = recordField(record, 50, 10);
        if (parseDecimalText(block) == 0) return;
        members = memoContent(stream_, tables_.editSets, block);
        if (members.empty()) errors_.fail(301, "VTi_LoadEditSet");
    }
    if (!found) return;
    set.editCount = static_cast<int32_t>(members.size() / 4);
    set.COMPPTRS = allocate(static_cast<size_t>(set.editCount) * sizeof(EditEntry),
                            tags::kEditEntries, 304, kLoadFailedMembers, status);
    auto* entries = static_cast<EditEntry*>(memory_.lock(set.COMPPTRS));
    const DirectoryEntry& edits = tables_.compiledEdits;
    for (int32_t i = 0; i < set.editCount; ++i) {
        int64_t recordNumber = littleEndian32(members, static_cast<size_t>(i) * 4);
        entries[i] = EditEntry{};
        entries[i].editRecordPosition = edits.dataPosition + kCompiledEditTable.headerLength +
                                        (recordNumber - 1) * kCompiledEditTable.recordLength + 1;
    }
}

void EditSets::readComponents(LoadState& state, std::string_view memo, int32_t* status) {
    EditSetRecord* set = find(state.handle);
    size_t position = 0;
    for (int32_t i = 0; i < set->editCount; ++i) {
        int32_t chunkLength = decimalAt(memo, position, 4);
        std::string_view chunk =
            recordField(memo, position + 4, static_cast<size_t>(std::max(chunkLength, 0)));
        if (chunkLength < 0 || chunk.size() != static_cast<size_t>(chunkLength))
            errors_.fail(302, "VTi_LoadEditSet");
        position += 4 + chunk.size();

        size_t nameLength = static_cast<size_t>(std::max(decimalAt(chunk, 0, 2), 0));
        std::string_view editName = recordField(chunk, 2, nameLength);
        size_t at = 2 + nameLength;
        int32_t messageNumber = decimalAt(chunk, at, 4);
        int32_t fieldCount = std::clamp(decimalAt(chunk, at + 4, 2), 0, 99);
        at += 6;

        // Names and references beyond the stored sizes grow their blocks rather than overrun.
        size_t namesSize = memory_.blockSize(set->EditNameBufHnd);
        if (state.namesUsed + editName.size() + 1 > namesSize) {
            set->EditNameBufHnd =
                memory_.VTi_ReAllocMem(set->EditNameBufHnd, 1, tags::kEditNames, false,
                                       state.namesUsed + editName.size() + 1);
            set = find(state.handle);
        }
        char* names = static_cast<char*>(memory_.lock(set->EditNameBufHnd));
        if (!editName.empty())
            std::memcpy(names + state.namesUsed, editName.data(), editName.size());
        names[state.namesUsed + editName.size()] = '\0';

        size_t referencesNeeded =
            (state.referencesUsed + static_cast<size_t>(fieldCount)) * sizeof(int32_t);
        if (fieldCount > 0 && referencesNeeded > memory_.blockSize(set->CompFldBufHnd)) {
            set->CompFldBufHnd = memory_.VTi_ReAllocMem(
                set->CompFldBufHnd, 1, tags::kEditFieldReferences, false, referencesNeeded);
            set = find(state.handle);
        }
        EditEntry& entry = entries(*set)[static_cast<size_t>(i)];
        entry.nameOffset = static_cast<int32_t>(state.namesUsed);
        entry.firstReference = static_cast<int32_t>(state.referencesUsed);
        entry.errorCount = entry.warningCount = entry.skipCount = 0;
        entry.options = kDefaultEditOptions;
        entry.messageNumber = messageNumber;
        entry.fieldCount = static_cast<int8_t>(fieldCount);
        state.namesUsed += editName.size() + 1;

        for (int32_t f = 0; f < fieldCount; ++f, at += 8) {
            int32_t localNumber = decimalAt(chunk, at, 8);
            int32_t field = layouts_.fieldForLocal(localNumber);
            if (field < 0) {
                field = -1;
                *status = kLoadedFieldMissing;
                entry.skipCount = -localNumber;
                entry.status |= kEditFieldMissing;
                if (!state.missingReported) reportMissingField(localNumber, editName);
                state.missingReported = true;
            }
            static_cast<int32_t*>(memory_.lock(set->CompFldBufHnd))[state.referencesUsed++] = field;
        }

        int32_t logicLength = std::max(decimalAt(chunk, at, 4), 0);
        std::string_view logicText = recordField(memo, position, static_cast<size_t>(logicLength));
        position += static_cast<size_t>(logicLength);
        size_t logicSize = memory_.blockSize(set->logicBufferHandle);
        if (set->logicBufferHandle != 0 && state.logicUsed + logicText.size() + 1 <= logicSize) {
            char* logicBlock = static_cast<char*>(memory_.lock(set->logicBufferHandle));
            if (!logicText.empty())
                std::memcpy(logicBlock + state.logicUsed, logicText.data(), logicText.size());
            logicBlock[state.logicUsed + logicText.size()] = '\0';
            entry.logicOffset = static_cast<int32_t>(state.logicUsed);
            state.logicUsed += logicText.size() + 1;
        } else {
            entry.logicOffset = kLogicNotLoaded;
        }
    }
}

} // namespace vetra
