// One set of records in every form a data file may take (fixed-width lines, NAACCR XML, and
// either gzip-compressed) gives one result: the same inspection counts, the same rows in every
// table of errors.db and the same summary. A damaged file stops the run with what was checked
// kept; XML items without a field are told once each.
#include "desktop/data/data_file_inspection.h"
#include "tests/desktop/run/run_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <zlib.h>

namespace vetra::testing {
namespace {

using desktop::DataFileInfo;
using desktop::DataFormat;

const char kSexCheck[] = R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)";
const char kCodeCheck[] = R"(if (strcmp(#S"Code", "AB") == 0) return fail; return pass;)";

// The test layout's items as NAACCR XML places them: number, id, first column, length, and
// whether the patient holds it.
struct TestItem {
    int number;
    const char* id;
    std::size_t column;
    std::size_t length;
    bool patientLevel;
};
constexpr TestItem kItems[] = {{10, "Code", 1, 2, false},        {485, "Registry", 3, 1, true},
                               {220, "Sex", 4, 1, true},         {390, "Date", 5, 8, false},
                               {400, "Site", 13, 4, false},      {2230, "Name", 17, 80, true},
                               {1990, "Override", 97, 1, false}, {1991, "Extra", 98, 1, false}};

std::string escaped(const std::string& value) {
    std::string text;
    for (char c : value) {
        if (c == '&')
            text += "&amp;";
        else if (c == '<')
            text += "&lt;";
        else
            text += c;
    }
    return text;
}

// The items of one level of a record, trailing blanks dropped and blank values left out. The
// Sex item is named only by its id, to be found through the field's third name.
std::string itemsOf(const std::string& record, bool patientLevel) {
    std::string text;
    for (const TestItem& item : kItems) {
        if (item.patientLevel != patientLevel) continue;
        std::string value = record.substr(item.column - 1, item.length);
        value.erase(value.find_last_not_of(' ') + 1);
        if (value.empty()) continue;
        const std::string number =
            item.number == 220 ? "" : " naaccrNum=\"" + std::to_string(item.number) + "\"";
        text += "<Item naaccrId=\"" + std::string(item.id) + "\"" + number + ">" + escaped(value) +
                "</Item>\n";
    }
    return text;
}

// Each record a Tumor; consecutive records with the same patient items share a Patient.
std::string xmlOf(const std::vector<std::string>& records) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<NaaccrData baseDictionaryUri=\"http://naaccr.org/naaccrxml/"
                       "naaccr-dictionary-180.xml\" recordType=\"I\" specificationVersion=\"1.5\" "
                       "xmlns=\"http://naaccr.org/naaccrxml\">\n";
    std::string patient;
    for (const auto& record : records) {
        const std::string items = itemsOf(record, true);
        if (items != patient) {
            if (!patient.empty()) text += "</Patient>\n";
            text += "<Patient>\n" + items;
            patient = items;
        }
        text += "<Tumor>\n" + itemsOf(record, false) + "</Tumor>\n";
    }
    if (!patient.empty()) text += "</Patient>\n";
    return text + "</NaaccrData>\n";
}

class DataForms : public RunFixture {
protected:
    DataForms()
        : metafile_(writeMetafile(
              {{"Sex Check", 100, {220}, kSexCheck}, {"Code Check", 101, {10, 485}, kCodeCheck}},
              {{"Main", "", {"Sex Check", "Code Check"}}})) {}

    std::string writeGzip(const std::string& name, const std::string& contents) {
        const std::string path = (scratch_.path() / name).string();
        gzFile file = gzopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        EXPECT_EQ(gzwrite(file, contents.data(), static_cast<unsigned>(contents.size())),
                  static_cast<int>(contents.size()));
        gzclose(file);
        return path;
    }

    // Inspects the file as the window does and runs every record of it.
    DataFileInfo runFile(const std::string& path) {
        desktop::RunRequest request = this->request(metafile_, path, 0, {"Main"});
        DataFileInfo info;
        EXPECT_EQ(desktop::inspectDataFile(path, info, request.settings.layoutRecordLength), 0)
            << info.errorText;
        request.settings.dataForm = info.form;
        request.settings.recordLength = info.recordLength;
        request.settings.recordCount = info.recordCount;
        request.settings.recordsToEdit = info.recordCount;
        lastOutcome_ = run(request);
        return info;
    }

    // Every row of the detail tables, in stored order.
    Rows detailRows() const {
        ResultsFile results(resultsPath());
        Rows rows;
        for (const char* table : {"errorrecs", "editfailures", "editerrors", "editfields"})
            for (auto& row : results.rows(std::string("SELECT * FROM ") + table + ";"))
                rows.push_back(row);
        return rows;
    }

    std::vector<std::string> records() const {
        std::vector<std::string> records;
        for (int i = 0; i < 40; ++i)
            records.push_back(testRecord(i % 4 == 0 ? "AB" : "CD", i % 7 == 0 ? "2" : "1",
                                         i % 3 == 0 ? "F" : "M", "C509",
                                         i % 5 == 0 ? "Smith & <Jones>" : ""));
        return records;
    }

    std::string metafile_;
    desktop::RunOutcome lastOutcome_ = desktop::RunOutcome::NotStarted;
};

