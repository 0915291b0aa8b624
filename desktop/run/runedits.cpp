#include "desktop/run/runedits.h"

#include "desktop/shell/edit_option_codes.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <set>

namespace vetra::desktop {

namespace {

constexpr const char* kSource = "runedits";
constexpr std::size_t kIdentificationValueLimit = 60;
constexpr int kProgressStep = 11;
constexpr int kMessageBufferSize = 2000;
constexpr int kEditInfoBufferSize = 256;
constexpr int kNameBufferSize = 256;
// The engine keeps the first 400 messages of a record (the 400th is its overflow notice) and
// counts the rest; only those 400 can be read back.
constexpr std::int32_t kReadableMessages = 400;

std::string uncheckedItemsText(const std::string& dataFile, const std::vector<std::string>& items) {
    std::string text = "Some items of " + dataFile +
                       " have no field in the record layout, so no edit checked them:";
    for (const auto& item : items)
        text += "\n" + item;
    return text;
}

} // namespace

int RunDriver::fail(std::int32_t status, const char* label, int line) {
    ShowError(engine_, messages_, status, label, kSource, line);
    return line;
}

int RunDriver::Run(const RunSettings& settings, std::int32_t mfID, std::int32_t recordHandle,
                   const std::vector<EditSetEntry>& editSets, bool countsOnly) {
    const int stopped = runSteps(settings, mfID, recordHandle, editSets, countsOnly);
    // However the run ended, errors.db is left closed with what it stored committed, so a
    // report can open it.
    database_.close();
    return stopped;
}

int RunDriver::runSteps(const RunSettings& settings, std::int32_t mfID, std::int32_t recordHandle,
                        const std::vector<EditSetEntry>& editSets, bool countsOnly) {
    RunRecord record;
    record.start = std::time(nullptr);
    counters_ = {};
    limitPassed_ = false;
    mfID_ = mfID;
    recordHandle_ = recordHandle;
    globalOptions_ = settings.globalOptions;
    editSets_ = &editSets;
    resultsFolder_ = settings.resultsFolder;
    const auto bufferSize =
        std::max<std::int64_t>(settings.layoutRecordLength + 10, settings.recordLength);
    record_.assign(static_cast<std::size_t>(bufferSize) + 1, '\0');
    for (auto& pair : identificationPairs_)
        pair = {};
    fillIdentificationTable(settings);

    // The summary file belongs with errors.db: the previous run's is removed with the start of
    // this one, so that a run that stops never leaves another run's counts beside its rows.
    std::remove((settings.resultsFolder + "summary.txt").c_str());
    if (database_.createFresh(settings.resultsFolder) != 0 ||
        database_.open(settings.resultsFolder) != 0) {
        messages_.show(database_.errorText(), "Unable to create the results database");
        return __LINE__;
    }
    if (int stopped = applyEditOptions(editSets, settings.editOptions); stopped != 0)
        return stopped;
    progress_.start(settings.recordCount);
    if (database_.beginTransaction() != 0) return reportInsertFailure(__LINE__);

    std::string openError;
    const auto data = openDataSource(settings.dataFilePath, settings.dataForm,
                                     {settings.recordLength, settings.layoutRecordLength,
                                      xmlLayoutFields(settings.layoutFields)},
                                     openError);
    if (!data) {
        messages_.show("Unable to open datafile " + settings.dataFilePath, "");
        return __LINE__;
    }
    const int stopped = checkRecords(settings, *data, countsOnly);
    if (stopped != 0) return stopped;
    if (const auto notices = data->notices(); !notices.empty())
        messages_.show(uncheckedItemsText(settings.dataFilePath, notices), "Items Not Checked");

    if (limitPassed_)
        messages_.show("More than a quarter million-errors were reported.\nAfter exceeding this "
                       "limit, Ravelo continued in Summary only mode.",
                       "");
    if (database_.endTransaction() != 0) return reportInsertFailure(__LINE__);
    progress_.advance(kProgressStep);

    record.programVersion = settings.programVersion;
    record.dataFile = settings.dataFilePath;
    record.recordsInFile = std::to_string(settings.recordCount);
    record.firstRecord = settings.firstRecord;
    record.lastRecord = settings.firstRecord + settings.recordsToEdit - 1;
    record.metafile = settings.metafilePath;
    record.recordLayout = settings.recordLayout;
    for (const auto& set : editSets)
        record.editSets.push_back(set.name);
    record.globalOptions = settings.globalOptions;
    if (int failed = writeSummary(record); failed != 0) return failed;
    return writeRunRecord(record);
}

int RunDriver::applyEditOptions(const std::vector<EditSetEntry>& editSets,
                                const EditOptionList& options) {
    const auto& api = engine_.api();
    for (const auto& set : editSets) {
        for (std::int32_t index = 0; index < set.editCount; ++index) {
            std::int32_t option = -1;
            if (auto status = api.VTx_EditOptions(mfID_, set.handle, index, &option); status != 0)
                return fail(status, "pVTx_EditOptions", __LINE__);
            char name[kNameBufferSize] = "";
            if (auto status = api.VTx_GetEditName(mfID_, set.handle, index, name); status != 0)
                return fail(status, "pVTx_GetEditName", __LINE__);
            if (auto entry = std::find_if(options.begin(), options.end(),
                                          [&](const auto& e) { return e.first == name; });
                entry != options.end()) {
                const auto code = editOptionCode(entry->second);
                if (!code) {
                    messages_.show(conversionErrorText(entry->second), "");
                    return __LINE__;
                }
                option = *code;
            }
            if (option == 512) continue;
            if (auto status = api.VTx_EditOptions(mfID_, set.handle, index, &option); status != 0)
                return fail(status, "pVTx_EditOptions", __LINE__);
        }
    }
    return 0;
}

void RunDriver::fillIdentificationTable(const RunSettings& settings) {
    identificationTable_.clear();
    identificationNames_.clear();
    const std::size_t count = std::min<std::size_t>(settings.identificationFields.size(), 10);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& wanted = settings.identificationFields[i];
        const auto field = std::find_if(settings.layoutFields.begin(), settings.layoutFields.end(),
                                        [&](const fld_desc& f) { return f.name == wanted; });
        // A name the layout lacks leaves its entry unfilled: no name and no value.
        if (field == settings.layoutFields.end() || field->startColumn < 1) {
            identificationTable_.push_back({});
            identificationNames_.emplace_back();
            continue;
        }
        identificationTable_.push_back({static_cast<std::size_t>(field->startColumn - 1),
                                        static_cast<std::size_t>(std::max(field->length, 0))});
        identificationNames_.push_back(field->name.substr(0, 55));
    }
}

