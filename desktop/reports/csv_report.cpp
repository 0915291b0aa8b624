#include "desktop/reports/csv_report.h"

#include "desktop/reports/results_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace vetra::desktop {

namespace {

constexpr std::size_t kIdentificationLimit = 99;
constexpr std::size_t kOutputBufferSize = 1 << 16;

std::string cutAt99(const char* text) {
    return std::string(text).substr(0, kIdentificationLimit);
}

std::string quotedWithInnerQuotesDoubled(const std::string& value) {
    std::string field = "\"";
    for (const char c : value) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + "\"";
}

// An optional sign, digits, and a decimal point with digits after it if there is one; blanks
// may follow.
bool plainNumber(std::string_view text) {
    text = text.substr(0, text.find_last_not_of(' ') + 1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    const auto digits = [&text] {
        const auto count = std::min(text.find_first_not_of("0123456789"), text.size());
        text.remove_prefix(count);
        return count > 0;
    };
    if (!digits()) return false;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        if (!digits()) return false;
    }
    return text.empty();
}

// A leading "'" keeps a value that starts like a formula from becoming one.
std::string spreadsheetText(const char* value) {
    const bool formulaStart = *value != '\0' && std::strchr("=+-@\t\r", *value) != nullptr;
    if (!formulaStart || plainNumber(value)) return value;
    return "'" + std::string(value);
}

// Closes the report file on every way out.
struct OutputFile {
    std::FILE* file = nullptr;
    ~OutputFile() {
        if (file != nullptr) std::fclose(file);
    }
};

} // namespace

std::string csvField(const char* value) {
    std::string text = spreadsheetText(value);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    return quotedWithInnerQuotesDoubled(text);
}

std::string csvQuoted(const char* value) {
    return quotedWithInnerQuotesDoubled(spreadsheetText(value));
}

std::string csv_report::csvFileName(const std::string& reportFileName) {
    const auto slash = reportFileName.find_last_of('/');
    const auto dot = reportFileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return reportFileName + ".csv";
    return reportFileName.substr(0, dot) + ".csv";
}

int csv_report::write(const ReportInputs& inputs) {
    OutputFile output;
    output.file = std::fopen(csvFileName(inputs.reportFileName).c_str(), "w");
    if (output.file == nullptr) {
        messages_.show("Unable to create report file.  Make sure the directory exists and the "
                       "file, if it exists, is not locked.",
                       "");
        return kFileNotCreated;
    }
    std::setvbuf(output.file, nullptr, _IOFBF, kOutputBufferSize);
    ResultsReader results;
    if (!results.open(inputs.resultsFolder + "errors.db") ||
        !results.beginRecords(reportSortOrder(inputs.selectedFields, inputs.sortFields))) {
        messages_.show("Unable to read the results database " + inputs.resultsFolder +
                           "errors.db: " + results.errorText(),
                       "");
        return kResultsUnreadable;
    }
    const std::size_t idCount = std::min<std::size_t>(inputs.selectedFields.size(), 10);
    RecordRow row;
    const bool anyRecord = results.nextRecord(row);
    progress_.start(results.recordRowCount());
    results.beginTransaction();

    // The names come from the first record row; with none, from the selected fields.
    std::string names;
    for (std::size_t i = 0; i < idCount; ++i)
        names +=
            (i == 0 ? "" : ",") + csvField(cutAt99(anyRecord ? row.identification[2 * i]
                                                             : inputs.selectedFields[i].c_str())
                                               .c_str());
    if (idCount == 0)
        std::fputs("Record Number,Edit Name,Message Type,Reason for Failure,Field Name,Field "
                   "Value\n",
                   output.file);
    else
        std::fprintf(output.file,
                     "Record Number,%s,Edit Name,Message Type,Reason for Failure,Field "
                     "Name,Field Value\n",
                     names.c_str());

    std::vector<std::pair<std::string, std::string>> messages, fields;
    for (bool more = anyRecord; more; more = results.nextRecord(row)) {
        std::string values;
        for (std::size_t i = 0; i < idCount; ++i)
            values += "," + csvField(cutAt99(row.identification[2 * i + 1]).c_str());
        results.forEachFailedEdit(row.recordNumber, [&](std::int64_t id, const char* name) {
            const std::string editName = csvQuoted(name);
            messages.clear();
            fields.clear();
            results.forEachMessage(id, [&](const char* type, const char* text) {
                messages.emplace_back(csvField(type), csvQuoted(text));
            });
            results.forEachField(id, [&](const char* title, const char* value) {
                fields.emplace_back(csvField(title), csvField(value));
            });
            for (const auto& [type, text] : messages)
                for (const auto& [title, value] : fields)
                    std::fprintf(output.file, "%lld%s,%s,%s,%s,%s,%s\n",
                                 static_cast<long long>(row.recordNumber), values.c_str(),
                                 editName.c_str(), type.c_str(), text.c_str(), title.c_str(),
                                 value.c_str());
            return true;
        });
    }
    results.endTransaction();
    progress_.finish();
    return kWritten;
}

} // namespace vetra::desktop
