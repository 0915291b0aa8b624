#include "desktop/run/run_driver.h"

#include "desktop/run/edit_option_codes.h"
#include "desktop/run/run_in_parts.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <set>

namespace vetra::desktop {

namespace {

constexpr const char* kSource = "runedits";
constexpr int kProgressStep = 11;
constexpr int kNameBufferSize = 256;

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
    return Run(settings, {EngineInstance{mfID, recordHandle, editSets}}, countsOnly);
}

int RunDriver::Run(const RunSettings& settings, const std::vector<EngineInstance>& instances,
                   bool countsOnly) {
    const int stopped = runSteps(settings, instances, countsOnly);
    // However the run ended, errors.db is left closed with what it stored committed, so a
    // report can open it.
    database_.close();
    return stopped;
}

int RunDriver::runSteps(const RunSettings& settings, const std::vector<EngineInstance>& instances,
                        bool countsOnly) {
    RunRecord record;
    record.start = std::time(nullptr);
    counters_ = {};
    limitPassed_ = false;
    dataFileUnreadable_ = false;
    joinSeconds_ = 0;
    partTimes_.clear();
    identification_ = identificationSource(settings.identificationFields, settings.layoutFields);

    // The summary file belongs with errors.db: the previous run's is removed with the start of
    // this one, so that a run that stops never leaves another run's counts beside its rows.
    std::remove((settings.resultsFolder + "summary.txt").c_str());
    if (database_.createFresh(settings.resultsFolder) != 0 ||
        database_.open(settings.resultsFolder) != 0) {
        messages_.show(database_.errorText(), "Unable to create the results database");
        return __LINE__;
    }
    for (const auto& instance : instances)
        if (int stopped = applyEditOptions(instance, settings.editOptions); stopped != 0)
            return stopped;
    progress_.start(settings.recordCount);
    if (database_.beginTransaction() != 0) return reportDatabaseFailure(__LINE__);

    std::vector<std::string> notices;
    // The instances whose edit counts the summary adds up: those whose records the results
    // hold.
    std::size_t counted = 1;
    const int stopped = instances.size() == 1
                            ? checkRecords(settings, instances.front(), countsOnly, notices)
                            : checkInParts(settings, instances, countsOnly, notices, counted);
    if (stopped != 0) return stopped;
    if (!notices.empty())
        messages_.show(uncheckedItemsText(settings.dataFilePath, notices), "Items Not Checked");

    if (limitPassed_)
        messages_.show("More than a quarter million-errors were reported.\nAfter exceeding this "
                       "limit, Ravelo continued in Summary only mode.",
                       "");
    if (database_.endTransaction() != 0) return reportDatabaseFailure(__LINE__);
    progress_.advance(kProgressStep);

    record.programVersion = settings.programVersion;
    record.dataFile = settings.dataFilePath;
    record.recordsInFile = std::to_string(settings.recordCount);
    record.firstRecord = settings.firstRecord;
    record.lastRecord = settings.firstRecord + settings.recordsToEdit - 1;
    record.metafile = settings.metafilePath;
    record.recordLayout = settings.recordLayout;
    for (const auto& set : instances.front().editSets)
        record.editSets.push_back(set.name);
    record.globalOptions = settings.globalOptions;
    if (int failed =
            writeSummary(settings.resultsFolder, record,
                         {instances.begin(), instances.begin() + static_cast<long>(counted)});
        failed != 0)
        return failed;
    return writeRunRecord(record);
}

int RunDriver::applyEditOptions(const EngineInstance& instance, const EditOptionList& options) {
    const auto& api = engine_.api();
    const std::int32_t mfID = instance.mfID;
    for (const auto& set : instance.editSets) {
        for (std::int32_t index = 0; index < set.editCount; ++index) {
            std::int32_t option = -1;
            if (auto status = api.VTx_EditOptions(mfID, set.handle, index, &option); status != 0)
                return fail(status, "pVTx_EditOptions", __LINE__);
            char name[kNameBufferSize] = "";
            if (auto status = api.VTx_GetEditName(mfID, set.handle, index, name); status != 0)
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
            if (auto status = api.VTx_EditOptions(mfID, set.handle, index, &option); status != 0)
                return fail(status, "pVTx_EditOptions", __LINE__);
        }
    }
    return 0;
}

// A range past the end of the file ends with the file's last record; a file that cannot be
// read on (a damaged compressed file, malformed XML) stops the run with what was checked kept.
int RunDriver::checkRecords(const RunSettings& settings, const EngineInstance& instance,
                            bool countsOnly, std::vector<std::string>& notices) {
    std::string openError;
    const auto data = openDataSource(settings.dataFilePath, settings.dataForm,
                                     {settings.recordLength, settings.layoutRecordLength,
                                      xmlLayoutFields(settings.layoutFields)},
                                     openError);
    if (!data) {
        messages_.show("Unable to open datafile " + settings.dataFilePath, "");
        return __LINE__;
    }
    const auto capacity = static_cast<std::size_t>(
        std::max<std::int64_t>(settings.layoutRecordLength + 10, settings.recordLength));
    RecordChecker checker(engine_, messages_, instance, settings.globalOptions, identification_,
                          capacity, database_);
    if (settings.firstRecord > 1) data->skip(settings.firstRecord - 1);
    const std::int64_t last = settings.firstRecord + settings.recordsToEdit - 1;
    std::int64_t shown = settings.firstRecord - 1;
    for (std::int64_t r = settings.firstRecord; r <= last; ++r) {
        const std::int64_t got = data->next(checker.record(), checker.capacity());
        if (got < 0) {
            counters_ = checker.counters();
            progress_.showCounters(shown, counters_);
            messages_.show("The data file " + settings.dataFilePath + " cannot be read at record " +
                               std::to_string(r) + ": " + data->errorText(),
                           "Data File Error");
            dataFileUnreadable_ = true;
            return __LINE__;
        }
        if (got == 0) break;
        shown = r;
        const int stopped = checker.check(r, static_cast<std::size_t>(got), countsOnly);
        counters_ = checker.counters();
        if (stopped != 0) return stopped;
        if (r % kProgressStep == 0) {
            progress_.advance(kProgressStep);
            progress_.showCounters(r, counters_);
            progress_.processPendingEvents();
        }
        if (counters_.messagesReported > settings.detailMessageLimit && !limitPassed_) {
            countsOnly = true;
            limitPassed_ = true;
        }
        if (halt_) break;
    }
    progress_.showCounters(shown, counters_);
    notices = data->notices();
    return 0;
}

int RunDriver::checkInParts(const RunSettings& settings,
                            const std::vector<EngineInstance>& instances, bool countsOnly,
                            std::vector<std::string>& notices, std::size_t& partsJoined) {
    RunInParts parts(engine_, settings, instances, identification_, database_, progress_,
                     [this] { return halt_; });
    PartsOutcome outcome = parts.run(countsOnly);
    outcome.messages.showNow(messages_);
    counters_ = outcome.counters;
    joinSeconds_ = outcome.joinSeconds;
    partTimes_ = outcome.partTimes;
    partsJoined = outcome.partsJoined;
    halt_ = outcome.halted;
    dataFileUnreadable_ = outcome.dataFileUnreadable;
    progress_.showCounters(outcome.lastRecordChecked, counters_);
    if (outcome.stopCode != 0) return outcome.stopCode;
    limitPassed_ = !countsOnly && counters_.messagesReported > settings.detailMessageLimit;
    notices = outcome.notices;
    return 0;
}

int RunDriver::reportDatabaseFailure(int line) {
    if (!database_.errorText().empty())
        messages_.show(database_.errorText(), "errmsg not NULL");
    else
        messages_.show("", "SQLITE not OK - Run Canceled");
    return line;
}

// Each edit's counts are those of its first edit set, added up over the instances given.
int RunDriver::writeSummary(const std::string& resultsFolder, RunRecord& record,
                            const std::vector<EngineInstance>& instances) {
    const auto& api = engine_.api();
    const EngineInstance& first = instances.front();
    std::vector<summstruct> entries;
    std::set<std::string> seen;
    for (std::size_t s = 0; s < first.editSets.size(); ++s) {
        for (std::int32_t index = 0; index < first.editSets[s].editCount; ++index) {
            char name[kNameBufferSize] = "";
            if (auto status =
                    api.VTx_GetEditName(first.mfID, first.editSets[s].handle, index, name);
                status != 0)
                return fail(status, "VTx_GetEditName", __LINE__);
            if (!seen.insert(name).second) continue;
            summstruct entry{name, 0, 0, 0};
            for (const auto& instance : instances) {
                std::int32_t fields = 0, errors = 0, warnings = 0, skips = 0;
                if (auto status = api.VTx_GetEditCounts(instance.mfID, instance.editSets[s].handle,
                                                        index, &fields, &errors, &warnings, &skips);
                    status != 0)
                    return fail(status, "VTx_GetEditCounts", __LINE__);
                entry.errors += errors;
                entry.warnings += warnings;
                entry.skips += skips;
            }
            record.errorMessages += entry.errors;
            record.warningMessages += entry.warnings;
            entries.push_back(std::move(entry));
        }
    }
    if (!writeSummaryFile(resultsFolder + "summary.txt", entries)) {
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
    if (database_.beginTransaction() != 0) return reportDatabaseFailure(__LINE__);
    if (writeRunRecordHead(database_, record) != 0) return reportDatabaseFailure(__LINE__);
    char version[12] = "";
    if (auto status = engine_.api().VTx_GetVersion(version, sizeof version); status != 0)
        return fail(status, "pVTx_GetVersion", __LINE__);
    if (writeRunRecordTail(database_, record, version) != 0) return reportDatabaseFailure(__LINE__);
    if (database_.endTransaction() != 0) return reportDatabaseFailure(__LINE__);
    return 0;
}

} // namespace vetra::desktop
