#include "desktop/batch/batch_options.h"

#include "desktop/workflow/run_sequence.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <ranges>
#include <string_view>

namespace vetra::desktop::batch {

const char* const kBatchUsage =
    R"(Usage: ravelo-batch [OPTION]... --data FILE

Checks the records of a NAACCR data file against the edit sets of a metafile, as the desktop
program's "Run VETRA" does, and writes the results database errors.db, summary.txt and the run
log. A configuration file gives the defaults; the options below override it.

  --config FILE             configuration file (default: the current configuration named in
                            the master configuration file ravelo.ini)
  --metafile PATH           metafile (default: the configuration's metafile in the metafile
                            folder)
  --layout NAME             record layout (default: the configuration's)
  --edit-set NAME           edit set to run; repeat for several (default: the configuration's)
  --data FILE               NAACCR data file: fixed-width or NAACCR XML, either
                            of them gzipped (required)
  --first N                 first record to check, counted from 1 (default 1)
  --count N                 number of records to check (default: to the end of the file)
  --skip-empty              skip an edit when one of its fields is empty
  --skip-failed, --no-skip-failed
                            skip a multi-field edit when one of its fields already failed
                            a single-field edit of the record (default: on)
  --suppress-warnings, --no-suppress-warnings
                            report no warnings (default: on)
  --id-field NAME           field that identifies a record in reports; repeat, at most 10
  --counts-only             keep only the counts, no failure details
  --results DIR             folder for errors.db and summary.txt (default: query/ in the
                            folder of the user's files, below)
  --jobs N                  check the records in N parts at once, each on a processor of
                            its own, at most 256 (default: the number of processors); the
                            results are the same for any N
  --external-library-folder DIR
                            a folder edit logic may load external libraries from (externaldll);
                            repeat, or separate folders with ':'; a relative folder counts from
                            the current folder (default: the master configuration's [Path]
                            ExternalLibraries; when neither names one, no library loads)

Reports, of this run or, without --data, of the run whose results are in --results DIR:
  --report STYLE            detailed, summary, combined, csv or overview (one HTML page
                            with charts); repeat for several
  --report-file PATH        the report file (default: the master configuration's report file
                            name); with several reports, or none given, each report's name
                            gets its style: NAME_detailed.rpt, NAME_summary.rpt,
                            NAME_combined.rpt, NAME.csv, NAME_overview.html
  --title TEXT, --subtitle TEXT
                            the report title and subtitle (default: the master configuration's)
  --lines-per-page N        lines of a detailed report's page, at least 30 (default 52)
  --page-mode MODE          record, edit or filled: a new page after every failing record,
                            after every failed edit, or when a page is full (default)
  --sort-field NAME         identification field to sort the records by; repeat, at most 4
  --keep-zero-counts        list edits with no errors, warnings or skips in the summary
  --help                    show this help and exit
  --version                 show the version and exit

The master configuration ravelo.ini and the folders it names by default (results, reports,
metafiles, data, configurations) are kept in the folder RAVELO_HOME names; else, for an
installed copy, ravelo.ini in $XDG_CONFIG_HOME/ravelo (default ~/.config/ravelo) and the
folders in $XDG_DATA_HOME/ravelo (default ~/.local/share/ravelo); else beside the program.
Progress goes to standard error; a short summary to standard output.

Exit status: 0 when no record failed (or the reports were written), 1 when some record
failed, 2 for a usage or input error, 3 for an engine, database or report failure.
)";

namespace {

bool parseCount(std::string_view text, std::int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Adds the folders of one --external-library-folder value, each made absolute.
bool addLibraryFolders(std::string_view value, std::vector<std::string>& folders,
                       std::string& error) {
    const std::size_t before = folders.size();
    for (const auto piece : std::views::split(value, ':')) {
        const std::string_view folder(piece.begin(), piece.end());
        if (!folder.empty())
            folders.push_back(std::filesystem::absolute(folder).lexically_normal().string());
    }
    if (folders.size() > before) return true;
    error = "option --external-library-folder needs a folder, not '" + std::string(value) + "'";
    return false;
}

bool checkReportOptions(BatchOptions& options, const std::optional<std::int64_t>& linesPerPage,
                        const std::optional<std::string>& pageMode, std::string& error) {
    for (std::size_t i = 0; i < options.reports.size(); ++i) {
        const auto& style = options.reports[i];
        if (style != "detailed" && style != "summary" && style != "combined" && style != "csv" &&
            style != "overview") {
            error = "unknown report style '" + style +
                    "': use detailed, summary, combined, csv or overview";
            return false;
        }
        for (std::size_t j = 0; j < i; ++j)
            if (options.reports[j] == style) {
                error = "the report style '" + style + "' is given twice";
                return false;
            }
    }
    if (linesPerPage) {
        if (*linesPerPage < 30 || *linesPerPage > 100000) {
            error = "--lines-per-page needs a number from 30 to 100000, not " +
                    std::to_string(*linesPerPage);
            return false;
        }
        options.linesPerPage = static_cast<int>(*linesPerPage);
    }
    if (pageMode) {
        const std::string modes[] = {"record", "edit", "filled"};
        const auto found = std::find(std::begin(modes), std::end(modes), *pageMode);
        if (found == std::end(modes)) {
            error = "unknown page mode '" + *pageMode + "': use record, edit or filled";
            return false;
        }
        options.pageMode = static_cast<int>(found - std::begin(modes)) + 1;
    }
    if (options.sortFields.size() > 4) {
        error = "at most 4 sort fields can be given";
        return false;
    }
    return true;
}

} // namespace

std::optional<BatchOptions> parseBatchOptions(int argc, const char* const* argv,
                                              std::string& error) {
    BatchOptions options;
    std::optional<std::int64_t> linesPerPage;
    std::optional<std::string> pageMode;
    std::optional<std::int64_t> jobs;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                error = "option " + std::string(argument) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        const auto number = [&](std::optional<std::int64_t>& target) {
            const char* text = value();
            if (text == nullptr) return false;
            std::int64_t parsed = 0;
            if (!parseCount(text, parsed) || parsed < 1) {
                error = "option " + std::string(argument) + " needs a whole number of at least " +
                        "1, not '" + text + "'";
                return false;
            }
            target = parsed;
            return true;
        };
        const auto text = [&](auto& target) {
            const char* given = value();
            if (given == nullptr) return false;
            if constexpr (requires { target.push_back(given); })
                target.push_back(given);
            else
                target = given;
            return true;
        };
        const auto folders = [&](std::vector<std::string>& target) {
            const char* given = value();
            return given != nullptr && addLibraryFolders(given, target, error);
        };
        bool ok = true;
        if (argument == "--help" || argument == "-h")
            options.help = true;
        else if (argument == "--version")
            options.version = true;
        else if (argument == "--config")
            ok = text(options.configFile);
        else if (argument == "--metafile")
            ok = text(options.metafile);
        else if (argument == "--layout")
            ok = text(options.layout);
        else if (argument == "--edit-set")
            ok = text(options.editSets);
        else if (argument == "--data")
            ok = text(options.dataFile);
        else if (argument == "--first")
            ok = number(options.firstRecord);
        else if (argument == "--count")
            ok = number(options.recordCount);
        else if (argument == "--skip-empty")
            options.skipEmpty = true;
        else if (argument == "--skip-failed")
            options.skipFailed = true;
        else if (argument == "--no-skip-failed")
            options.skipFailed = false;
        else if (argument == "--suppress-warnings")
            options.suppressWarnings = true;
        else if (argument == "--no-suppress-warnings")
            options.suppressWarnings = false;
        else if (argument == "--id-field")
            ok = text(options.identificationFields);
        else if (argument == "--counts-only")
            options.countsOnly = true;
        else if (argument == "--results")
            ok = text(options.resultsFolder);
        else if (argument == "--jobs")
            ok = number(jobs);
        else if (argument == "--external-library-folder")
            ok = folders(options.externalLibraryFolders);
        else if (argument == "--report")
            ok = text(options.reports);
        else if (argument == "--report-file")
            ok = text(options.reportFile);
        else if (argument == "--title")
            ok = text(options.title);
        else if (argument == "--subtitle")
            ok = text(options.subtitle);
        else if (argument == "--lines-per-page")
            ok = number(linesPerPage);
        else if (argument == "--page-mode")
            ok = text(pageMode);
        else if (argument == "--sort-field")
            ok = text(options.sortFields);
        else if (argument == "--keep-zero-counts")
            options.keepZeroCounts = true;
        else {
            error = "unknown option '" + std::string(argument) + "'";
            ok = false;
        }
        if (!ok) return std::nullopt;
    }
    if (options.help || options.version) return options;
    if (options.dataFile.empty() && options.reports.empty()) {
        error = "no data file given: use --data FILE (or --report STYLE --results DIR)";
        return std::nullopt;
    }
    if (!checkReportOptions(options, linesPerPage, pageMode, error)) return std::nullopt;
    if (jobs) {
        if (*jobs > kMaximumJobs) {
            error = "--jobs needs a number from 1 to " + std::to_string(kMaximumJobs) + ", not " +
                    std::to_string(*jobs);
            return std::nullopt;
        }
        options.jobs = static_cast<int>(*jobs);
    }
    if (options.identificationFields.size() > 10) {
        error = "at most 10 identification fields can be given";
        return std::nullopt;
    }
    return options;
}

} // namespace vetra::desktop::batch
