// The record browser: positions in the file, values cut at the record's end, the step buttons,
// the slider, typed record numbers and sorting; a file that changed, vanished or cannot be read.
#include "desktop/data/record_display.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/support/scratch_directory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

using vetra::desktop::DataFileInfo;
using vetra::desktop::fld_desc;
using vetra::desktop::LayoutFieldList;
using vetra::desktop::Ravdisp;
using vetra::testing::ScratchDirectory;
using vetra::testing::ScriptedMessageBoxes;

// 22 characters and CR LF: record n is "Rnn" then letters, the record number at columns 2-3.
std::string recordsOf(int count) {
    std::string text;
    for (int n = 1; n <= count; ++n) {
        char record[48];
        std::snprintf(record, sizeof record, "R%02dABCDEFGHIJKLMNOPQRS\r\n", n);
        text += record;
    }
    return text;
}

const LayoutFieldList kFields = {
    {"Tail", 20, 10, 30, "", ""},   // runs past the end of the 24-character record
    {"Number", 2, 2, 20, "", ""},   //
    {"Beyond", 40, 3, 10, "", ""},  // starts beyond the record
    {"Letters", 4, 5, 400, "", ""}, //
};

class RecordBrowser : public ::testing::Test {
protected:
    // The file as the inspection saw it: records of 24 characters, `count` of them.
    DataFileInfo inspected(const std::string& contents, std::int64_t count) const {
        DataFileInfo info;
        info.fileName = folder_.write("d.txt", contents).string();
        info.recordLength = 24;
        info.recordCount = count;
        info.fileSize = contents.size();
        return info;
    }
    std::string value(const std::string& name) const {
        for (const auto& row : browser_.rows())
            if (row.name == name) return row.value;
        return "?";
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& row : browser_.rows())
            result.push_back(row.name);
        return result;
    }

    ScratchDirectory folder_;
    ScriptedMessageBoxes messages_;
    Ravdisp browser_{messages_};
};

TEST_F(RecordBrowser, EnteringListsByColumnAndShowsRecordOne) {
    browser_.enter(inspected(recordsOf(5), 5), kFields);
    EXPECT_EQ(names(), (std::vector<std::string>{"Number", "Letters", "Tail", "Beyond"}));
    EXPECT_EQ(browser_.recordNumberText(), "1");
    EXPECT_EQ(value("Number"), "01");
    EXPECT_EQ(value("Letters"), "ABCDE");
    EXPECT_EQ(value("Tail"), "QRS\r\n"); // cut at the end of the record
    EXPECT_EQ(value("Beyond"), "");
    browser_.sliderMoved(2); // record 3 starts at byte 48
    EXPECT_EQ(value("Number"), "03");
    EXPECT_EQ(browser_.recordNumberText(), "3");
}

TEST_F(RecordBrowser, StepsStayWithinTheFile) {
    browser_.enter(inspected(recordsOf(50), 50), kFields);
    browser_.step(1000);
    EXPECT_EQ(browser_.currentRecord(), 50);
    EXPECT_EQ(value("Number"), "50");
    browser_.step(-10);
    EXPECT_EQ(browser_.currentRecord(), 40);
    EXPECT_EQ(browser_.sliderPosition(), 39);
    browser_.step(-1000);
    EXPECT_EQ(browser_.currentRecord(), 1);
}

TEST_F(RecordBrowser, ATypedNumberOutsideTheFileOrNotANumberPutsTheRecordBack) {
    browser_.enter(inspected(recordsOf(20), 20), kFields);
    browser_.recordNumberTyped("12");
    EXPECT_EQ(browser_.currentRecord(), 12);
    EXPECT_EQ(value("Number"), "12");
    browser_.recordNumberTyped("0000000000000000000007");
    EXPECT_EQ(browser_.recordNumberText(), "7");
    for (const char* text : {"0", "21", "12a", "", "-3", "+3", " 3", "99999999999999999999999"}) {
        browser_.recordNumberTyped(text);
        EXPECT_EQ(browser_.recordNumberText(), "7") << text;
        EXPECT_EQ(browser_.currentRecord(), 7);
    }
}

TEST_F(RecordBrowser, HeadersSortTheRowsKeepingTheirValues) {
    browser_.enter(inspected(recordsOf(3), 3), kFields);
    browser_.sortBy(Ravdisp::kByItem);
    EXPECT_EQ(names(), (std::vector<std::string>{"Beyond", "Number", "Tail", "Letters"}));
    EXPECT_EQ(value("Number"), "01");
    browser_.sortBy(Ravdisp::kByName);
    EXPECT_EQ(names(), (std::vector<std::string>{"Beyond", "Letters", "Number", "Tail"}));
    browser_.sortBy(Ravdisp::kByLength);
    EXPECT_EQ(names().front(), "Number");
    browser_.sortBy(Ravdisp::kByValue);
    EXPECT_EQ(names().front(), "Number");
}

