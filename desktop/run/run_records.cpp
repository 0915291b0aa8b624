#include "desktop/run/run_records.h"

#include "desktop/run/results_database.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vetra::desktop {

namespace {

std::string lowerCased(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace

bool writeSummaryFile(const std::string& path, std::vector<summstruct> entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return lowerCased(a.editName) < lowerCased(b.editName);
    });
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return false;
    for (const summstruct& entry : entries)
        std::fprintf(file, "%lld,%lld,%lld,%s\n", static_cast<long long>(entry.errors),
                     static_cast<long long>(entry.warnings), static_cast<long long>(entry.skips),
                     entry.editName.c_str());
    return std::fclose(file) == 0;
}

std::string runTimeText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[64];
    const auto length = std::strftime(text, sizeof text, "%m/%d/%Y %T", &local);
    return std::string(text, length);
}

std::string elapsedTimeText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const auto days = static_cast<int>(seconds / 86400);
    const auto hours = static_cast<int>(seconds / 3600 % 24);
    const auto minutes = static_cast<int>(seconds / 60 % 60);
    const auto secs = static_cast<int>(seconds % 60);
    char text[64];
    if (days == 0)
        std::snprintf(text, sizeof text, "%.2dh:%.2dm:%.2ds", hours, minutes, secs);
    else
        std::snprintf(text, sizeof text, "%dd, %.2dh:%.2dm:%.2ds", days, hours, minutes, secs);
    return text;
}

std::string fieldWidthText(const std::string& bracketedValue) {
    if (bracketedValue == "[<BLANK>]") return "__________";
    if (bracketedValue.rfind("[Y:", 0) == 0) return "_ _ _ _ / _ _ / _ _ ";
    constexpr std::size_t kFullWidth = 68;
    std::size_t inside = bracketedValue.size() >= 2 ? bracketedValue.size() - 2 : 0;
    std::string width;
    for (std::size_t i = 0; i < kFullWidth / 2; ++i)
        width += "_ ";
    width.resize(std::min(kFullWidth, 2 * inside));
    return width;
}

int writeRunRecordHead(ResultsDatabase& database, const RunRecord& record) {
    const std::pair<const char*, std::string> rows[] = {
        {"Start of Run", runTimeText(record.start)},
        {"End of Run", runTimeText(record.end)},
        {"Elapsed Time", elapsedTimeText(static_cast<std::int64_t>(record.end - record.start))},
        {"Ravelo version", record.programVersion},
    };
    for (const auto& [key, value] : rows)
        if (int status = database.addRunRecordRow(key, value); status != 0) return status;
    return 0;
}

int writeRunRecordTail(ResultsDatabase& database, const RunRecord& record,
                       const std::string& engineVersion) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Vetra version", engineVersion},
        {"Data File", record.dataFile},
        {"Records in File", record.recordsInFile},
        {"Range Processed",
         std::to_string(record.firstRecord) + " - " + std::to_string(record.lastRecord)},
        {"Metafile", record.metafile},
        {"Record Layout", record.recordLayout},
    };
    for (std::size_t i = 0; i < record.editSets.size(); ++i)
        rows.emplace_back("Edit Set" + std::to_string(i + 1), record.editSets[i]);
    rows.emplace_back("Processed Records", std::to_string(record.processedRecords));
    rows.emplace_back("Total Exception Records", std::to_string(record.exceptionRecords));
    rows.emplace_back("Total Messages", std::to_string(record.storedMessages));
    rows.emplace_back("Total Error Messages", std::to_string(record.errorMessages));
    rows.emplace_back("Total Warning Messages", std::to_string(record.warningMessages));
    if (record.globalOptions & 1) rows.emplace_back("Global Option:", "Skip Empty");
    if (record.globalOptions & 2) rows.emplace_back("Global Option:", "Skip Failed");
    if (record.globalOptions & 128) rows.emplace_back("Global Option:", "Suppress Warnings");
    if (record.halted)
        rows.emplace_back("NOTE: RUN CANCELLED", "PARTIAL RESULTS");
    else if (record.countsOnlyAfterLimit)
        rows.emplace_back("NOTE: RUN CONTINUED WITH COUNTS ONLY", "PARTIAL RESULTS");
    for (const auto& [key, value] : rows)
        if (int status = database.addRunRecordRow(key, value); status != 0) return status;
    return 0;
}

} // namespace vetra::desktop
