// The generator's NAACCR XML output: read back with the desktop program's XML reader by the
// sample layout, it gives the fixed-width records of the same seed byte for byte; and the
// command line writes either format plain or gzipped.
#include "desktop/data/naaccr_xml_records.h"
#include "tests/support/file_contents.h"
#include "tools/naaccr_generator/generator_error.h"
#include "tools/naaccr_generator/incidence_generator.h"
#include "tools/naaccr_generator/incidence_layout.h"
#include "tools/naaccr_generator/incidence_xml.h"
#include "tools/naaccr_generator/xml_items.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;
using vetra::desktop::NaaccrXmlRecords;
using vetra::generator::GeneratorError;
using vetra::generator::IncidenceGenerator;
using vetra::generator::IncidenceLayout;
using vetra::generator::IncidenceRecord;
using vetra::generator::XmlItems;

const fs::path sampleDirectory = NAACCR18_SAMPLE;

const IncidenceLayout& sampleLayout() {
    static const IncidenceLayout layout =
        vetra::generator::readIncidenceLayout(sampleDirectory / "layout.csv");
    return layout;
}

const XmlItems& sampleXmlItems() {
    static const XmlItems items = vetra::generator::readXmlItems(sampleDirectory / "xml_items.csv");
    return items;
}

std::string fixedText(std::uint64_t seed, double faultRate, long count) {
    IncidenceGenerator generator(sampleLayout(), seed, faultRate);
    std::ostringstream out;
    vetra::generator::writeIncidenceRecords(out, generator, count);
    return out.str();
}

std::string xmlText(std::uint64_t seed, double faultRate, long count) {
    IncidenceGenerator generator(sampleLayout(), seed, faultRate);
    std::ostringstream out;
    vetra::generator::writeIncidenceXml(out, generator, count, sampleLayout(), sampleXmlItems());
    return out.str();
}

// The sample layout as the XML reader takes it.
std::vector<vetra::desktop::XmlLayoutField> readerFields() {
    std::vector<vetra::desktop::XmlLayoutField> fields;
    for (const auto& field : sampleLayout().fields()) {
        const auto* item = sampleXmlItems().find(field.item);
        fields.push_back({static_cast<int>(field.item), item != nullptr ? item->naaccrId : "",
                          field.firstColumn, field.length});
    }
    return fields;
}

std::string flattened(const std::string& xml) {
    std::istringstream in(xml);
    NaaccrXmlRecords reader(
        [&in](char* buffer, std::size_t capacity) -> std::int64_t {
            in.read(buffer, static_cast<std::streamsize>(capacity));
            return in.gcount();
        },
        readerFields(), vetra::generator::incidenceRecordLength);
    std::string lines;
    std::string record;
    while (reader.next(record) == NaaccrXmlRecords::Result::Record)
        lines += record + "\n";
    EXPECT_EQ(reader.errorText(), "");
    EXPECT_EQ(reader.recordType(), "I");
    EXPECT_EQ(reader.naaccrVersion(), "180");
    EXPECT_TRUE(reader.unknownItems().empty());
    return lines;
}

TEST(NaaccrGenerateXml, ReadBackByTheLayoutGivesTheFixedWidthRecords) {
    for (double faultRate : {0.0, 1.0}) {
        const std::string fixed = fixedText(18, faultRate, 300);
        EXPECT_EQ(flattened(xmlText(18, faultRate, 300)), fixed) << faultRate;
    }
}

// A layout of four items, one at each level and one with no XML item, records set by hand.
class SmallDocument : public ::testing::Test {
protected:
    IncidenceLayout layout{{{10, 1, 1}, {20, 2, 8}, {400, 10, 6}, {99990001, 20, 5}}};
    XmlItems items{{{10, "recordType", vetra::generator::XmlParent::NaaccrData},
                    {20, "patientIdNumber", vetra::generator::XmlParent::Patient},
                    {400, "primarySite", vetra::generator::XmlParent::Tumor}}};
    IncidenceRecord record{layout};
    std::ostringstream out;
    vetra::generator::IncidenceXmlWriter writer{out, layout, items};
};