// A range past the end of the file ends with the file's last record; a file that cannot be
// read on (a damaged compressed file, malformed XML) stops the run with what was checked kept.
int RunDriver::checkRecords(const RunSettings& settings, DataSource& data, bool countsOnly) {
    const std::size_t capacity = record_.size() - 1;
    if (settings.firstRecord > 1) data.skip(settings.firstRecord - 1);
    const std::int64_t last = settings.firstRecord + settings.recordsToEdit - 1;
    std::int64_t shown = settings.firstRecord - 1;
    for (std::int64_t r = settings.firstRecord; r <= last; ++r) {
        const std::int64_t got = data.next(record_.data(), capacity);
        if (got < 0) {
            progress_.showCounters(shown, counters_);
            messages_.show("The data file " + settings.dataFilePath + " cannot be read at record " +
                               std::to_string(r) + ": " + data.errorText(),
                           "Data File Error");
            return __LINE__;
        }
        if (got == 0) break;
        const auto read = static_cast<std::size_t>(got);
        record_[read] = '\0';
        ++counters_.recordsRead;
        shown = r;
        if (int stopped = checkRecord(r, read, countsOnly); stopped != 0) return stopped;
        if (r % kProgressStep == 0) {
            progress_.advance(kProgressStep);
            progress_.showCounters(r, counters_);
            progress_.processPendingEvents();
        }
        if (counters_.messagesReported > kDetailMessageLimit && !limitPassed_) {
            countsOnly = true;
            limitPassed_ = true;
        }
        if (halt_) break;
    }
    progress_.showCounters(shown, counters_);
    return 0;
}

