#include "desktop/run/record_checker.h"

#include "desktop/run/run_records.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vetra::desktop {

namespace {

constexpr const char* kSource = "runedits";
constexpr std::size_t kIdentificationFields = 10;
constexpr std::size_t kIdentificationNameLimit = 55;
constexpr std::size_t kIdentificationValueLimit = 60;
constexpr int kMessageBufferSize = 2000;
constexpr int kEditInfoBufferSize = 256;
constexpr int kNameBufferSize = 256;
// The engine keeps the first 400 messages of a record (the 400th is its overflow notice) and
// counts the rest; only those 400 can be read back.
constexpr std::int32_t kReadableMessages = 400;

// Fills `text` from an engine call that writes a NUL-terminated text into `size` characters.
template <class Call> std::int32_t engineText(std::string& text, int size, Call&& call) {
    text.assign(static_cast<std::size_t>(size), '\0');
    const std::int32_t status = call(text.data());
    text.resize(std::strlen(text.c_str()));
    return status;
}

} // namespace

IdentificationSource identificationSource(const std::vector<std::string>& selected,
                                          const LayoutFieldList& layoutFields) {
    IdentificationSource source;
    const std::size_t count = std::min(selected.size(), kIdentificationFields);
    for (std::size_t i = 0; i < count; ++i) {
        const auto field = std::find_if(layoutFields.begin(), layoutFields.end(),
                                        [&](const fld_desc& f) { return f.name == selected[i]; });
        const bool found = field != layoutFields.end() && field->startColumn >= 1;
        source.names.push_back(found ? field->name.substr(0, kIdentificationNameLimit) : "");
        source.offsets.push_back(found ? static_cast<std::size_t>(field->startColumn - 1) : 0);
        source.lengths.push_back(found ? static_cast<std::size_t>(std::max(field->length, 0)) : 0);
    }
    return source;
}

RecordChecker::RecordChecker(const RAVengine& engine, platform::MessageBoxes& messages,
                             const EngineInstance& instance, int globalOptions,
                             const IdentificationSource& identification, std::size_t recordCapacity,
                             ResultsDatabase& database)
    : engine_(engine), messages_(messages), instance_(instance), globalOptions_(globalOptions),
      identification_(identification), database_(database), record_(recordCapacity + 1, '\0') {}

int RecordChecker::fail(std::int32_t status, const char* label, int line) {
    ShowError(engine_, messages_, status, label, kSource, line);
    return line;
}

int RecordChecker::check(std::int64_t recordNumber, std::size_t length, bool countsOnly) {
    const auto& api = engine_.api();
    const std::int32_t mfID = instance_.mfID;
    record_[length] = '\0';
    ++counters_.recordsRead;
    if (auto status = api.VTx_ClearAllFlags(mfID); status != 0)
        return fail(status, "VTx_ClearAllFlags", __LINE__);
    if (auto status = api.VTx_UpdateRecord(mfID, instance_.recordHandle, record_.data());
        status != 0)
        return fail(status, "VTx_UpdateRecord", __LINE__);
    bool exceptions = false;
    for (const auto& set : instance_.editSets) {
        std::int32_t size = 0, produced = 0;
        if (auto status = api.VTx_GetEditSetSize(mfID, set.handle, &size); status != 0)
            return fail(status, "VTx_GetEditSetSize", __LINE__);
        if (auto status = api.VTx_RunBatch(mfID, set.handle, globalOptions_, &produced, 0, nullptr);
            status != 0)
            return fail(status, "VTx_RunBatch", __LINE__);
        if (produced == 0) continue;
        exceptions = true;
        copyIdentificationValues(length);
        std::int32_t count = 0;
        if (auto status = api.VTx_GetMessageCount(mfID, &count); status != 0)
            return fail(status, "VTx_GetMessageCount", __LINE__);
        counters_.messagesReported += count;
        if (countsOnly) continue;
        if (int stopped = storeFailures(recordNumber, count); stopped != 0) return stopped;
    }
    if (exceptions) ++counters_.exceptionRecords;
    return 0;
}

