#include "edit_runs.h"

#include "engine/api/error_catalogue.h"
#include "engine/library/local_date.h"
#include "engine/store/TMetaFile.h"
#include "engine/store/internal_records.h"

#include <algorithm>
#include <cstdio>

namespace vetra {

namespace {

// Fields an edit of two or more fields does not test for emptiness: the registry's
// identification items and the override flags.
bool exemptFromEmptyTest(int32_t localNumber) {
    return (localNumber >= 482 && localNumber <= 490) ||
           (localNumber >= 99990001 && localNumber <= 99990004);
}

bool isBlankField(const FieldSlot& slot) {
    if (slot.value == nullptr) return true;
    for (int32_t i = 0; i < slot.length && slot.value[i] != '\0'; ++i)
        if (slot.value[i] != ' ') return false;
    return true;
}

constexpr uint8_t kMarkRunField = 0x01;
constexpr uint8_t kMarkFailed = 0x02;

} // namespace

// The common start and end of every run operation: the owner and callback given for this run
// replace the instance's until it ends, today's date is taken afresh, and the message list of
// the previous run is emptied.
class EditRuns::RunScope {
public:
    RunScope(EditRuns& runs, intptr_t owner, VT_EditsMessagesCallback callback)
        : runs_(runs), owner_(runs.instance_.editsOwner()),
          callback_(runs.instance_.editsFuncPtr()) {
        TMetaFile& instance = runs.instance_;
        instance.setToday(localDateCcyymmdd());
        if (owner != 0 || callback != nullptr)
            instance.VTi_SetEditsMessagesCallback(owner != 0 ? owner : owner_,
                                                  callback != nullptr ? callback : callback_);
        runs.messages_.clear();
    }
    ~RunScope() {
        runs_.instance_.VTi_SetEditsMessagesCallback(owner_, callback_);
        runs_.current_.entry = nullptr;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    EditRuns& runs_;
    intptr_t owner_;
    VT_EditsMessagesCallback callback_;
};

int32_t EditRuns::VTi_RunBatch(int32_t handle, int32_t runFlags, int32_t* messageCount,
                               intptr_t owner, VT_EditsMessagesCallback callback) {
    return instance_.lastError().guard(443, "VTi_RunBatch", [&] {
        RunScope scope(*this, owner, callback);
        EditSetRecord* set = instance_.editSets().find(handle);
        if (set == nullptr) return kNotAnEditSet;
        current_.setHandle = handle;
        set->runFlags = runFlags;
        set->runField = 0;
        auto entries = instance_.editSets().entries(*set);
        int32_t errorCount = 0;
        for (size_t i = 0; i < entries.size() && errorCount >= 0; ++i) {
            if ((entries[i].status & kEditFieldMissing) != 0) continue;
            current_.index = static_cast<int32_t>(i);
            char show = instance_.showEditName();
            if (show != 0 && instance_.editsFuncPtr() != nullptr) {
                std::string announcement(1, show);
                announcement += instance_.editSets().editName(*set, entries[i]);
                instance_.editsFuncPtr()(instance_.editsOwner(), announcement.c_str());
            }
            errorCount = VTi_IntRunEdit(*set, current_.index, runFlags, errorCount);
        }
        *messageCount = messages_.count();
        return 0;
    });
}

int32_t EditRuns::VTi_RunSingle(int32_t handle, int32_t localNumber, int32_t runFlags,
                                int32_t* messageCount, intptr_t owner,
                                VT_EditsMessagesCallback callback) {
    return instance_.lastError().guard(445, "VTi_RunSingle", [&] {
        RunScope scope(*this, owner, callback);
        EditSetRecord* set = instance_.editSets().find(handle);
        if (set == nullptr) return kNotAnEditSetForSingle;
        set->runFlags = runFlags;
        set->runField = localNumber;
        int32_t field = instance_.layouts().fieldForLocal(localNumber);
        if (field < 0) return kNoSuchField;
        current_.setHandle = handle;
        auto entries = instance_.editSets().entries(*set);
        for (EditEntry& entry : entries)
            entry.status &= kEditFieldMissing | kSuppress;
        setRunMark(field, kMarkRunField, 0);
        int32_t errorCount = 0;
        for (size_t i = 0; i < entries.size() && errorCount >= 0; ++i) {
            EditEntry& entry = entries[i];
            if ((entry.status & kEditFieldMissing) != 0) continue;
            if ((entry.options & kSuppress) != 0) {
                entry.status |= kEditNotRun;
                continue;
            }
            auto fields = instance_.editSets().fieldReferences(*set, entry);
            bool takesPart = (runFlags & kAllEditsOfField) != 0
                                 ? std::find(fields.begin(), fields.end(), field) != fields.end()
                                 : fields.size() == 1 && fields[0] == field;
            if (!takesPart) continue;
            current_.index = static_cast<int32_t>(i);
            errorCount = VTi_IntRunEdit(*set, current_.index, runFlags, errorCount);
        }
        *messageCount = messages_.count();
        return 0;
    });
}

int32_t EditRuns::VTi_RunEditByName(std::string_view name, intptr_t owner,
                                    VT_EditsMessagesCallback callback) {
    return instance_.lastError().guard(444, "VTi_RunEditByName", [&] {
        RunScope scope(*this, owner, callback);
        std::string key(name);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        int64_t position = instance_.lookupTables().columnPosition(key, "_RE_CEDI.DBF.EDIT_NAME");
        if (position <= 0) return kEditNotFound;
        current_.index = 0;
        int32_t result = runLogicFromMetafile(position);
        if (result == kFail || result == kWarn)
            emitEditMessage(static_cast<uint8_t>(result), current_.record);
        return 0;
    });
}

int32_t EditRuns::VTi_IntRunEdit(EditSetRecord& set, int32_t index, int32_t runFlags,
                                 int32_t errorCount) {
    return instance_.lastError().guard(53, "VTi_IntRunEdit", [&] {
        EditEntry& entry = instance_.editSets().entries(set)[static_cast<size_t>(index)];
        if (entry.skipCount < 0) return errorCount;
        if (entry.options == kSuppress) {
            entry.status = kEditNotRun;
            return errorCount;
        }
        current_.entry = &entry;
        auto fields = instance_.editSets().fieldReferences(set, entry);
        int32_t options = entry.options;
        if (options != 0) {
            if (((runFlags | options) & kSkipEmpty) != 0 && skippedForEmptyField(fields)) {
                ++entry.skipCount;
                entry.status |= kEditSkippedEmpty;
                return errorCount;
            }
            if (((runFlags | options) & kSkipFailed) != 0 && fields.size() >= 2 &&
                skippedForFailedField(fields)) {
                ++entry.skipCount;
                entry.status |= kEditSkippedFailed;
                return errorCount;
            }
        }
        current_.warningsSuppressed = ((runFlags | options) & kSuppressWarnings) != 0;
        int32_t result = entry.logicOffset != kLogicNotLoaded
                             ? runLogicInMemory(set, entry)
                             : runLogicFromMetafile(entry.editRecordPosition);
        judge(entry, fields, result, runFlags, &errorCount);
        return errorCount;
    });
}

bool EditRuns::skippedForEmptyField(std::span<const int32_t> fields) const {
    auto slots = instance_.fieldTable().slots();
    for (int32_t field : fields) {
        if (field < 0 || static_cast<size_t>(field) >= slots.size()) return true;
        const FieldSlot& slot = slots[static_cast<size_t>(field)];
        if (fields.size() >= 2 && (exemptFromEmptyTest(slot.localNumber) || (slot.flags & 0x04)))
            continue;
        if (isBlankField(slot)) return true;
    }
    return false;
}

bool EditRuns::skippedForFailedField(std::span<const int32_t> fields) const {
    return std::any_of(fields.begin(), fields.end(),
                       [this](int32_t field) { return (runMark(field) & kMarkFailed) != 0; });
}

int32_t EditRuns::runLogicInMemory(EditSetRecord& set, EditEntry& entry) {
    current_.record = MessageRecord{};
    current_.record.messageNumber = entry.messageNumber;
    auto fields = instance_.editSets().fieldReferences(set, entry);
    for (size_t i = 0; i < fields.size() && i < MessageRecord::kMaxFields; ++i) {
        if (fields[i] == -1) instance_.lastError().fail(58, "VTi_IntRunEdit");
        current_.record.fields[i] = instance_.layouts().VTi_LocalNumFromHnd(fields[i]);
    }
    current_.name = instance_.editSets().editName(set, entry);
    bool traced = instance_.tracer().debugs(current_.name);
    instance_.interpreter().setTracing(traced);
    if (traced) reportTracedFields();
    return instance_.interpreter().VTi_interpret(instance_.editSets().logic(set, entry));
}

int32_t EditRuns::runLogicFromMetafile(int64_t editRecordPosition) {
    EditMetadata& metadata = instance_.editMetadata();
    EditRecord edit = metadata.VTi_ReadEdit(editRecordPosition);
    current_.name = edit.name;
    current_.record = MessageRecord{};
    current_.record.messageNumber = edit.messageNumber;
    std::vector<int32_t> fields = integerList(metadata.VTi_GetEditMemo(edit.fieldsBlock));
    for (size_t i = 0; i < fields.size() && i < MessageRecord::kMaxFields; ++i)
        current_.record.fields[i] = fields[i];
    std::string_view logic = metadata.VTi_GetEditMemo(edit.logicBlock);
    return logic.empty() ? kPass : instance_.interpreter().VTi_interpret(logic);
}

void EditRuns::judge(EditEntry& entry, std::span<const int32_t> fields, int32_t result,
                     int32_t runFlags, int32_t* errorCount) {
    bool warningsOff = (runFlags & kSuppressWarnings) != 0;
    if (result == kFail) entry.status |= kEditFailed;
    if (result == kPass) entry.status |= kEditPassed;
    if (result == kWarn) entry.status |= kEditWarning | (warningsOff ? kEditWarningSuppressed : 0);
    bool reported = result == kFail || (result == kWarn && !warningsOff);
    if (fields.size() == 1)
        setRunMark(fields[0], reported ? kMarkFailed : 0, reported ? 0 : kMarkFailed);
    if (!reported) return;
    ++*errorCount;
    emitEditMessage(static_cast<uint8_t>(result), current_.record);
}

uint8_t EditRuns::runMark(int32_t field) const {
    return field >= 0 && static_cast<size_t>(field) < runMarks_.size()
               ? runMarks_[static_cast<size_t>(field)]
               : 0;
}

void EditRuns::setRunMark(int32_t field, uint8_t set, uint8_t cleared) {
    if (field < 0) return;
    if (static_cast<size_t>(field) >= runMarks_.size())
        runMarks_.resize(static_cast<size_t>(field) + 1, 0);
    uint8_t& mark = runMarks_[static_cast<size_t>(field)];
    mark = static_cast<uint8_t>((mark | set) & ~cleared);
}

int32_t EditRuns::VTi_EditOptions(int32_t handle, int32_t index, int32_t* options) {
    return instance_.lastError().guard(309, "VTi_EditOptions", [&] {
        EditSetRecord* set = instance_.editSets().find(handle);
        if (set == nullptr) return kNotAnEditSet;
        if (index < 0 || index >= set->editCount) return kIndexOutOfRange;
        EditEntry& entry = instance_.editSets().entries(*set)[static_cast<size_t>(index)];
        if (*options == -1)
            *options = entry.options;
        else
            entry.options = *options;
        return 0;
    });
}

// ---- Messages ----------------------------------------------------------------------------------

void EditRuns::addMessage(std::string_view text, uint8_t type, int32_t messageNumber) {
    if (messages_.nextIsOrdinary()) {
        int32_t& errors = current_.entry != nullptr ? current_.entry->errorCount : engineErrors_;
        int32_t& warnings =
            current_.entry != nullptr ? current_.entry->warningCount : engineWarnings_;
        if (type == kErrorMessage) ++errors;
        if (type == kWarningMessage) ++warnings;
    }
    std::string added(messages_.add(text, type, messageNumber, current_.index));
    if (VT_EditsMessagesCallback callback = instance_.editsFuncPtr()) {
        int32_t override = current_.messageOverride;
        callback(instance_.editsOwner(), added.c_str());
        current_.messageOverride = override;
    }
    if (instance_.interpreter().tracing()) instance_.tracer().reportMessage(added);
}

// Each field of the traced edit as its third name and its value, in the edit's field order.
void EditRuns::reportTracedFields() {
    instance_.lastError().guard(530, "debug_fields", [&] {
        for (int32_t field : current_.record.fields) {
            if (field == 0) break;
            MessageRecord record;
            record.fields[0] = field;
            instance_.tracer().reportField(
                instance_.messageTemplate().expand("%F1 == %V1", record, {}, kMessageCapacity));
        }
    });
}

void EditRuns::emitEditMessage(uint8_t type, MessageRecord record) {
    if (current_.messageOverride >= 1) record.messageNumber = current_.messageOverride;
    flags_.increment(record.messageNumber);
    std::string text = VTi_GetMessage(record, 2, kMessageCapacity);
    addMessage(text, type, record.messageNumber);
}

// The message table never changes while the metafile is open, so each number is looked up
// once, through the index, without opening the table as edit logic opens tables.
const std::optional<std::string>& EditRuns::messageTemplate(int32_t number) {
    auto cached = templates_.find(number);
    if (cached != templates_.end()) return cached->second;
    char key[16];
    std::snprintf(key, sizeof key, "%4ld", static_cast<long>(number));
    std::optional<std::string> found;
    int64_t position = instance_.lookupTables().columnPosition(key, "_RE_ERMS.DBF.NUM");
    const DirectoryEntry& table = instance_.directory().internalTables().messages;
    if (position > 0) {
        auto bytes = instance_.stream().bytesAt(position, table.recordLength - 1);
        std::string_view record(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        found = std::string(trimTrailingBlanks(record.substr(std::min<size_t>(record.size(), 4))));
    }
    return templates_.emplace(number, std::move(found)).first->second;
}

std::string EditRuns::VTi_GetMessage(MessageRecord record, int mode, size_t capacity,
                                     std::string_view given) {
    return instance_.lastError().guard(473, "VTi_GetMessage", [&] {
        record.dateStatus = instance_.fieldAccess().facts().dateStatus;
        // -1 asks for the text override, which the last engine error's text holds.
        if (current_.messageOverride != 0) record.messageNumber = current_.messageOverride;
        size_t limit = mode == 1 ? std::min<size_t>(capacity, 72) : capacity;
        std::string text;
        if (mode == -1) {
            text = "    " + std::string(given);
        } else if (record.messageNumber == -1) {
            text = instance_.lastError().text();
        } else if (const std::optional<std::string>& stored =
                       messageTemplate(record.messageNumber)) {
            text = *stored;
        } else {
            text = "<VETRA Message: Error message number " + std::to_string(record.messageNumber) +
                   " not found>";
            return text.substr(0, limit);
        }
        MessageContext context{current_.name, engineErrors_};
        return instance_.messageTemplate().expand(text, record, context, limit);
    });
}

void EditRuns::raiseError(int32_t number, bool emit) {
    int32_t override = current_.messageOverride;
    current_.messageOverride = 0;
    flags_.VTi_SetFlag(number, 1);
    if (emit) {
        MessageRecord record = current_.record;
        record.messageNumber = number;
        addMessage(VTi_GetMessage(record, 2, kMessageCapacity), kErrorMessage, number);
    }
    current_.messageOverride = override;
}

int32_t EditRuns::raiseErrors(const std::array<int32_t, 5>& numbers, bool emit) {
    for (size_t i = 0; i < numbers.size() && (i == 0 || numbers[i] != 0); ++i)
        raiseError(numbers[i], emit);
    return 0;
}

int32_t EditRuns::checkFlags(const std::array<int32_t, 5>& numbers) const {
    for (size_t i = 0; i < numbers.size() && (i == 0 || numbers[i] != 0); ++i) {
        int32_t value = 0;
        if (flags_.VTi_CheckFlag(numbers[i], &value) == 0 && value != 0) return 1;
    }
    return 0;
}

int32_t EditRuns::VTi_GetMessageText(char* type, int32_t number, std::string* text) {
    return instance_.lastError().guard(313, "VTi_GetMessageText", [&] {
        *type = '\0';
        text->clear();
        // Without a text to show, number -1 reads on as any other number below 1.
        if (number == -1 && !instance_.lastError().text().empty()) {
            *text = instance_.lastError().text();
            *type = 'W';
            return 0;
        }
        if (messages_.count() == 0) {
            int32_t code = instance_.lastEngineError();
            if (const CatalogueRow* row = findCatalogueRow(code)) *text = row->message;
            return code;
        }
        if (number < 1) return 314;
        const StoredMessage* message = messages_.find(number);
        if (message == nullptr) return 313;
        *type = message->type == kErrorMessage ? 'E' : message->type == kWarningMessage ? 'W' : 'M';
        *text = message->text;
        return 0;
    });
}

int32_t EditRuns::VTi_GetEditSetHandle(int32_t number, int32_t* handle, int32_t* index,
                                       int32_t* messageNumber) {
    return instance_.lastError().guard(424, "VTi_GetEditSetHandle", [&] {
        if (number < 1) return 314;
        const StoredMessage* message = messages_.find(number);
        if (message == nullptr) return 313;
        if (instance_.editSets().find(current_.setHandle) == nullptr) return 315;
        *handle = current_.setHandle;
        *index = message->editIndex;
        *messageNumber = message->messageNumber;
        return 0;
    });
}

} // namespace vetra
