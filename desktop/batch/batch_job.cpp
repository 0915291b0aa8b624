#include "desktop/batch/batch_job.h"

#include "desktop/batch/batch_reports.h"
#include "desktop/batch/console_layers.h"
#include "desktop/data/data_file_fit.h"
#include "desktop/data/data_file_inspection.h"
#include "desktop/data/file_information_binding.h"
#include "desktop/run/engine_binding.h"
#include "desktop/workflow/configuration_files.h"
#include "desktop/workflow/edit_option_grid.h"
#include "desktop/workflow/metafile_listing.h"
#include "desktop/workflow/metafile_session.h"
#include "desktop/workflow/program_version.h"
#include "desktop/workflow/run_sequence.h"
#include "platform/file_services.h"
#include "platform/program_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace vetra::desktop::batch {

namespace {

ExitStatus stopWith(ExitStatus status, const std::string& message) {
    std::fprintf(stderr, "ravelo-batch: %s\n", message.c_str());
    return status;
}

ExitStatus inputError(const std::string& message) {
    return stopWith(kUsageOrInputError, message);
}

std::string joined(const std::vector<std::string>& names, const char* separator) {
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : separator) + name;
    return text;
}

int globalOptionsOf(const RunConfiguration& configuration, const BatchOptions& options) {
    const bool skipEmpty = options.skipEmpty.value_or(configuration.skipEmpty);
    const bool skipFailed = options.skipFailed.value_or(configuration.skipFailed);
    const bool suppress = options.suppressWarnings.value_or(configuration.suppressWarnings);
    return (skipEmpty ? 1 : 0) | (skipFailed ? 2 : 0) | (suppress ? 128 : 0);
}

// What the listing of the metafile gives the run, every name checked against it.
struct ListedChoices {
    LayoutFields fields;
    int largestRecordLength = 0;
    EditOptionGrid grid;
};

std::optional<std::string> checkedListing(const RAVengine& engine, platform::MessageBoxes& messages,
                                          const RunRequest& request, ListedChoices& listed) {
    const std::string& metafile = request.settings.metafilePath;
    const std::string& layout = request.layoutName;
    const std::vector<std::string>& editSets = request.editSets;
    MetafileSession session(engine, messages, request.settings.externalLibraryFolders);
    if (!session.open(metafile)) return "the metafile " + metafile + " cannot be opened";
    MetafileListing listing(engine, messages, session.mfID());
    const LayoutListing layouts = listing.layouts();
    if (std::find(layouts.names.begin(), layouts.names.end(), layout) == layouts.names.end())
        return "the metafile has no record layout '" + layout +
               "'; it has: " + joined(layouts.names, ", ");
    const auto sets = listing.editSets();
    for (const auto& set : editSets)
        if (std::find(sets.begin(), sets.end(), set) == sets.end())
            return "the metafile has no edit set '" + set + "'; it has: " + joined(sets, ", ");
    listed.largestRecordLength = layouts.largestRecordLength;
    listed.fields = listing.layoutFields(layout, layouts.largestRecordLength);
    listed.grid.rebuild(listing.editNames(editSets));
    return std::nullopt;
}

void printSummary(const RunDriver& driver, bool halted, const std::string& resultsFolder) {
    const RunCounters& counters = driver.counters();
    std::printf("Records checked:          %lld\n", static_cast<long long>(counters.recordsRead));
    std::printf("Records with exceptions:  %lld\n",
                static_cast<long long>(counters.exceptionRecords));
    std::printf("Messages reported:        %lld\n",
                static_cast<long long>(counters.messagesReported));
    std::printf("Messages stored:          %lld\n", static_cast<long long>(counters.messageNumber));
    if (halted)
        std::printf("Note: the run was halted; the results are partial\n");
    else if (driver.messageLimitPassed())
        std::printf("Note: more than %lld messages; the rest of the run kept counts only\n",
                    static_cast<long long>(RunDriver::kDetailMessageLimit));
    std::printf("Results database:         %serrors.db\n", resultsFolder.c_str());
    std::printf("Summary file:             %ssummary.txt\n", resultsFolder.c_str());
}

// What every invocation reads first: the master configuration and the configuration file.
struct BatchContext {
    ConsoleMessageBoxes console;
    MasterConfiguration master;
    RunConfiguration configuration;
    std::vector<std::string> selectedFields;
    std::string resultsFolder;
};

