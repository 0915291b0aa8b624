#include "tests/desktop/reports/report_fixture.h"

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace vetra::testing {

namespace {

const std::vector<RunTestEdit> kReportEdits = {
    {"Sex Check", 100, {220}, R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)"},
    {"Two Messages",
     101,
     {10, 485, 220},
     "if (strcmp(#S\"Code\", \"AB\") != 0) return pass;\nsave_error_text(102);\nreturn fail;"},
    {"No Fields", 107, {}, R"(if (strcmp(#S"Site", "C999") == 0) return fail; return pass;)"},
    {kQuotingEdit, 108, {2230}, R"(if (strcmp(#S"Code", "QQ") == 0) return fail; return pass;)"},
};

const std::vector<writer::EditSetDefinition> kReportSets = {
    {"Main", "", {"Sex Check", "Two Messages", "No Fields"}},
    {"Second", "", {"Sex Check"}},
    {"Quoting", "", {kQuotingEdit}},
};

} // namespace

std::string writeReportMetafile(const ScratchDirectory& scratch) {
    writer::MetafileBuilder builder = runTestMetafile(kReportEdits, kReportSets);
    builder.addMessage(108, "Say \"yes, or no\"\nto %V1");
    const writer::Bytes bytes = builder.build();
    return scratch.write("report.rmf", std::string(bytes.begin(), bytes.end())).string();
}

std::string format(const char* pattern, ...) {
    std::va_list arguments;
    va_start(arguments, pattern);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, pattern, arguments);
    va_end(arguments);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), pattern, again);
    va_end(again);
    text.pop_back();
    return text;
}

std::string coverPage(const std::string& title, const std::string& subtitle,
                      const std::string& date, const RunRecordRows& rows) {
    std::string text = format("%-55s Cover Page  %s\n", title.c_str(), date.c_str());
    if (!subtitle.empty()) text += format("%-80s\n", subtitle.c_str());
    text += kUnderline;
    for (const auto& [key, value] : rows)
        text += format("%25s - %s\n", key.c_str(), value.c_str());
    return text + "\f";
}

namespace {

std::string otherTitleLines(const std::string& subtitle) {
    return (subtitle.empty() ? "" : " " + subtitle + "\n") + kUnderline + "\n";
}

} // namespace

std::string firstTitleBlock(const std::string& title, const std::string& subtitle,
                            const std::string& date) {
    return format("%-57s  %s\n", title.c_str(), date.c_str()) + otherTitleLines(subtitle);
}

std::string laterTitleBlock(const std::string& title, const std::string& subtitle, int page,
                            const std::string& date) {
    return format("\n\f%-50s page %d  %s\n", title.c_str(), page, date.c_str()) +
           otherTitleLines(subtitle);
}

std::string recordHead(std::int64_t recordNumber, const RunRecordRows& identification) {
    std::string text = format("#%lld\n", static_cast<long long>(recordNumber));
    for (const auto& [name, value] : identification)
        text += format("%s: %s\n", name.c_str(), value.c_str());
    return text + kDashLine;
}

std::string failedEdit(const std::string& name, const RunRecordRows& messages,
                       const RunRecordRows& fields) {
    std::string text = format("  Edit: %s\n", name.c_str());
    for (const auto& [type, message] : messages)
        text += format("    %s: %s\n", type.c_str(), message.c_str());
    for (const auto& [title, value] : fields)
        text += format("      %32s %s\n", title.c_str(), value.c_str());
    return text + kDashLine;
}

std::string summaryPageHead(const std::string& title, const std::string& subtitle, int page) {
    return format("%-60s page %d\n", title.c_str(), page) + otherTitleLines(subtitle) +
           format("%52s - %7s  %7s   %7s\n\n", "Edit", "Errors", "Warnings", "Skips");
}

std::string summaryRow(const std::string& name, long errors, long warnings, long skips) {
    return format("%52s - %7ld   %7ld   %7ld\n", name.c_str(), errors, warnings, skips);
}

std::string sexCheckFailure() {
    return failedEdit("Sex Check", {{"E", "Sex F at (4) is wrong in Sex Check"}},
                      {{"Sex (4)", "[F]"}});
}

std::string twoMessagesFailure(const std::string& sex) {
    return failedEdit(
        "Two Messages", {{"E", "Check Code"}, {"E", "Code AB with registry 1"}},
        {{"Code (1)", "[AB]"}, {"Registry (3)", "[1]"}, {"Sex (4)", "[" + sex + "]"}});
}

FileStamp stampOf(const std::filesystem::path& path) {
    return {fileContents(path), std::filesystem::last_write_time(path)};
}

void ReportFixture::runReportEdits(const std::vector<std::string>& records,
                                   const std::vector<std::string>& sets,
                                   const std::vector<std::string>& identificationFields) {
    desktop::RunRequest request =
        this->request(writeReportMetafile(scratch_), writeDataFile(records),
                      static_cast<std::int64_t>(records.size()), sets);
    request.settings.identificationFields = identificationFields;
    identificationFields_ = identificationFields;
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    ASSERT_TRUE(messages_.shown().empty()) << messages_.shown()[0].text;
}

desktop::ReportInputs ReportFixture::inputs(const std::string& title,
                                            const std::string& subtitle) const {
    desktop::ReportInputs inputs;
    inputs.reportFileName = reportPath();
    inputs.title = title;
    inputs.subtitle = subtitle;
    inputs.resultsFolder = resultsFolder_;
    inputs.selectedFields = identificationFields_;
    return inputs;
}

void ReportFixture::writeSummaryFile(const std::string& contents) const {
    std::ofstream(resultsPath("summary.txt"), std::ios::binary) << contents;
}

} // namespace vetra::testing