int RunDriver::checkRecord(std::int64_t recordNumber, std::size_t length, bool& countsOnly) {
    const auto& api = engine_.api();
    if (auto status = api.VTx_ClearAllFlags(mfID_); status != 0)
        return fail(status, "VTx_ClearAllFlags", __LINE__);
    if (auto status = api.VTx_UpdateRecord(mfID_, recordHandle_, record_.data()); status != 0)
        return fail(status, "VTx_UpdateRecord", __LINE__);
    bool exceptions = false;
    for (const auto& set : *editSets_) {
        std::int32_t size = 0, produced = 0;
        if (auto status = api.VTx_GetEditSetSize(mfID_, set.handle, &size); status != 0)
            return fail(status, "VTx_GetEditSetSize", __LINE__);
        if (auto status =
                api.VTx_RunBatch(mfID_, set.handle, globalOptions_, &produced, 0, nullptr);
            status != 0)
            return fail(status, "VTx_RunBatch", __LINE__);
        if (produced == 0) continue;
        exceptions = true;
        copyIdentificationValues(length);
        std::int32_t count = 0;
        if (auto status = api.VTx_GetMessageCount(mfID_, &count); status != 0)
            return fail(status, "VTx_GetMessageCount", __LINE__);
        counters_.messagesReported += count;
        if (countsOnly) continue;
        if (int stopped = storeFailures(recordNumber, count); stopped != 0) return stopped;
    }
    if (exceptions) ++counters_.exceptionRecords;
    return 0;
}

void RunDriver::copyIdentificationValues(std::size_t recordLength) {
    for (std::size_t i = 0; i < identificationPairs_.size(); ++i) {
        auto& pair = identificationPairs_[i];
        if (i >= identificationTable_.size()) {
            pair.name.clear();
            pair.value.clear();
            continue;
        }
        const auto& field = identificationTable_[i];
        pair.name.assign(identificationNames_[i]);
        const std::size_t start = std::min(field.offset, recordLength);
        const std::size_t length =
            std::min({field.length, kIdentificationValueLimit, recordLength - start});
        pair.value.assign(record_.data() + start, length);
        // A value ends at a NUL byte, as the text it is stored as does.
        pair.value.resize(std::strlen(pair.value.c_str()));
    }
}

int RunDriver::storeFailures(std::int64_t recordNumber, std::int32_t count) {
    const auto& api = engine_.api();
    if (database_.addRecordRow(recordNumber, identificationPairs_, count) != 0)
        return reportInsertFailure(__LINE__);
    std::int32_t lastEdit = -1;
    for (std::int32_t m = 1; m <= std::min(count, kReadableMessages); ++m) {
        ++counters_.messageNumber;
        std::int32_t editSet = 0, editIndex = 0;
        if (auto status = api.VTx_GetEditSetHandle(mfID_, m, &editSet, &editIndex); status != 0)
            return fail(status, "VTx_GetEditSetHandle", __LINE__);
        if (editIndex != lastEdit) {
            if (int stopped = storeFailedEdit(recordNumber, editSet, editIndex); stopped != 0)
                return stopped;
            lastEdit = editIndex;
        }
        char type[8] = "";
        messageText_.assign(kMessageBufferSize, '\0');
        if (auto status =
                api.VTx_GetMessageText(mfID_, type, m, messageText_.data(), kMessageBufferSize);
            status != 0)
            return fail(status, "pVTx_GetMessageText", __LINE__);
        messageText_.resize(std::strlen(messageText_.c_str()));
        type[1] = '\0';
        if (database_.addMessage(counters_.messageNumber, counters_.failedEditNumber, messageText_,
                                 type) != 0)
            return reportInsertFailure(__LINE__);
    }
    return 0;
}

