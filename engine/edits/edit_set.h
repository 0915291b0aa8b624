// A loaded edit set as the engine keeps it: a level-1 block tagged as an edit set, whose
// handle the host holds, pointing at four more blocks — the edit entries, the edit names, the
// compiled logic and the field references of all edits.
#pragma once

#include <cstdint>

namespace vetra {

inline constexpr int32_t kLogicNotLoaded = 0xFFFF;
inline constexpr int32_t kDefaultEditOptions = 512;

// Status bits of an edit entry.
inline constexpr int32_t kEditPassed = 0x001;
inline constexpr int32_t kEditFailed = 0x002;
inline constexpr int32_t kEditWarning = 0x004;
inline constexpr int32_t kEditOnSkippedField = 0x008; // a field's options skip its edits
inline constexpr int32_t kEditSkippedEmpty = 0x010;
inline constexpr int32_t kEditSkippedFailed = 0x020;
inline constexpr int32_t kEditWarningSuppressed = 0x040;
inline constexpr int32_t kEditFieldMissing = 0x100;
inline constexpr int32_t kEditNotRun = 0x200;

struct EditSetRecord {
    char name[51];
    int32_t editCount;
    int32_t EditNameBufHnd;
    int32_t logicBufferHandle; // 0 when the set was loaded without logic
    int32_t CompFldBufHnd;
    int32_t COMPPTRS;
    int32_t runField;
    int32_t runFlags;
};

struct EditEntry {
    int32_t nameOffset;
    int8_t fieldCount;
    int32_t status;
    int32_t options;
    int32_t errorCount;
    int32_t warningCount;
    int32_t skipCount; // negative: minus the local number of a field the layout lacks
    int32_t firstReference;
    int32_t messageNumber;
    int64_t editRecordPosition; // the edit's _RE_CEDI.DBF record, from its byte 1
    int32_t logicOffset;        // kLogicNotLoaded when the logic stays in the metafile
};

// Load statuses of an edit set.
inline constexpr int32_t kLoadedWithLogic = 0;
inline constexpr int32_t kLoadedWithoutLogic = 1;
inline constexpr int32_t kLoadFailedRecord = 2;
inline constexpr int32_t kLoadFailedMembers = 3;
inline constexpr int32_t kLoadFailedBlocks = 4;
inline constexpr int32_t kLoadedFieldMissing = 5;

} // namespace vetra
