// NAACCR XML files read as flat records through a small layout of 40 columns: how items of
// each level land in the record, how values are decoded, which files are refused and with
// what message, and that a damaged or truncated file never yields a wrong record.
#include "desktop/data/naaccr_xml_records.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

using vetra::desktop::ByteReader;
using vetra::desktop::NaaccrXmlRecords;
using vetra::desktop::XmlLayoutField;
using Result = NaaccrXmlRecords::Result;

constexpr int recordLength = 40;

std::vector<XmlLayoutField> layout() {
    return {{10, "recordType", 1, 1},
            {20, "patientIdNumber", 2, 8},
            {400, "primarySite", 10, 4},
            {390, "dateOfDiagnosis", 14, 8},
            {2520, "textDxProcPe", 22, 12}};
}

// A reader over `text` that hands out at most `chunk` bytes a call.
ByteReader readerOf(std::string text, std::size_t chunk = 1 << 20) {
    auto data = std::make_shared<std::string>(std::move(text));
    auto position = std::make_shared<std::size_t>(0);
    return [data, position, chunk](char* buffer, std::size_t capacity) -> std::int64_t {
        const std::size_t count = std::min({chunk, capacity, data->size() - *position});
        std::copy_n(data->data() + *position, count, buffer);
        *position += count;
        return static_cast<std::int64_t>(count);
    };
}

struct Outcome {
    std::vector<std::string> records;
    Result last = Result::Record;
    std::string error;
};

Outcome readAll(NaaccrXmlRecords& reader) {
    Outcome outcome;
    std::string record;
    while ((outcome.last = reader.next(record)) == Result::Record)
        outcome.records.push_back(record);
    outcome.error = reader.errorText();
    return outcome;
}

Outcome readAll(const std::string& xml, std::size_t chunk = 1 << 20) {
    NaaccrXmlRecords reader(readerOf(xml, chunk), layout(), recordLength);
    return readAll(reader);
}

std::string errorOf(const std::string& xml) {
    const Outcome outcome = readAll(xml);
    EXPECT_EQ(outcome.last, Result::Error) << xml;
    return outcome.error;
}

// A record of the layout with each value at its column, blank elsewhere.
std::string record(std::initializer_list<std::pair<int, std::string>> values) {
    std::string text(recordLength, ' ');
    for (const auto& [column, value] : values)
        text.replace(static_cast<std::size_t>(column - 1), value.size(), value);
    return text;
}

const std::string header = R"(<?xml version="1.0" encoding="UTF-8"?>
<NaaccrData baseDictionaryUri="http://naaccr.org/naaccrxml/naaccr-dictionary-180.xml"
            recordType="I" specificationVersion="1.5" xmlns="http://naaccr.org/naaccrxml">
)";

std::string document(const std::string& body) {
    return header + body + "</NaaccrData>\n";
}

// Two patients, the first with two tumours, with values of every kind the reader decodes.
const std::string twoPatients = document(R"(  <Item naaccrId="recordType" naaccrNum="10">I</Item>
  <Patient>
    <Item naaccrId="patientIdNumber" naaccrNum="20">00000001</Item>
    <Tumor>
      <Item naaccrId="primarySite" naaccrNum="400">C500</Item>
      <Item naaccrId="textDxProcPe">a &amp; b &lt;c&gt;</Item>
    </Tumor>
    <Tumor>
      <Item naaccrId="primarySite">C&#54;19</Item>
      <Item naaccrId="textDxProcPe"><![CDATA[<x> & "y"]]></Item>
    </Tumor>
  </Patient>
  <Patient>
    <Item naaccrId="patientIdNumber">00000002</Item>
    <Tumor>
      <Item naaccrNum="390" naaccrId="dateOfDiagnosis">20170304</Item>
      <Item naaccrId="textDxProcPe">Ça va</Item>
    </Tumor>
  </Patient>
)");

const std::vector<std::string> twoPatientsRecords = {
    record({{1, "I"}, {2, "00000001"}, {10, "C500"}, {22, "a & b <c>"}}),
    record({{1, "I"}, {2, "00000001"}, {10, "C619"}, {22, "<x> & \"y\""}}),
    record({{1, "I"},
            {2, "00000002"},
            {14, "20170304"},
            {22, "\xC3\x87"
                 "a va"}}),
};