void RecordChecker::copyIdentificationValues(std::size_t recordLength) {
    for (std::size_t i = 0; i < identificationPairs_.size(); ++i) {
        auto& pair = identificationPairs_[i];
        if (i >= identification_.names.size()) {
            pair.name.clear();
            pair.value.clear();
            continue;
        }
        pair.name.assign(identification_.names[i]);
        const std::size_t start = std::min(identification_.offsets[i], recordLength);
        const std::size_t length =
            std::min({identification_.lengths[i], kIdentificationValueLimit, recordLength - start});
        pair.value.assign(record_.data() + start, length);
        // A value ends at a NUL byte, as the text it is stored as does.
        pair.value.resize(std::strlen(pair.value.c_str()));
    }
}

int RecordChecker::storeFailures(std::int64_t recordNumber, std::int32_t count) {
    const auto& api = engine_.api();
    if (database_.addRecordRow(recordNumber, identificationPairs_, count) != 0)
        return reportInsertFailure(__LINE__);
    std::int32_t lastEdit = -1;
    for (std::int32_t m = 1; m <= std::min(count, kReadableMessages); ++m) {
        ++counters_.messageNumber;
        std::int32_t editSet = 0, editIndex = 0;
        if (auto status = api.VTx_GetEditSetHandle(instance_.mfID, m, &editSet, &editIndex);
            status != 0)
            return fail(status, "VTx_GetEditSetHandle", __LINE__);
        if (editIndex != lastEdit) {
            if (int stopped = storeFailedEdit(recordNumber, editSet, editIndex); stopped != 0)
                return stopped;
            lastEdit = editIndex;
        }
        char type[8] = "";
        if (auto status = engineText(messageText_, kMessageBufferSize,
                                     [&](char* text) {
                                         return api.VTx_GetMessageText(instance_.mfID, type, m,
                                                                       text, kMessageBufferSize);
                                     });
            status != 0)
            return fail(status, "pVTx_GetMessageText", __LINE__);
        type[1] = '\0';
        if (database_.addMessage(counters_.messageNumber, counters_.failedEditNumber, messageText_,
                                 type) != 0)
            return reportInsertFailure(__LINE__);
    }
    return 0;
}

int RecordChecker::storeFailedEdit(std::int64_t recordNumber, std::int32_t editSet,
                                   std::int32_t editIndex) {
    const auto& api = engine_.api();
    ++counters_.failedEditNumber;
    if (auto status = engineText(editName_, kNameBufferSize,
                                 [&](char* name) {
                                     return api.VTx_GetEditName(instance_.mfID, editSet, editIndex,
                                                                name);
                                 });
        status != 0)
        return fail(status, "pVTx_GetEditName", __LINE__);
    if (database_.addFailedEdit(counters_.failedEditNumber, recordNumber, editName_) != 0)
        return reportInsertFailure(__LINE__);
    std::int32_t fields = 0, errors = 0, warnings = 0, skips = 0;
    if (auto status = api.VTx_GetEditCounts(instance_.mfID, editSet, editIndex, &fields, &errors,
                                            &warnings, &skips);
        status != 0)
        return fail(status, "pVTx_GetEditCounts", __LINE__);
    for (std::int32_t k = 1; k <= fields; ++k)
        if (int stopped = storeField(editSet, editIndex, k); stopped != 0) return stopped;
    return 0;
}

int RecordChecker::storeField(std::int32_t editSet, std::int32_t editIndex, std::int32_t field) {
    const auto& api = engine_.api();
    const auto editInfo = [&](std::string& text, const char* format) {
        return engineText(text, kEditInfoBufferSize, [&](char* buffer) {
            return api.VTx_GetEditInfo(instance_.mfID, editSet, editIndex, format, buffer,
                                       kEditInfoBufferSize);
        });
    };
    char format[32];
    std::snprintf(format, sizeof format, "%%S%i %%C%i", field, field);
    if (auto status = editInfo(fieldTitle_, format); status != 0)
        return fail(status, "pVTx_GetEditInfo", __LINE__);
    std::snprintf(format, sizeof format, "[%%V%i]", field);
    if (auto status = editInfo(fieldValue_, format); status != 0)
        return fail(status, "pVTx_GetEditInfo", __LINE__);
    fieldWidth_ = fieldWidthText(fieldValue_);
    if (database_.addField(counters_.failedEditNumber, fieldTitle_, fieldValue_, fieldWidth_) != 0)
        return reportInsertFailure(__LINE__);
    return 0;
}

int RecordChecker::reportInsertFailure(int line) {
    if (!database_.errorText().empty())
        messages_.show(database_.errorText(), "errmsg not NULL");
    else
        messages_.show("", "SQLITE not OK - Run Canceled");
    return line;
}

} // namespace vetra::desktop