TEST_F(RecordBrowser, AShortLastRecordReadsAsZerosBeyondItsEnd) {
    browser_.enter(inspected(recordsOf(3).substr(0, 24 * 2 + 10), 3), kFields);
    browser_.step(2);
    EXPECT_EQ(value("Number"), "03");
    EXPECT_EQ(value("Letters"), "ABCDE");
    EXPECT_EQ(value("Tail"), "");
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(RecordBrowser, AFileThatChangedSinceItsInspectionIsToldOnEachEntryAndBrowsedAsInspected) {
    const DataFileInfo info = inspected(recordsOf(3), 3);
    folder_.write("d.txt", recordsOf(1));
    browser_.enter(info, kFields);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "The data file " + info.fileName +
                  " has changed since it was opened (it now holds 24 bytes, not 72); open it "
                  "again to see its records as they are now.");
    EXPECT_EQ(messages_.shown()[0].caption, "");
    EXPECT_EQ(value("Number"), "01");
    browser_.step(1000);
    EXPECT_EQ(browser_.currentRecord(), 3);
    EXPECT_EQ(value("Number"), "");
    EXPECT_EQ(messages_.shown().size(), 1u);

    browser_.leave();
    EXPECT_TRUE(browser_.rows().empty());
    browser_.enter(info, kFields);
    EXPECT_EQ(messages_.shown().size(), 2u);
}

TEST_F(RecordBrowser, AVanishedFileIsNamedAndNothingOpens) {
    DataFileInfo info = inspected(recordsOf(3), 3);
    info.fileName = (folder_.path() / "gone.txt").string();
    browser_.enter(info, kFields);
    EXPECT_FALSE(browser_.isOpen());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "Unable to open datafile " + info.fileName + ": No such file or directory.");
    browser_.step(1); // nothing happens without an open file
    browser_.recordNumberTyped("2");
    EXPECT_TRUE(browser_.rows().empty());
    EXPECT_EQ(browser_.recordNumberText(), "");
}

// A folder opens for reading but cannot be read: the failure's text, and zeros for values.
TEST_F(RecordBrowser, AReadFailureShowsItsTextAndEmptyValues) {
    DataFileInfo info = inspected(recordsOf(3), 3);
    info.fileName = folder_.path().string();
    browser_.enter(info, kFields);
    ASSERT_TRUE(browser_.isOpen());
    ASSERT_FALSE(messages_.shown().empty());
    EXPECT_EQ(messages_.shown().back().text, "Is a directory");
    EXPECT_EQ(value("Number"), "");
    EXPECT_EQ(browser_.recordNumberText(), "1");
}

TEST_F(RecordBrowser, NothingOpensWithoutAFileOrALayout) {
    DataFileInfo info = inspected(recordsOf(3), 3);
    browser_.enter(info, {});
    EXPECT_FALSE(browser_.isOpen());
    info.fileName.clear();
    browser_.enter(info, kFields);
    EXPECT_FALSE(browser_.isOpen());
    EXPECT_TRUE(messages_.shown().empty());
}

// The same records gzipped, and as NAACCR XML Tumors (the record number in item 20, the
// letters in item 400), are browsed forward, back and by number as the plain file is.
TEST_F(RecordBrowser, GzippedAndXmlFilesAreBrowsedLikeAPlainOne) {
    const std::string gzipPath = (folder_.path() / "d.gz").string();
    gzFile gzip = gzopen(gzipPath.c_str(), "wb");
    const std::string plain = recordsOf(30);
    gzwrite(gzip, plain.data(), static_cast<unsigned>(plain.size()));
    gzclose(gzip);
    std::string xml =
        "<NaaccrData recordType=\"I\" xmlns=\"http://naaccr.org/naaccrxml\"><Patient>";
    for (int n = 1; n <= 30; ++n)
        xml += "<Tumor><Item naaccrId=\"n\" naaccrNum=\"20\">" + std::string(n < 10 ? "0" : "") +
               std::to_string(n) +
               "</Item><Item naaccrId=\"l\" naaccrNum=\"400\">ABCDE</Item></Tumor>";
    xml += "</Patient></NaaccrData>";
    const std::string xmlPath = folder_.write("d.xml", xml).string();

    // An XML record takes the layout's length, which holds all of its fields.
    struct Form {
        std::string path;
        vetra::desktop::DataFileForm form;
        std::int64_t recordLength;
    };
    for (const Form& form : {Form{gzipPath, {vetra::desktop::DataFormat::FixedWidth, true}, 24},
                             Form{xmlPath, {vetra::desktop::DataFormat::NaaccrXml, false}, 42}}) {
        SCOPED_TRACE(form.path);
        DataFileInfo info;
        info.fileName = form.path;
        info.recordLength = form.recordLength;
        info.recordCount = 30;
        info.fileSize = std::filesystem::file_size(form.path);
        info.form = form.form;
        browser_.enter(info, kFields);
        EXPECT_EQ(value("Number"), "01");
        EXPECT_EQ(value("Letters"), "ABCDE");
        browser_.step(10);
        EXPECT_EQ(value("Number"), "11");
        browser_.step(-1);
        EXPECT_EQ(value("Number"), "10");
        browser_.recordNumberTyped("30");
        EXPECT_EQ(value("Number"), "30");
        browser_.sliderMoved(0);
        EXPECT_EQ(value("Number"), "01");
        browser_.leave();
    }
    EXPECT_TRUE(messages_.shown().empty()) << messages_.shown()[0].text;
}

} // namespace