TEST(NaaccrXmlFlattening, EachTumorIsARecordOfItsOwnItemsAndThoseOfItsParents) {
    const Outcome outcome = readAll(twoPatients);
    EXPECT_EQ(outcome.last, Result::End) << outcome.error;
    EXPECT_EQ(outcome.records, twoPatientsRecords);
}

// A naaccrId the layout does not know leaves the number to place the item: a metafile's third
// names need not be the XML ids.
TEST(NaaccrXmlFlattening, ANumberPlacesAnItemWhoseIdTheLayoutLacksAndAnIdOnlyWithoutANumber) {
    const Outcome outcome = readAll(document(R"(<Patient><Tumor>
      <Item naaccrId="siteOfSomethingElse" naaccrNum="400">C340</Item>
      <Item naaccrId="patientIdNumber">12345678</Item>
      <Item naaccrId="localExtra" naaccrNum="9999">x</Item>
    </Tumor></Patient>)"));
    EXPECT_EQ(outcome.last, Result::End) << outcome.error;
    EXPECT_EQ(outcome.records, std::vector{record({{2, "12345678"}, {10, "C340"}})});
}

TEST(NaaccrXmlFlattening, AnItemWhoseIdNamesAFieldOfAnotherNumberIsRefused) {
    EXPECT_EQ(errorOf(document(R"(<Patient><Tumor>
      <Item naaccrId="primarySite" naaccrNum="20">C123</Item></Tumor></Patient>)")),
              "line 5: item \"primarySite\" has naaccrNum 20, the number of item "
              "\"patientIdNumber\": its naaccrId and naaccrNum disagree");
    EXPECT_EQ(errorOf(document(R"(<Patient><Tumor>
      <Item naaccrId="patientIdNumber" naaccrNum="12345">1</Item></Tumor></Patient>)")),
              "line 5: item \"patientIdNumber\" has naaccrNum 12345, but item "
              "\"patientIdNumber\" has number 20: its naaccrId and naaccrNum disagree");
}

TEST(NaaccrXmlFlattening, AFieldWithoutANumberIsPlacedByItsId) {
    NaaccrXmlRecords reader(readerOf(document(R"(<Patient><Tumor>
      <Item naaccrId="anyName" naaccrNum="20">12345678</Item>
      <Item naaccrId="primarySite" naaccrNum="400">C340</Item>
    </Tumor></Patient>)")),
                            {{20, "", 2, 8}, {0, "primarySite", 10, 4}}, recordLength);
    const Outcome outcome = readAll(reader);
    EXPECT_EQ(outcome.last, Result::End) << outcome.error;
    EXPECT_EQ(outcome.records, std::vector{record({{2, "12345678"}, {10, "C340"}})});
}

TEST(NaaccrXmlFlattening, ALowerLevelOverridesAFieldForItsOwnElementOnly) {
    const Outcome outcome = readAll(document(R"(<Item naaccrId="primarySite">C000</Item>
      <Patient>
        <Item naaccrId="primarySite">C1</Item>
        <Tumor><Item naaccrId="primarySite">C22</Item></Tumor>
        <Tumor><Item naaccrId="primarySite"/></Tumor>
        <Tumor/>
      </Patient>
      <Patient><Tumor/></Patient>)"));
    EXPECT_EQ(outcome.records, (std::vector{record({{10, "C22"}}), record({}), record({{10, "C1"}}),
                                            record({{10, "C000"}})}));
}

TEST(NaaccrXmlFlattening, ElementsOfTheNaaccrNamespaceOrNoneCountAndExtensionsAreSkipped) {
    const std::string prefixed = R"(<n:NaaccrData xmlns:n="http://naaccr.org/naaccrxml"
        xmlns:x="http://example.org/ext" recordType="A">
      <x:Note><n:Item naaccrId="primarySite">C999</n:Item>text</x:Note>
      <n:Patient><n:Tumor>
        <n:Item naaccrId="primarySite">C500</n:Item>
        <x:Tumor><x:Item naaccrId="recordType">X</x:Item></x:Tumor>
      </n:Tumor></n:Patient></n:NaaccrData>)";
    Outcome outcome = readAll(prefixed);
    EXPECT_EQ(outcome.last, Result::End) << outcome.error;
    EXPECT_EQ(outcome.records, std::vector{record({{10, "C500"}})});

    outcome = readAll(R"(<NaaccrData><Patient><Tumor><Item naaccrId="primarySite">C500</Item>
        </Tumor></Patient></NaaccrData>)");
    EXPECT_EQ(outcome.records, std::vector{record({{10, "C500"}})});
}

TEST(NaaccrXmlValues, ReadingInAnySizeOfPiecesGivesTheSameRecords) {
    for (std::size_t chunk : {1, 2, 3, 7, 64}) {
        const Outcome outcome = readAll(twoPatients, chunk);
        EXPECT_EQ(outcome.last, Result::End) << chunk << ": " << outcome.error;
        EXPECT_EQ(outcome.records, twoPatientsRecords) << chunk;
    }
}

TEST(NaaccrXmlValues, AValueLongerThanItsFieldIsRefusedNamingLineAndItem) {
    EXPECT_EQ(errorOf(document(R"(<Patient><Tumor>
      <Item naaccrId="primarySite" naaccrNum="400">C5009</Item>
    </Tumor></Patient>)")),
              "line 5: item \"primarySite\" (400) holds 5 characters; its field has 4");
    EXPECT_EQ(errorOf(document(R"(<Patient><Tumor><Item naaccrId="primarySite">Ç500</Item>
    </Tumor></Patient>)")),
              "line 4: item \"primarySite\" (400) holds 4 characters, 5 bytes in UTF-8; its "
              "field has 4");
}

TEST(NaaccrXmlValues, AnItemGivenTwiceInOneElementIsRefused) {
    EXPECT_EQ(errorOf(document(R"(<Patient><Tumor>
      <Item naaccrId="primarySite">C500</Item>
      <Item naaccrId="primarySite" naaccrNum="400">C500</Item>
    </Tumor></Patient>)")),
              "line 6: item \"primarySite\" (400) is given twice in one element");
    EXPECT_EQ(errorOf(document(R"(<Patient>
      <Item naaccrId="patientIdNumber">1</Item><Item naaccrId="patientIdNumber"/>
      </Patient>)")),
              "line 5: item \"patientIdNumber\" (20) is given twice in one element");
}

TEST(NaaccrXmlValues, ItemsWithoutAFieldAreCountedOncePerItemWithTheirFirstLine) {
    NaaccrXmlRecords reader(readerOf(document(R"(<Item naaccrId="registryId">1</Item>
      <Patient>
        <Item naaccrId="nameLast" naaccrNum="2230">Doe</Item>
        <Tumor><Item naaccrId="registryId"/></Tumor>
        <Tumor><Item naaccrId="registryId">)" +
                                              std::string(3000000, 'x') +
                                              R"(</Item></Tumor>
      </Patient>)")),
                            layout(), recordLength);
    EXPECT_EQ(readAll(reader).last, Result::End);
    const auto& unknown = reader.unknownItems();
    ASSERT_EQ(unknown.size(), 2u);
    EXPECT_EQ(unknown.at("registryId").count, 3);
    EXPECT_EQ(unknown.at("registryId").firstLine, 4);
    EXPECT_EQ(unknown.at("nameLast").count, 1);
    EXPECT_EQ(unknown.at("nameLast").firstLine, 6);
}

TEST(NaaccrXmlFiles, FilesThatAreNotNaaccrXmlAreRefusedWithTheReason) {
    EXPECT_EQ(errorOf(""), "the file is empty");
    EXPECT_EQ(errorOf("I 00000001 C500\n"), "line 1: the file is not XML: syntax error");
    EXPECT_EQ(errorOf("<?xml version=\"1.0\"?>\n<html><body/></html>"),
              "line 2: the file is not a NAACCR XML file: its root element is <html>");
    EXPECT_EQ(errorOf("<NaaccrData xmlns=\"http://example.org/other\"/>"),
              "line 1: the file is not a NAACCR XML file: its root element is <NaaccrData> of "
              "namespace \"http://example.org/other\"");
}

TEST(NaaccrXmlFiles, MalformedFilesAreRefusedWithTheParsersReasonAndLine) {
    EXPECT_EQ(errorOf(document("<Patient><Tumor></Patient>\n")),
              "line 4: malformed XML: mismatched tag");
    EXPECT_EQ(errorOf(document("<Patient><Tumor><Item naaccrId=\"a\">&bogus;</Item>")),
              "line 4: malformed XML: undefined entity");
    EXPECT_EQ(errorOf(document("") + "<NaaccrData/>"),
              "line 5: malformed XML: junk after document element");
}

TEST(NaaccrXmlFiles, ElementsOutOfTheirPlaceAreRefused) {
    EXPECT_EQ(errorOf(document("<Tumor/>")), "line 4: a <Tumor> outside a <Patient>");
    EXPECT_EQ(errorOf(document("<Patient><Tumor><Item>1</Item></Tumor></Patient>")),
              "line 4: an <Item> without a naaccrId");
    EXPECT_EQ(errorOf(document("<Patient><Tumor><Item naaccrId=\"a\" naaccrNum=\"4x\"/>")),
              "line 4: item \"a\" (4x) has a naaccrNum that is not a number");
    EXPECT_EQ(errorOf(document("<Patient><Tumor/><Item naaccrId=\"primarySite\"/></Patient>")),
              "line 4: an <Item> of a <Patient> after its first <Tumor>");
    EXPECT_EQ(errorOf(document("<Patient/><Item naaccrId=\"primarySite\"/>")),
              "line 4: an <Item> of <NaaccrData> after its first <Patient>");
    EXPECT_EQ(errorOf(document("<Patient><Tumor><Item naaccrId=\"primarySite\"><b/></Item>")),
              "line 4: item \"primarySite\" (400) holds an element, <b>");
    EXPECT_EQ(errorOf(document("<Patient><Patient/></Patient>")),
              "line 4: <Patient> inside a <Patient>");
}

TEST(NaaccrXmlFiles, EveryTruncationEndsInAnErrorAfterOnlyTheRecordsOfTheWholeFile) {
    const std::string ending = "</NaaccrData>";
    const std::size_t complete = twoPatients.rfind(ending) + ending.size();
    for (std::size_t size = 0; size < twoPatients.size(); ++size) {
        const Outcome outcome = readAll(twoPatients.substr(0, size));
        ASSERT_LE(outcome.records.size(), twoPatientsRecords.size());
        EXPECT_TRUE(
            std::equal(outcome.records.begin(), outcome.records.end(), twoPatientsRecords.begin()))
            << size;
        if (size < complete) {
            EXPECT_EQ(outcome.last, Result::Error) << size;
            EXPECT_FALSE(outcome.error.empty()) << size;
        } else {
            EXPECT_EQ(outcome.last, Result::End) << size;
        }
    }
    EXPECT_EQ(errorOf(twoPatients.substr(0, twoPatients.find("<Tumor>") + 7)),
              "line 7: the file ends inside an element (no element found): it is truncated");
}

TEST(NaaccrXmlFiles, AfterTheEndOrAnErrorEveryCallGivesTheSame) {
    NaaccrXmlRecords ended(readerOf(twoPatients), layout(), recordLength);
    readAll(ended);
    std::string record = "untouched";
    EXPECT_EQ(ended.next(record), Result::End);
    EXPECT_FALSE(ended.skip(1));
    EXPECT_EQ(record, "untouched");

    NaaccrXmlRecords failed(readerOf(document("<Tumor/>")), layout(), recordLength);
    readAll(failed);
    EXPECT_EQ(failed.next(record), Result::Error);
    EXPECT_FALSE(failed.skip(0));
    EXPECT_EQ(failed.errorText(), "line 4: a <Tumor> outside a <Patient>");
}

TEST(NaaccrXmlFiles, AFailedReadIsAnError) {
    auto first = std::make_shared<bool>(true);
    ByteReader failing = [first](char* buffer, std::size_t capacity) -> std::int64_t {
        if (!*first) return -1;
        *first = false;
        const std::size_t count = std::min(capacity, header.size());
        std::copy_n(header.data(), count, buffer);
        return static_cast<std::int64_t>(count);
    };
    NaaccrXmlRecords reader(failing, layout(), recordLength);
    EXPECT_EQ(readAll(reader).last, Result::Error);
    EXPECT_EQ(reader.errorText(),
              "line 4: reading the file failed after " + std::to_string(header.size()) + " bytes");

    *first = true;
    NaaccrXmlRecords told(failing, layout(), recordLength,
                          [] { return std::string("the compressed data ends early"); });
    EXPECT_EQ(readAll(told).last, Result::Error);
    EXPECT_EQ(told.errorText(), "line 4: reading the file failed after " +
                                    std::to_string(header.size()) +
                                    " bytes: the compressed data ends early");
}

TEST(NaaccrXmlFiles, HostileFilesAreRefusedBeforeTheyExhaustMemory) {
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep += "<x:a>";
    EXPECT_EQ(errorOf(document("<x:e xmlns:x=\"http://example.org/ext\">" + deep)),
              "line 4: elements nest more than 64 deep");

    EXPECT_EQ(errorOf(document("<Patient a=\"" + std::string(3 << 20, 'a') + "\"/>")),
              "line 4: a tag, comment or declaration runs on for more than 1048576 bytes");

    std::string laughs = "<!DOCTYPE NaaccrData [<!ENTITY l0 \"lollollollol\">";
    for (int i = 1; i < 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]>\n<NaaccrData><Patient><Tumor><Item naaccrId=\"x\">&l9;</Item>";
    laughs += "</Tumor></Patient></NaaccrData>";
    EXPECT_NE(errorOf(laughs).find("malformed XML: limit on input amplification factor"),
              std::string::npos);
}

TEST(NaaccrXmlSkip, SkippedTumorsAreCountedAndStillChecked) {
    NaaccrXmlRecords reader(readerOf(twoPatients), layout(), recordLength);
    ASSERT_TRUE(reader.skip(2));
    std::string record;
    ASSERT_EQ(reader.next(record), Result::Record);
    EXPECT_EQ(record, twoPatientsRecords[2]);
    EXPECT_EQ(reader.next(record), Result::End);

    NaaccrXmlRecords past(readerOf(twoPatients), layout(), recordLength);
    EXPECT_TRUE(past.skip(0));
    EXPECT_FALSE(past.skip(4));
    EXPECT_EQ(past.next(record), Result::End);

    NaaccrXmlRecords checked(
        readerOf(document("<Patient><Tumor><Item naaccrId=\"primarySite\">C5000</Item>")), layout(),
        recordLength);
    EXPECT_FALSE(checked.skip(1));
    EXPECT_EQ(checked.errorText(),
              "line 4: item \"primarySite\" (400) holds 5 characters; its field has 4");
}

TEST(NaaccrXmlHeader, RecordTypeAndVersionAreKnownAfterTheFirstCallEvenWithoutTumors) {
    NaaccrXmlRecords reader(readerOf(document("")), layout(), recordLength);
    EXPECT_EQ(reader.recordType(), "");
    EXPECT_TRUE(reader.skip(0));
    EXPECT_EQ(reader.recordType(), "I");
    EXPECT_EQ(reader.naaccrVersion(), "180");
    std::string record;
    EXPECT_EQ(reader.next(record), Result::End);

    NaaccrXmlRecords other(
        readerOf(R"(<NaaccrData baseDictionaryUri="http://example.org/my-dictionary.xml"/>)"),
        layout(), recordLength);
    EXPECT_EQ(other.next(record), Result::End);
    EXPECT_EQ(other.recordType(), "");
    EXPECT_EQ(other.naaccrVersion(), "");
}

TEST(NaaccrXmlLayout, ALayoutFieldOutsideTheRecordIsReportedOnTheFirstCall) {
    NaaccrXmlRecords reader(readerOf(twoPatients), {{400, "primarySite", 38, 4}}, recordLength);
    std::string record;
    EXPECT_EQ(reader.next(record), Result::Error);
    EXPECT_EQ(reader.errorText(), "the layout's field for item 400 (\"primarySite\", column 38, "
                                  "length 4) does not fit a record of 40 characters");
}

} // namespace
