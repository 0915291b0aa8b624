// Running edits on the bound record: a whole edit set (VTi_RunBatch), the edits of one field
// (VTi_RunSingle) or one edit by name (VTi_RunEditByName). Each run empties the message list
// first; each edit is skipped, suppressed or interpreted (VTi_IntRunEdit), and a fail or
// warning result emits the edit's message, built from the _RE_ERMS.DBF message table.
//
// The state of the edit being run (its set, index, name, message record, the message number
// override and the warnings-suppressed switch) is what the built-in functions raise their
// messages and flags against.
#pragma once

#include "engine/api/vetra40.h"
#include "engine/edits/edit_set.h"
#include "engine/edits/flag_table.h"
#include "engine/edits/message_list.h"
#include "engine/edits/message_template.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TMetaFile;

namespace vetra {

// Run flags and per-edit option bits.
inline constexpr int32_t kSkipEmpty = 0x01;
inline constexpr int32_t kSkipFailed = 0x02;
inline constexpr int32_t kAllEditsOfField = 0x04;
inline constexpr int32_t kSuppress = 0x08;
inline constexpr int32_t kSuppressWarnings = 0x80;

// Results of edit logic.
inline constexpr int32_t kFail = 0;
inline constexpr int32_t kPass = 1;
inline constexpr int32_t kWarn = 2;

struct CurrentEdit {
    int32_t setHandle = 0;
    int32_t index = 0;
    EditEntry* entry = nullptr; // none outside a set run
    std::string name;
    MessageRecord record;
    int32_t messageOverride = 0; // 0 = none
    bool warningsSuppressed = false;
};

class EditRuns {
public:
    static constexpr size_t kMessageCapacity = 255;
    static constexpr int32_t kNotAnEditSet = 307;
    static constexpr int32_t kNotAnEditSetForSingle = 311;
    static constexpr int32_t kNoSuchField = 312;
    static constexpr int32_t kIndexOutOfRange = 308;
    static constexpr int32_t kEditNotFound = 1;

    explicit EditRuns(TMetaFile& instance) : instance_(instance) {}

    int32_t VTi_RunBatch(int32_t handle, int32_t runFlags, int32_t* messageCount, intptr_t owner,
                         VT_EditsMessagesCallback callback);
    int32_t VTi_RunSingle(int32_t handle, int32_t localNumber, int32_t runFlags,
                          int32_t* messageCount, intptr_t owner, VT_EditsMessagesCallback callback);
    int32_t VTi_RunEditByName(std::string_view name, intptr_t owner,
                              VT_EditsMessagesCallback callback);
    // `options` -1 reads the edit's option word; any other value stores it.
    int32_t VTi_EditOptions(int32_t handle, int32_t index, int32_t* options);

    // Message `number` (from 1, or -1 for the last engine error text): its type letter and
    // text.
    int32_t VTi_GetMessageText(char* type, int32_t number, std::string* text);
    int32_t VTi_GetEditSetHandle(int32_t number, int32_t* handle, int32_t* index,
                                 int32_t* messageNumber);
    int32_t messageCount() const { return messages_.count(); }

    // ---- For the built-in functions ----
    FlagTable& flags() { return flags_; }
    CurrentEdit& current() { return current_; }
    // Adds a message of the current edit; counts it against the edit, or the engine when no
    // edit of a set runs, and hands it to the messages callback.
    void addMessage(std::string_view text, uint8_t type, int32_t messageNumber);
    void emitEditMessage(uint8_t type, MessageRecord record);
    // The text of a message record: mode 1 cuts it to 72 characters, mode -1 expands `given`
    // instead of the stored template.
    std::string VTi_GetMessage(MessageRecord record, int mode, size_t capacity,
                               std::string_view given = {});
    // Sets flag `number` and, when `emit`, adds the current record's message under that
    // number as an error.
    void raiseError(int32_t number, bool emit);
    // Up to five numbers, ending at the first 0 after the first: raised in order; 0.
    int32_t raiseErrors(const std::array<int32_t, 5>& numbers, bool emit);
    // 1 when any of up to five flags is set, else 0.
    int32_t checkFlags(const std::array<int32_t, 5>& numbers) const;

private:
    class RunScope;

    void reportTracedFields();

    int32_t VTi_IntRunEdit(EditSetRecord& set, int32_t index, int32_t runFlags, int32_t errorCount);
    bool skippedForEmptyField(std::span<const int32_t> fields) const;
    bool skippedForFailedField(std::span<const int32_t> fields) const;
    int32_t runLogicInMemory(EditSetRecord& set, EditEntry& entry);
    int32_t runLogicFromMetafile(int64_t editRecordPosition);
    void judge(EditEntry& entry, std::span<const int32_t> fields, int32_t result, int32_t runFlags,
               int32_t* errorCount);
    // Per-field run marks: bit 1 on the field of a single-field run, bit 2 while a
    // single-field edit on the field reports an error.
    uint8_t runMark(int32_t field) const;
    void setRunMark(int32_t field, uint8_t set, uint8_t cleared);
    const std::optional<std::string>& messageTemplate(int32_t number);

    TMetaFile& instance_;
    FlagTable flags_;
    MessageList messages_;
    CurrentEdit current_;
    int32_t engineErrors_ = 0;
    int32_t engineWarnings_ = 0;
    std::vector<uint8_t> runMarks_; // per field handle
    std::unordered_map<int32_t, std::optional<std::string>> templates_;
};

} // namespace vetra
