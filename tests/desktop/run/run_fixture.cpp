#include "tests/desktop/run/run_fixture.h"

#include "desktop/workflow/metafile_listing.h"
#include "desktop/workflow/metafile_session.h"
#include "tests/support/compiled_edits.h"
#include "tests/support/dictionary_item.h"

#include <fstream>
#include <sqlite3.h>

namespace vetra::testing {

writer::MetafileBuilder runTestMetafile(const std::vector<RunTestEdit>& edits,
                                        const std::vector<writer::EditSetDefinition>& sets) {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(dictionaryItem(10, "Code", "C", 2));
    builder.addDictionaryEntry(dictionaryItem(485, "Registry", "C", 1));
    builder.addDictionaryEntry(dictionaryItem(220, "Sex", "C", 1));
    builder.addDictionaryEntry(dictionaryItem(390, "Date", "C", 8));
    builder.addDictionaryEntry(dictionaryItem(400, "Site", "C", 4));
    builder.addDictionaryEntry(dictionaryItem(2230, "Name", "C", 80));
    builder.addDictionaryEntry(dictionaryItem(1990, "Over-ride Site", "C", 1));
    builder.addDictionaryEntry(dictionaryItem(1991, "Extra", "C", 1));
    builder.addLayout(writer::RecordLayout{1,
                                           "Test",
                                           "",
                                           {{10, "C", 1, 2, ' '},
                                            {485, "C", 3, 1, ' '},
                                            {220, "C", 4, 1, ' '},
                                            {390, "C", 5, 8, ' '},
                                            {400, "C", 13, 4, ' '},
                                            {2230, "C", 17, 80, ' '},
                                            {1990, "C", 97, 1, ' '},
                                            {1991, "C", 98, 1, ' '}}});
    builder.addMessage(100, "Sex %V1 at %C1 is wrong in %E");
    builder.addMessage(101, "Code %V1 with registry %V2");
    builder.addMessage(102, "Check %S1");
    builder.addMessage(105, "Don't say \"never\" in %E");
    builder.addMessage(106, "Too many");
    builder.addMessage(107, "Site needs no field");
    addCompiledEdits(builder, edits, sets);
    return builder;
}

std::string testRecord(const std::string& code, const std::string& registry, const std::string& sex,
                       const std::string& site, const std::string& name,
                       const std::string& overrideSite, const std::string& extra) {
    auto padded = [](const std::string& text, std::size_t width) {
        std::string field = text.substr(0, width);
        field.resize(width, ' ');
        return field;
    };
    return padded(code, 2) + padded(registry, 1) + padded(sex, 1) + "20051231" + padded(site, 4) +
           padded(name, 80) + padded(overrideSite, 1) + padded(extra, 1);
}

ResultsFile::ResultsFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &database_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(database_);
        sqlite3_close(database_);
        database_ = nullptr;
    }
}

ResultsFile::~ResultsFile() {
    sqlite3_close(database_);
}

Rows ResultsFile::rows(const std::string& query) const {
    Rows result;
    if (database_ == nullptr) return result;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database_, query.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << query << ": " << sqlite3_errmsg(database_);
        return result;
    }
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        Row row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto* text = sqlite3_column_text(statement, column);
            row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "<null>");
        }
        result.push_back(std::move(row));
    }
    if (status != SQLITE_DONE) ADD_FAILURE() << query << ": " << sqlite3_errmsg(database_);
    sqlite3_finalize(statement);
    return result;
}

long ResultsFile::count(const std::string& table) const {
    const Rows counted = rows("SELECT count(*) FROM " + table);
    return counted.size() == 1 ? std::stol(counted[0][0]) : -1;
}

std::vector<std::pair<std::string, std::string>> ResultsFile::runRecord() const {
    std::vector<std::pair<std::string, std::string>> record;
    for (const Row& row : rows("SELECT key, value FROM editrun ORDER BY rowid"))
        record.emplace_back(row[0], row[1]);
    return record;
}

std::string ResultsFile::runRecordValue(const std::string& key) const {
    for (const auto& [rowKey, value] : runRecord())
        if (rowKey == key) return value;
    return "<missing>";
}

RunFixture::RunFixture()
    : resultsFolder_((scratch_.path() / "query").string() + "/"), engine_(VETRA40_LIBRARY_PATH),
      driver_(engine_, messages_, progress_) {
    std::filesystem::create_directories(resultsFolder_);
}

std::string RunFixture::writeMetafile(const std::vector<RunTestEdit>& edits,
                                      const std::vector<writer::EditSetDefinition>& sets,
                                      const std::string& name) {
    const writer::Bytes bytes = runTestMetafile(edits, sets).build();
    return scratch_.write(name, std::string(bytes.begin(), bytes.end())).string();
}

std::string RunFixture::writeDataFile(const std::vector<std::string>& records,
                                      const std::string& name, bool terminateLast) {
    std::string contents;
    for (const std::string& record : records)
        contents += record + "\n";
    if (!terminateLast && !contents.empty()) contents.pop_back();
    return scratch_.write(name, contents).string();
}

desktop::RunRequest RunFixture::request(const std::string& metafilePath,
                                        const std::string& dataPath, std::int64_t recordCount,
                                        const std::vector<std::string>& sets) {
    desktop::RunRequest request;
    {
        desktop::MetafileSession session(engine_, messages_, "");
        EXPECT_TRUE(session.open(metafilePath));
        desktop::MetafileListing listing(engine_, messages_, session.mfID());
        const desktop::LayoutListing layouts = listing.layouts();
        request.largestRecordLength = layouts.largestRecordLength;
        const desktop::LayoutFields fields =
            listing.layoutFields("Test", layouts.largestRecordLength);
        request.settings.layoutFields = fields.fields;
        request.settings.layoutRecordLength = fields.recordLength;
    }
    auto& settings = request.settings;
    settings.dataFilePath = dataPath;
    settings.recordLength = kTestRecordLength + 1;
    settings.recordCount = recordCount;
    settings.firstRecord = 1;
    settings.recordsToEdit = recordCount;
    settings.resultsFolder = resultsFolder_;
    settings.metafilePath = metafilePath;
    settings.recordLayout = "Test";
    settings.programVersion = "Ravelo 4.0 test";
    request.layoutName = "Test";
    request.editSets = sets;
    request.runLogPath = (scratch_.path() / "run_log.txt").string();
    return request;
}

desktop::RunOutcome RunFixture::run(const desktop::RunRequest& request) {
    return desktop::RunEdits(engine_, messages_, driver_, request);
}

std::string RunFixture::resultsPath(const std::string& name) const {
    return resultsFolder_ + name;
}

std::vector<std::string> RunFixture::summaryLines() const {
    std::ifstream summary(resultsPath("summary.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(summary, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> RunFixture::captionsShown() const {
    std::vector<std::string> captions;
    for (const auto& box : messages_.shown())
        captions.push_back(box.caption);
    return captions;
}

} // namespace vetra::testing
