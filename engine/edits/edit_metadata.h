// What the host can read about loaded edit sets and their edits: sizes, names, counters,
// description and help texts, stored description sizes, the readable rendering of an edit's
// logic and its compiled form, and edit information expanded from a message template.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/edits/edit_sets.h"
#include "engine/edits/message_template.h"
#include "engine/interp/logic_renderer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vetra {

struct EditCounters {
    int32_t fieldCount, statusBits, options, errorCount, warningCount, skipCount;
};

// The columns of an edit's _RE_CEDI.DBF record that runs and texts need.
struct EditRecord {
    std::string name;
    int32_t messageNumber = 0;
    std::string_view logicBlock, descriptionBlock, helpBlock, fieldsBlock;
};

enum class EditText { Help = 1, Description = 2, Logic = 3, Fields = 5 };

// A memo of an edit as delivered to the host: the text (unless only its length is asked for)
// and the length reported.
struct DeliveredText {
    std::string text;
    int32_t length = 0;
};

class EditMetadata : public FieldNameSource {
public:
    static constexpr size_t kLogicWorkArea = 10000;
    static constexpr size_t kRenderWorkArea = 20000;
    static constexpr int32_t kNotAnEditSet = 315;

    EditMetadata(EditSets& sets, MessageTemplate& messages, const MetafileStream& stream,
                 const InternalTables& tables, BoundLayouts& layouts, LookupTables& lookups,
                 LastEngineError& errors)
        : sets_(sets), messages_(messages), stream_(stream), tables_(tables), layouts_(layouts),
          lookups_(lookups), errors_(errors) {}

    int32_t VTi_GetEditSetSize(int32_t handle, int32_t* count);
    int32_t VTi_GetEditSetInfo(int32_t handle, std::string* name, int32_t* count, int32_t* runFlags,
                               int32_t* runField);
    int32_t VTi_GetEditHandle(int32_t handle, std::string_view editName, int32_t* index);
    int32_t VTi_GetEditName(int32_t handle, int32_t index, std::string* name);
    int32_t VTi_GetEditInfoEx(int32_t handle, int32_t index, std::string* name,
                              EditCounters* counters);
    int32_t VTi_GetEditCounts(int32_t handle, int32_t index, EditCounters* counters);
    int32_t VTi_GetEditInfo(int32_t handle, int32_t index, std::string_view templateText,
                            size_t capacity, std::string* text);
    // The description or help text; mode 1 word-wraps it to the line width. An index that
    // names no edit of the set delivers nothing, with status 0.
    int32_t VTi_GetEditText(int32_t handle, int32_t index, EditText kind, int32_t lineWidth,
                            int32_t capacity, int32_t mode, bool wanted,
                            std::optional<DeliveredText>* delivered);
    int32_t VTi_GetDescriptMemoSize(int32_t kind, std::string_view name, int32_t* size);
    int32_t VTi_GetEditLogic(int32_t handle, int32_t index, std::string_view separator,
                             std::string* text);
    // The compiled logic and name; false when the index is out of range.
    int32_t VTx_GetEncodedEdit(int32_t handle, int32_t index, std::string* logic, std::string* name,
                               bool* found);

    // VTi_ReadEdit: the record at a metafile position.
    EditRecord VTi_ReadEdit(int64_t position);
    // A memo of an edit's record, at most kLogicWorkArea - 1 bytes (409, 410 otherwise).
    std::string_view VTi_GetEditMemo(std::string_view block);

    std::string shortName(int32_t localNumber) override;

private:
    const EditEntry* entryOf(int32_t handle, int32_t index, EditSetRecord** set);
    std::string logicOf(EditSetRecord& set, const EditEntry& entry);

    EditSets& sets_;
    MessageTemplate& messages_;
    const MetafileStream& stream_;
    const InternalTables& tables_;
    BoundLayouts& layouts_;
    LookupTables& lookups_;
    LastEngineError& errors_;
};

} // namespace vetra