std::optional<ExitStatus> loadContext(const BatchOptions& options, BatchContext& context) {
    const platform::ProgramFolders folders = platform::programFolders();
    if (readMasterConfiguration(masterConfigurationPath(folders.configuration), folders.data,
                                kProgramVersion, context.console, context.master) != 0)
        return kUsageOrInputError;
    if (!context.master.refusedNames.empty())
        return inputError(context.master.refusedNames.front());
    const std::string configPath =
        options.configFile.value_or(context.master.currentConfigurationPath);
    if (options.configFile && !platform::fileExists(configPath))
        return inputError("the configuration file " + configPath + " does not exist");
    context.configuration = loadConfiguration(configPath);
    if (!context.configuration.refusedNames.empty())
        return inputError(context.configuration.refusedNames.front());
    context.selectedFields = options.identificationFields.empty()
                                 ? context.configuration.fieldsSelected
                                 : options.identificationFields;
    context.resultsFolder = options.resultsFolder.value_or(context.master.resultsFolder);
    if (context.resultsFolder.back() != '/') context.resultsFolder += '/';
    for (const auto& field : options.sortFields)
        if (std::find(context.selectedFields.begin(), context.selectedFields.end(), field) ==
            context.selectedFields.end())
            return inputError("the sort field '" + field +
                              "' is not one of the identification fields: add it with --id-field");
    return std::nullopt;
}

ReportInputs reportInputsOf(const BatchOptions& options, const BatchContext& context) {
    ReportInputs inputs;
    inputs.reportFileName = options.reportFile.value_or(context.master.reportFileName);
    inputs.title = options.title.value_or(context.master.reportTitle);
    inputs.subtitle = options.subtitle.value_or(context.master.reportSubtitle);
    inputs.resultsFolder = context.resultsFolder;
    inputs.selectedFields = context.selectedFields;
    inputs.sortFields = options.sortFields.empty() && options.identificationFields.empty()
                            ? context.configuration.fieldsSort
                            : options.sortFields;
    inputs.pageMode = static_cast<PageMode>(options.pageMode);
    inputs.linesPerPage = options.linesPerPage;
    inputs.omitZeroCounts = !options.keepZeroCounts;
    return inputs;
}

// Resolves the run's metafile, layout, edit sets and external library folders from the options,
// the configuration and the master file.
std::optional<ExitStatus> resolveChoices(const BatchOptions& options, const BatchContext& context,
                                         RunRequest& request) {
    const RunConfiguration& configuration = context.configuration;
    request.settings.metafilePath =
        options.metafile.value_or(configuration.metafileName.empty()
                                      ? std::string()
                                      : context.master.metafileFolder + configuration.metafileName);
    if (request.settings.metafilePath.empty())
        return inputError("no metafile given: use --metafile PATH or a configuration file");
    if (!platform::fileExists(request.settings.metafilePath))
        return inputError("the metafile " + request.settings.metafilePath + " does not exist");
    request.layoutName = options.layout.value_or(
        configuration.layouts.empty() ? std::string() : configuration.layouts.front());
    if (request.layoutName.empty())
        return inputError("no record layout given: use --layout NAME or a configuration file");
    request.editSets = options.editSets.empty() ? configuration.editSets : options.editSets;
    if (request.editSets.empty())
        return inputError("no edit set given: use --edit-set NAME or a configuration file");
    request.settings.externalLibraryFolders = options.externalLibraryFolders.empty()
                                                  ? context.master.externalLibraryFolders
                                                  : joined(options.externalLibraryFolders, ":");
    return std::nullopt;
}

// Sets the range from the options and the inspected file, checking it lies within the file.
std::optional<ExitStatus> resolveRange(const BatchOptions& options, const DataFileInfo& data,
                                       RunSettings& settings) {
    settings.firstRecord = options.firstRecord.value_or(1);
    if (settings.firstRecord > data.recordCount)
        return inputError("the first record " + std::to_string(settings.firstRecord) +
                          " lies past the last record of the file, " +
                          std::to_string(data.recordCount));
    settings.recordsToEdit =
        options.recordCount.value_or(data.recordCount - settings.firstRecord + 1);
    if (settings.firstRecord + settings.recordsToEdit - 1 > data.recordCount)
        return inputError("the range of " + std::to_string(settings.recordsToEdit) +
                          " records from record " + std::to_string(settings.firstRecord) +
                          " reaches past the last record of the file, " +
                          std::to_string(data.recordCount));
    return std::nullopt;
}

void fillRunLogHeader(const RunRequest& request, const DataFileInfo& data,
                      const ListedChoices& listed, RunLogHeader& log) {
    log.runNumber = 1;
    log.metafile = request.settings.metafilePath;
    log.recordLayout = request.layoutName;
    log.editSets = joined(request.editSets, " + ");
    log.dataFile = request.settings.dataFilePath;
    log.recordType = std::string(1, data.recordType);
    log.recordVersion = data.naaccrVersion;
    log.fileSize = std::to_string(data.fileSize);
    log.recordCount = std::to_string(data.recordCount);
    log.recordLength = std::to_string(data.recordLength);
    log.globalOptions = request.settings.globalOptions;
    log.gridRows = &listed.grid.rows();
}