int RunDriver::storeFailedEdit(std::int64_t recordNumber, std::int32_t editSet,
                               std::int32_t editIndex) {
    const auto& api = engine_.api();
    ++counters_.failedEditNumber;
    editName_.assign(kNameBufferSize, '\0');
    if (auto status = api.VTx_GetEditName(mfID_, editSet, editIndex, editName_.data()); status != 0)
        return fail(status, "pVTx_GetEditName", __LINE__);
    editName_.resize(std::strlen(editName_.c_str()));
    if (database_.addFailedEdit(counters_.failedEditNumber, recordNumber, editName_) != 0)
        return reportInsertFailure(__LINE__);
    std::int32_t fields = 0, errors = 0, warnings = 0, skips = 0;
    if (auto status =
            api.VTx_GetEditCounts(mfID_, editSet, editIndex, &fields, &errors, &warnings, &skips);
        status != 0)
        return fail(status, "pVTx_GetEditCounts", __LINE__);
    for (std::int32_t k = 1; k <= fields; ++k) {
        char format[32];
        std::snprintf(format, sizeof format, "%%S%i %%C%i", k, k);
        fieldTitle_.assign(kEditInfoBufferSize, '\0');
        if (auto status = api.VTx_GetEditInfo(mfID_, editSet, editIndex, format, fieldTitle_.data(),
                                              kEditInfoBufferSize);
            status != 0)
            return fail(status, "pVTx_GetEditInfo", __LINE__);
        fieldTitle_.resize(std::strlen(fieldTitle_.c_str()));
        std::snprintf(format, sizeof format, "[%%V%i]", k);
        fieldValue_.assign(kEditInfoBufferSize, '\0');
        if (auto status = api.VTx_GetEditInfo(mfID_, editSet, editIndex, format, fieldValue_.data(),
                                              kEditInfoBufferSize);
            status != 0)
            return fail(status, "pVTx_GetEditInfo", __LINE__);
        fieldValue_.resize(std::strlen(fieldValue_.c_str()));
        fieldWidth_ = fieldWidthText(fieldValue_);
        if (database_.addField(counters_.failedEditNumber, fieldTitle_, fieldValue_, fieldWidth_) !=
            0)
            return reportInsertFailure(__LINE__);
    }
    return 0;
}

int RunDriver::reportInsertFailure(int line) {
    if (!database_.errorText().empty())
        messages_.show(database_.errorText(), "errmsg not NULL");
    else
        messages_.show("", "SQLITE not OK - Run Canceled");
    return line;
}

int RunDriver::writeSummary(RunRecord& record) {
    const auto& api = engine_.api();
    std::vector<summstruct> entries;
    std::set<std::string> seen;
    for (const auto& set : *editSets_) {
        for (std::int32_t index = 0; index < set.editCount; ++index) {
            char name[kNameBufferSize] = "";
            if (auto status = api.VTx_GetEditName(mfID_, set.handle, index, name); status != 0)
                return fail(status, "VTx_GetEditName", __LINE__);
            if (!seen.insert(name).second) continue;
            std::int32_t fields = 0, errors = 0, warnings = 0, skips = 0;
            if (auto status = api.VTx_GetEditCounts(mfID_, set.handle, index, &fields, &errors,
                                                    &warnings, &skips);
                status != 0)
                return fail(status, "VTx_GetEditCounts", __LINE__);
            entries.push_back({name, errors, warnings, skips});
            record.errorMessages += errors;
            record.warningMessages += warnings;
        }
    }
    if (!writeSummaryFile(resultsFolder_ + "summary.txt", entries)) {
        messages_.show("Error opening summary.txt", "Debugging needed");
        return __LINE__;
    }
    return 0;
}

int RunDriver::writeRunRecord(RunRecord& record) {
    record.end = std::time(nullptr);
    record.processedRecords = counters_.recordsRead;
    record.exceptionRecords = counters_.exceptionRecords;
    record.storedMessages = counters_.messageNumber;
    record.halted = halt_;
    record.countsOnlyAfterLimit = limitPassed_;
    // The run record's rows share one transaction, so they reach the disk together.
    if (database_.beginTransaction() != 0) return reportInsertFailure(__LINE__);
    if (writeRunRecordHead(database_, record) != 0) return reportInsertFailure(__LINE__);
    char version[12] = "";
    if (auto status = engine_.api().VTx_GetVersion(version, sizeof version); status != 0)
        return fail(status, "pVTx_GetVersion", __LINE__);
    if (writeRunRecordTail(database_, record, version) != 0) return reportInsertFailure(__LINE__);
    if (database_.endTransaction() != 0) return reportInsertFailure(__LINE__);
    return 0;
}

} // namespace vetra::desktop