TEST_F(SmallDocument, ValuesKeepLeadingBlanksLoseTrailingOnesAndAreEscaped) {
    record.set(10, "I");
    record.set(20, " 1");
    record.set(400, "<&\"'>");
    writer.write(record);
    record.set(20, "");
    record.set(400, "C5 ");
    writer.write(record);
    writer.finish();
    EXPECT_EQ(out.str(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<NaaccrData baseDictionaryUri=\"http://naaccr.org/naaccrxml/"
              "naaccr-dictionary-180.xml\" recordType=\"I\" specificationVersion=\"1.5\" "
              "xmlns=\"http://naaccr.org/naaccrxml\">\n"
              "  <Item naaccrId=\"recordType\" naaccrNum=\"10\">I</Item>\n"
              "  <Patient>\n"
              "    <Item naaccrId=\"patientIdNumber\" naaccrNum=\"20\"> 1</Item>\n"
              "    <Tumor>\n"
              "      <Item naaccrId=\"primarySite\" naaccrNum=\"400\">"
              "&lt;&amp;&quot;&apos;&gt;</Item>\n"
              "    </Tumor>\n"
              "  </Patient>\n"
              "  <Patient>\n"
              "    <Tumor>\n"
              "      <Item naaccrId=\"primarySite\" naaccrNum=\"400\">C5</Item>\n"
              "    </Tumor>\n"
              "  </Patient>\n"
              "</NaaccrData>\n");
}

TEST_F(SmallDocument, RefusesRecordsItCannotWriteFaithfully) {
    record.set(10, "I");
    writer.write(record);
    record.set(10, "A");
    try {
        writer.write(record);
        FAIL() << "a second record type was written";
    } catch (const GeneratorError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "record 2: item recordType differs from the first record's, and a NAACCR XML "
                  "file gives it once for all records");
    }
    record.set(10, "I");
    record.set(99990001, "x");
    try {
        writer.write(record);
        FAIL() << "an item without an XML item was written";
    } catch (const GeneratorError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "record 3: item 99990001 has a value but no NAACCR XML item to write it as");
    }
}

TEST(NaaccrGenerateXml, NamesTheLineOfABadXmlItemsRow) {
    try {
        vetra::generator::parseXmlItems("local,naaccr_id,parent\n10,recordType,NaaccrData\n"
                                        "20,patientIdNumber,Person\n",
                                        "xml_items.csv");
        FAIL() << "a parent that is no element was taken";
    } catch (const GeneratorError& error) {
        EXPECT_EQ(std::string(error.what()), "xml_items.csv: line 3: parent \"Person\" is not "
                                             "NaaccrData, Patient or Tumor");
    }
}

// ---- The command line ------------------------------------------------------------------------

std::string gunzipped(const fs::path& file) {
    gzFile in = gzopen(file.c_str(), "rb");
    if (in == nullptr) return "(cannot open " + file.string() + ")";
    std::string text;
    char buffer[65536];
    int got = 0;
    while ((got = gzread(in, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    gzclose(in);
    return text;
}

using vetra::testing::fileContents;

class GenerateCommand : public ::testing::Test {
protected:
    void TearDown() override {
        fs::remove(output);
        fs::remove(errors);
    }

    int run(const std::string& options) {
        const std::string command = std::string(NAACCR_GENERATE_PATH) +
                                    " --records 25 --seed 7 --fault-rate 0.5 --layout " +
                                    (sampleDirectory / "layout.csv").string() + " " + options +
                                    " 2>" + errors.string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Each test runs in a process of its own, and CTest runs them side by side.
    const std::string suffix = std::to_string(::getpid());
    fs::path output = fs::temp_directory_path() / ("naaccr_generate_xml_test.out." + suffix);
    fs::path errors = fs::temp_directory_path() / ("naaccr_generate_xml_test.err." + suffix);
};

TEST_F(GenerateCommand, WritesEitherFormatPlainOrGzipped) {
    ASSERT_EQ(run("--format xml -o " + output.string()), 0) << fileContents(errors);
    EXPECT_EQ(fileContents(output), xmlText(7, 0.5, 25));
    ASSERT_EQ(run("--format xml --gzip -o " + output.string()), 0) << fileContents(errors);
    EXPECT_EQ(gunzipped(output), xmlText(7, 0.5, 25));
    ASSERT_EQ(run("--gzip -o " + output.string()), 0) << fileContents(errors);
    EXPECT_EQ(gunzipped(output), fixedText(7, 0.5, 25));
}

TEST_F(GenerateCommand, RefusesAnUnknownFormat) {
    EXPECT_EQ(run("--format csv -o " + output.string()), 1);
    EXPECT_NE(fileContents(errors).find("--format is fixed or xml, not \"csv\""), std::string::npos)
        << fileContents(errors);
}

} // namespace