TEST_F(DataForms, EveryFormOfTheSameRecordsGivesTheSameResults) {
    const auto records = this->records();
    std::string lines;
    for (const auto& record : records)
        lines += record + "\n";
    const DataFileInfo fixed = runFile(writeDataFile(records));
    ASSERT_EQ(lastOutcome_, desktop::RunOutcome::Completed);
    EXPECT_EQ(fixed.form.format, DataFormat::FixedWidth);
    const Rows expectedRows = detailRows();
    const auto expectedSummary = summaryLines();
    ASSERT_GT(expectedRows.size(), 40u);

    struct Form {
        std::string path;
        DataFormat format;
        bool gzipped;
    };
    const Form forms[] = {
        {writeGzip("data.txt.gz", lines), DataFormat::FixedWidth, true},
        {scratch_.write("data.xml", xmlOf(records)).string(), DataFormat::NaaccrXml, false},
        {writeGzip("data.xml.gz", xmlOf(records)), DataFormat::NaaccrXml, true},
        // The form is read from the bytes, whatever the name says.
        {writeGzip("data.dat", xmlOf(records)), DataFormat::NaaccrXml, true},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.path);
        const DataFileInfo info = runFile(form.path);
        ASSERT_EQ(lastOutcome_, desktop::RunOutcome::Completed);
        EXPECT_EQ(info.form.format, form.format);
        EXPECT_EQ(info.form.gzipped, form.gzipped);
        EXPECT_EQ(info.recordCount, 40);
        EXPECT_EQ(detailRows(), expectedRows);
        EXPECT_EQ(summaryLines(), expectedSummary);
        EXPECT_EQ(ResultsFile(resultsPath()).runRecordValue("Records in File"), "40");
        if (form.format == DataFormat::NaaccrXml) {
            EXPECT_EQ(info.recordType, 'I');
            EXPECT_EQ(info.naaccrVersion, "180");
            EXPECT_EQ(info.recordLength, kTestRecordLength);
        }
    }
    EXPECT_TRUE(messages_.shown().empty()) << messages_.shown()[0].text;
}

TEST_F(DataForms, ADamagedFileStopsTheRunWithTheRecordsBeforeItKept) {
    const auto records = this->records();
    std::string xml = xmlOf(records);
    // Tumor 21 onwards is cut off inside an element.
    std::size_t cut = 0;
    for (int tumour = 0; tumour < 21; ++tumour)
        cut = xml.find("<Tumor>", cut + 1);
    const std::string path = scratch_.write("cut.xml", xml.substr(0, cut + 20)).string();

    DataFileInfo info;
    desktop::RunRequest request = this->request(metafile_, path, 0, {"Main"});
    EXPECT_EQ(desktop::inspectDataFile(path, info, request.settings.layoutRecordLength), -1);
    EXPECT_NE(info.errorText.find(path), std::string::npos);
    EXPECT_NE(info.errorText.find("line"), std::string::npos) << info.errorText;

    // The run trusts an earlier inspection: the file was cut after it.
    request.settings.dataForm = {DataFormat::NaaccrXml, false};
    request.settings.recordLength = kTestRecordLength;
    request.settings.recordCount = 40;
    request.settings.recordsToEdit = 40;
    EXPECT_EQ(run(request), desktop::RunOutcome::Failed);
    EXPECT_TRUE(driver_.dataFileUnreadable());
    const auto captions = captionsShown();
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.front(), "Data File Error");
    EXPECT_NE(messages_.shown().front().text.find("at record 21"), std::string::npos);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT MAX(recnum) FROM errorrecs;"), (Rows{{"19"}}));
    request.settings.jobs = 2;
    EXPECT_EQ(run(request), desktop::RunOutcome::Failed);
    EXPECT_TRUE(driver_.dataFileUnreadable());

    // A compressed file cut short.
    std::string lines;
    for (const auto& record : records)
        lines += record + "\n";
    std::ifstream whole(writeGzip("whole.gz", lines), std::ios::binary);
    const std::string compressed{std::istreambuf_iterator<char>(whole), {}};
    const std::string cutGzip =
        scratch_.write("cut.gz", compressed.substr(0, compressed.size() / 2)).string();
    DataFileInfo cutInfo;
    EXPECT_EQ(desktop::inspectDataFile(cutGzip, cutInfo), -1);
    EXPECT_NE(cutInfo.errorText.find(cutGzip), std::string::npos);
    EXPECT_NE(cutInfo.errorText.find("the compressed data ends early"), std::string::npos)
        << cutInfo.errorText;
}

TEST_F(DataForms, ItemsWithoutAFieldAreToldOnceEach) {
    std::string xml = xmlOf(records());
    for (std::size_t at = xml.find("<Tumor>\n"); at != std::string::npos;
         at = xml.find("<Tumor>\n", at + 1))
        xml.insert(at + 8, "<Item naaccrId=\"vitalStatus\" naaccrNum=\"1760\">1</Item>\n"
                           "<Item naaccrId=\"localExtra\">x</Item>\n");
    runFile(scratch_.write("extra.xml", xml).string());
    ASSERT_EQ(lastOutcome_, desktop::RunOutcome::Completed);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "Items Not Checked");
    const std::string& text = messages_.shown()[0].text;
    EXPECT_NE(text.find("\"vitalStatus\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"localExtra\""), std::string::npos) << text;
    EXPECT_NE(text.find("40 times"), std::string::npos) << text;
}

} // namespace
} // namespace vetra::testing