ExitStatus runChecks(const BatchOptions& options, BatchContext& context) {
    platform::MessageBoxes& messages = context.console;
    RAVfilecheck fileCheck;
    RAVengine engine;
    if (!engine.loaded())
        return stopWith(kEngineOrDatabaseFailure, "Can't load Vetra (" + engine.loadError() + ")");
    if (!fileCheck.loaded()) return stopWith(kEngineOrDatabaseFailure, "Can't load kznaaccr.dll");
    if (!engine.missingEntryPoints().empty())
        return stopWith(kEngineOrDatabaseFailure,
                        "the engine library lacks " + engine.missingEntryPoints().front());

    RunRequest request;
    if (auto stopped = resolveChoices(options, context, request)) return *stopped;
    if (!platform::fileExists(options.dataFile))
        return inputError("Datafile does not exist.: " + options.dataFile);
    ListedChoices listed;
    if (auto problem = checkedListing(engine, messages, request, listed))
        return inputError(*problem);
    // An XML file's records take the layout's length, so the layout is listed first.
    DataFileInfo data;
    if (inspectDataFile(options.dataFile, data, listed.fields.recordLength,
                        xmlLayoutFields(listed.fields.fields)) != 0)
        return inputError(data.errorText + ": " + options.dataFile);
    if (data.form.format == DataFormat::NaaccrXml && data.recordCount == 0)
        return inputError(options.dataFile + " holds no Tumor elements: no records to check");
    if (auto misfit = dataFileMisfit(data, request.layoutName, listed.fields.recordLength,
                                     listed.fields.fields))
        return inputError(*misfit);
    listed.grid.apply(context.configuration.editOptions);

    auto& settings = request.settings;
    settings.dataFilePath = options.dataFile;
    settings.dataForm = data.form;
    settings.recordLength = data.recordLength;
    settings.recordCount = data.recordCount;
    if (auto stopped = resolveRange(options, data, settings)) return *stopped;
    settings.globalOptions = globalOptionsOf(context.configuration, options);
    settings.editOptions = context.configuration.editOptions;
    settings.identificationFields = context.selectedFields;
    settings.layoutFields = listed.fields.fields;
    settings.layoutRecordLength = listed.fields.recordLength;
    settings.resultsFolder = context.resultsFolder;
    if (!platform::createFolders(settings.resultsFolder))
        return inputError("the results folder " + settings.resultsFolder + " cannot be created");
    settings.recordLayout = request.layoutName;
    settings.programVersion = kProgramVersion;
    settings.jobs = options.jobs.value_or(static_cast<int>(platform::processorCount()));
    request.largestRecordLength = listed.largestRecordLength;
    request.countsOnly = options.countsOnly;
    request.runLogPath = context.master.reportsFolder + "run_log.txt";
    if (!createRunLog(request.runLogPath,
                      {kProgramVersion, kBuildDate, kBuildTime, engine.versionText(),
                       platform::processorCount(), platform::processorArchitecture()}))
        messages.show(runLogProblemText(request.runLogPath, errno),
                      "Unable to open log file in TForm1()");
    fillRunLogHeader(request, data, listed, request.logHeader);

    ConsoleProgress progress;
    RunDriver driver(engine, messages, progress);
    progress.haltOnInterrupt(driver);
    installInterruptHandler();
    const RunOutcome outcome = RunEdits(engine, messages, driver, request);
    progress.finish();
    // The records checked before an unreadable part of the data file stay in the results.
    if (outcome != RunOutcome::Completed)
        return driver.dataFileUnreadable() ? kUsageOrInputError : kEngineOrDatabaseFailure;
    printSummary(driver, driver.counters().recordsRead < settings.recordsToEdit,
                 settings.resultsFolder);
    return driver.counters().exceptionRecords == 0 ? kNoRecordFailed : kSomeRecordsFailed;
}

} // namespace

ExitStatus runBatchJob(const BatchOptions& options) {
    BatchContext context;
    if (auto stopped = loadContext(options, context)) return *stopped;
    ExitStatus status = kNoRecordFailed;
    if (!options.dataFile.empty()) {
        status = runChecks(options, context);
        if (status > kSomeRecordsFailed) return status;
    } else if (!platform::fileExists(context.resultsFolder + "errors.db")) {
        return inputError("there are no results to report in " + context.resultsFolder +
                          ": no errors.db");
    }
    if (options.reports.empty()) return status;
    installInterruptHandler();
    if (!writeBatchReports(options, reportInputsOf(options, context), context.console))
        return kEngineOrDatabaseFailure;
    return status;
}

} // namespace vetra::desktop::batch
