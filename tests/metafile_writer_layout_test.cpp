// Checks the record layouts and the data dictionary the metafile writer puts into _RE_DDIC.DBF,
// _RE_BUFF.DBF and _RE_COMP.DBF, by decoding the bytes of the finished metafile. Offsets into a
// record count from 0 at the byte after the deletion mark.
#include "tests/support/scratch_directory.h"
#include "tools/metafile_writer/catalogue_record.h"
#include "tools/metafile_writer/field_type.h"
#include "tools/metafile_writer/manifest_reader.h"
#include "tools/metafile_writer/metafile_builder.h"
#include "tools/metafile_writer/naaccr_dictionary.h"
#include "tools/metafile_writer/record_layout.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using namespace vetra::writer;
namespace fs = std::filesystem;

// ---- Decoding helpers -------------------------------------------------------------------

std::uint32_t littleEndian16(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t littleEndian32(const Bytes& bytes, std::size_t at) {
    return littleEndian16(bytes, at) | littleEndian16(bytes, at + 2) << 16;
}

std::uint32_t bigEndian32(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) << 24 | bytes.at(at + 1) << 16 | bytes.at(at + 2) << 8 | bytes.at(at + 3);
}

std::string textAt(const Bytes& bytes, std::size_t at, std::size_t length) {
    if (at + length > bytes.size()) {
        ADD_FAILURE() << "bytes " << at << " to " << at + length << " are past the end";
        return {};
    }
    auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(at);
    return std::string(begin, begin + static_cast<std::ptrdiff_t>(length));
}

std::string blanks(std::size_t count) {
    return std::string(count, ' ');
}

// A DBF image, read through its header.
class DbfImageView {
public:
    explicit DbfImageView(Bytes image) : image_(std::move(image)) {}

    std::uint32_t recordCount() const { return littleEndian32(image_, 4); }
    std::uint32_t recordLength() const { return littleEndian16(image_, 10); }

    // The text at `offset` of record `index` (both from 0).
    std::string field(std::size_t index, std::size_t offset, std::size_t length) const {
        EXPECT_LT(index, recordCount());
        EXPECT_LE(offset + length + 1, recordLength());
        return textAt(image_, littleEndian16(image_, 8) + index * recordLength() + 1 + offset,
                      length);
    }

    std::size_t imageSize() const {
        return littleEndian16(image_, 8) + std::size_t{recordCount()} * recordLength() + 1;
    }

private:
    Bytes image_;
};

// The content of block `number` of a memo file with 64-byte blocks that starts at `fileStart`.
Bytes memoContent(const Bytes& bytes, std::uint32_t number, std::size_t fileStart = 0) {
    std::size_t at = fileStart + std::size_t{number} * 64;
    std::uint32_t length = bigEndian32(bytes, at + 4);
    std::string content = textAt(bytes, at + 8, length);
    return Bytes(content.begin(), content.end());
}

std::string memoText(const Bytes& memoFile, const std::string& blockField) {
    EXPECT_NE(blockField, blanks(blockField.size())) << "no memo";
    Bytes content = memoContent(memoFile, static_cast<std::uint32_t>(std::stoul(blockField)));
    return std::string(content.begin(), content.end());
}

struct EmbeddedTable {
    DbfImageView table;
    Bytes memoFile;
};

// The table image and memo file the directory at 512 lists under `name`.
EmbeddedTable embeddedTable(const Bytes& metafile, const std::string& name) {
    DbfImageView directory(Bytes(metafile.begin() + 512, metafile.end()));
    std::size_t memoBase = 512 + directory.imageSize();
    for (std::size_t i = 0; i < directory.recordCount(); ++i) {
        if (directory.field(i, 0, 12) != name + blanks(12 - name.size())) continue;
        auto block = [&](std::size_t offset) {
            std::string text = directory.field(i, offset, 10);
            return text == blanks(10)
                       ? Bytes{}
                       : memoContent(metafile, static_cast<std::uint32_t>(std::stoul(text)),
                                     memoBase);
        };
        return EmbeddedTable{DbfImageView(block(25)), block(35)};
    }
    ADD_FAILURE() << name << " is not in the directory";
    return EmbeddedTable{DbfImageView({}), {}};
}

// ---- A small dictionary and layout --------------------------------------------------------

std::vector<DictionaryEntry> sampleDictionary() {
    return {
        {400, "Primary Site", "Primary Site Code", "primarySite", "C", 4, "SITES.DBF.CODE(1,2)",
         '*'},
        {10, "Record Type", "", "", "C", 1, "", ' '},
        {390, "Date of Diagnosis", "", "dateOfDiagnosis", "D1", 8, "", ' '},
    };
}

RecordLayout sampleLayout() {
    return RecordLayout{1,
                        "NAACCR 18 Incidence",
                        "Incidence records, version 18",
                        {{10, "C", 1, 1, ' '}, {390, "D1", 544, 8, ' '}, {400, "C", 554, 4, 'R'}}};
}

MetafileBuilder dictionaryBuilder() {
    MetafileBuilder builder;
    for (const DictionaryEntry& entry : sampleDictionary())
        builder.addDictionaryEntry(entry);
    return builder;
}

MetafileBuilder sampleBuilder() {
    MetafileBuilder builder = dictionaryBuilder();
    builder.addLayout(sampleLayout());
    return builder;
}

Bytes sampleMetafile() {
    return sampleBuilder().build();
}

// ---- The catalogue _RE_COMP.DBF ------------------------------------------------------------

TEST(LayoutCatalogue, KeyHoldsRlTheNumberInFourAndTheNameIn45) {
    EmbeddedTable catalogue = embeddedTable(sampleMetafile(), "_RE_COMP.DBF");
    ASSERT_EQ(catalogue.table.recordCount(), 1u);
    EXPECT_EQ(catalogue.table.field(0, 0, 2), "RL");
    EXPECT_EQ(catalogue.table.field(0, 2, 4), "   1");
    EXPECT_EQ(catalogue.table.field(0, 6, 1), " ");
    EXPECT_EQ(catalogue.table.field(0, 7, 45), "NAACCR 18 Incidence" + blanks(26));
}

TEST(LayoutCatalogue, SizesGiveTheComponentLengthAndCountThenBlanks) {
    EmbeddedTable catalogue = embeddedTable(sampleMetafile(), "_RE_COMP.DBF");
    EXPECT_EQ(catalogue.table.field(0, 52, 4), "  43");
    EXPECT_EQ(catalogue.table.field(0, 56, 4), "   3");
    EXPECT_EQ(catalogue.table.field(0, 60, 92), blanks(92));
}

TEST(LayoutCatalogue, ComponentsMemoHoldsTheComponentRecordsBackToBack) {
    EmbeddedTable catalogue = embeddedTable(sampleMetafile(), "_RE_COMP.DBF");
    std::string components = memoText(catalogue.memoFile, catalogue.table.field(0, 152, 10));
    ASSERT_EQ(components.size(), 3u * 43);
    EXPECT_EQ(components.substr(0, 8), "      10");
    EXPECT_EQ(components.substr(43, 8), "     390");
    EXPECT_EQ(components.substr(86, 8), "     400");
}

TEST(LayoutCatalogue, DescriptionMemoHoldsTheLayoutsDescriptionAndIsBlankWithout) {
    MetafileBuilder builder = sampleBuilder();
    RecordLayout plain{2, "Short", "", {{10, "C", 1, 1, ' '}}};
    builder.addLayout(plain);
    EmbeddedTable catalogue = embeddedTable(builder.build(), "_RE_COMP.DBF");
    EXPECT_EQ(memoText(catalogue.memoFile, catalogue.table.field(0, 162, 10)),
              "Incidence records, version 18");
    EXPECT_EQ(catalogue.table.field(1, 162, 10), blanks(10));
    EXPECT_EQ(catalogue.table.field(1, 0, 12), "RL   2 Short");
}

TEST(LayoutCatalogue, LaterRecordsFollowTheLayoutsInTheOrderAdded) {
    MetafileBuilder builder = dictionaryBuilder();
    builder.addCatalogueRecord(CatalogueRecord{"ES", 7, "Default", {20, 1}, "EDIT ONE", ""});
    builder.addLayout(RecordLayout{9, "Second", "", {{10, "C", 1, 1, ' '}}});
    builder.addLayout(sampleLayout());
    EmbeddedTable catalogue = embeddedTable(builder.build(), "_RE_COMP.DBF");
    ASSERT_EQ(catalogue.table.recordCount(), 3u);
    EXPECT_EQ(catalogue.table.field(0, 0, 13), "RL   9 Second");
    EXPECT_EQ(catalogue.table.field(1, 0, 6), "RL   1");
    EXPECT_EQ(catalogue.table.field(2, 0, 14), "ES   7 Default");
    EXPECT_EQ(catalogue.table.field(2, 52, 8), "  20   1");
    EXPECT_EQ(memoText(catalogue.memoFile, catalogue.table.field(2, 152, 10)), "EDIT ONE");
}

TEST(LayoutCatalogue, RefusesRecordsThatDoNotFitTheKey) {
    MetafileBuilder builder;
    EXPECT_THROW(builder.addCatalogueRecord(CatalogueRecord{"E", 1, "x", {}, "", ""}), WriterError);
    EXPECT_THROW(builder.addCatalogueRecord(CatalogueRecord{"ES", 10000, "x", {}, "", ""}),
                 WriterError);
    EXPECT_THROW(
        builder.addCatalogueRecord(CatalogueRecord{"ES", 1, std::string(46, 'n'), {}, "", ""}),
        WriterError);
    EXPECT_THROW(
        builder.addCatalogueRecord(CatalogueRecord{"ES", 1, "x", std::vector<int>(26, 1), "", ""}),
        WriterError);
}

// ---- Component records ---------------------------------------------------------------------

std::string componentRecord(const Bytes& metafile, std::size_t index) {
    EmbeddedTable catalogue = embeddedTable(metafile, "_RE_COMP.DBF");
    return memoText(catalogue.memoFile, catalogue.table.field(0, 152, 10)).substr(index * 43, 43);
}

TEST(ComponentRecords, PlaceTheFieldAtEachOffset) {
    std::string record = componentRecord(sampleMetafile(), 1);
    EXPECT_EQ(record.substr(0, 8), "     390");
    EXPECT_EQ(record.substr(8, 2), "D1");
    EXPECT_EQ(record.substr(10, 4), "   1");
    EXPECT_EQ(record.substr(14, 5), "  544");
    EXPECT_EQ(record.substr(19, 4), blanks(4));
    EXPECT_EQ(record.substr(23, 4), "   8");
    EXPECT_EQ(record.substr(27, 1), " ");
    EXPECT_EQ(record.substr(28, 7), blanks(7));
    EXPECT_EQ(record.substr(35, 8), "       2");
}

TEST(ComponentRecords, CarryTheLayoutsFlagAndPadOneLetterTypes) {
    EXPECT_EQ(componentRecord(sampleMetafile(), 2), "     400"
                                                    "C "
                                                    "   1"
                                                    "  554"
                                                    "    "
                                                    "   4"
                                                    "R"
                                                    "       "
                                                    "       3");
    EXPECT_EQ(componentRecord(sampleMetafile(), 0), "      10"
                                                    "C "
                                                    "   1"
                                                    "    1"
                                                    "    "
                                                    "   1"
                                                    " "
                                                    "       "
                                                    "       1");
}

TEST(ComponentRecords, PointAtTheDictionaryRecordOfTheirLocalNumber) {
    Bytes metafile = sampleMetafile();
    DbfImageView dictionary = embeddedTable(metafile, "_RE_DDIC.DBF").table;
    for (std::size_t i = 0; i < 3; ++i) {
        std::string record = componentRecord(metafile, i);
        std::size_t dictionaryRecord = std::stoul(record.substr(35, 8));
        EXPECT_EQ(dictionary.field(dictionaryRecord - 1, 29, 8), record.substr(0, 8));
        EXPECT_EQ(dictionary.field(dictionaryRecord - 1, 25, 4),
                  blanks(3) + std::to_string(dictionaryRecord));
    }
}

// ---- The data dictionary _RE_DDIC.DBF ------------------------------------------------------

TEST(DataDictionaryTable, HasOneRecordPerEntryInTheOrderOfLocalNumbers) {
    DbfImageView dictionary = embeddedTable(sampleMetafile(), "_RE_DDIC.DBF").table;
    ASSERT_EQ(dictionary.recordCount(), 3u);
    EXPECT_EQ(dictionary.recordLength(), 173u);
    EXPECT_EQ(dictionary.field(0, 29, 8), "      10");
    EXPECT_EQ(dictionary.field(1, 29, 8), "     390");
    EXPECT_EQ(dictionary.field(2, 29, 8), "     400");
}

TEST(DataDictionaryTable, WritesEveryColumnAtItsOffset) {
    DbfImageView dictionary = embeddedTable(sampleMetafile(), "_RE_DDIC.DBF").table;
    EXPECT_EQ(dictionary.field(2, 0, 25), "Primary Site" + blanks(13));
    EXPECT_EQ(dictionary.field(2, 25, 4), "   3");
    EXPECT_EQ(dictionary.field(2, 29, 8), "     400");
    EXPECT_EQ(dictionary.field(2, 37, 25), "Primary Site Code" + blanks(8));
    EXPECT_EQ(dictionary.field(2, 62, 4), "   4");
    EXPECT_EQ(dictionary.field(2, 66, 2), "C ");
    EXPECT_EQ(dictionary.field(2, 68, 8), "       0");
    EXPECT_EQ(dictionary.field(2, 76, 50), "SITES.DBF.CODE(1,2)" + blanks(31));
    EXPECT_EQ(dictionary.field(2, 126, 25), "primarySite" + blanks(14));
    EXPECT_EQ(dictionary.field(2, 151, 1), "*");
    EXPECT_EQ(dictionary.field(2, 152, 20), blanks(20));
}

TEST(DataDictionaryTable, BlankLongAndThirdNamesTakeTheShortName) {
    MetafileBuilder builder = sampleBuilder();
    EXPECT_EQ(builder.dictionaryEntry(10)->longName, "Record Type");
    EXPECT_EQ(builder.dictionaryEntry(390)->longName, "Date of Diagnosis");
    EXPECT_EQ(builder.dictionaryEntry(11), nullptr);
    DbfImageView dictionary = embeddedTable(builder.build(), "_RE_DDIC.DBF").table;
    EXPECT_EQ(dictionary.field(0, 37, 25), "Record Type" + blanks(14));
    EXPECT_EQ(dictionary.field(0, 126, 25), "Record Type" + blanks(14));
    EXPECT_EQ(dictionary.field(1, 126, 25), "dateOfDiagnosis" + blanks(10));
    EXPECT_EQ(dictionary.field(1, 66, 2), "D1");
    EXPECT_EQ(dictionary.field(1, 151, 1), " ");
}

// ---- The layout fields _RE_BUFF.DBF --------------------------------------------------------

TEST(LayoutFieldTable, HasOneRecordPerFieldOfEveryLayoutAtTheColumnsOffsets) {
    MetafileBuilder builder = sampleBuilder();
    builder.addLayout(RecordLayout{12, "Short", "", {{390, "D6", 30, 10, ' '}}});
    DbfImageView fields = embeddedTable(builder.build(), "_RE_BUFF.DBF").table;
    ASSERT_EQ(fields.recordCount(), 4u);
    EXPECT_EQ(fields.field(1, 0, 8), "     390");
    EXPECT_EQ(fields.field(1, 8, 2), blanks(2));
    EXPECT_EQ(fields.field(1, 10, 4), "   1");
    EXPECT_EQ(fields.field(1, 14, 5), "  544");
    EXPECT_EQ(fields.field(1, 19, 4), "   8");
    EXPECT_EQ(fields.field(1, 23, 2), "D1");
    EXPECT_EQ(fields.field(1, 25, 3), blanks(3));
    EXPECT_EQ(fields.field(3, 0, 28), "     390"
                                      "  "
                                      "  12"
                                      "   30"
                                      "  10"
                                      "D6"
                                      "   ");
}

// ---- Errors ----------------------------------------------------------------------------------

template <class Action> void expectRefused(Action action, const std::string& wordsOfTheMessage) {
    try {
        action();
        ADD_FAILURE() << "accepted what should fail with: " << wordsOfTheMessage;
    } catch (const WriterError& error) {
        EXPECT_NE(std::string(error.what()).find(wordsOfTheMessage), std::string::npos)
            << error.what();
    }
}

void expectEntryRefused(const DictionaryEntry& entry, const std::string& wordsOfTheMessage) {
    MetafileBuilder builder;
    expectRefused([&] { builder.addDictionaryEntry(entry); }, wordsOfTheMessage);
}

void expectLayoutRefused(const RecordLayout& layout, const std::string& wordsOfTheMessage) {
    MetafileBuilder builder = dictionaryBuilder();
    expectRefused([&] { builder.addLayout(layout); }, wordsOfTheMessage);
}

TEST(LayoutErrors, DictionaryTextsMustFitTheirColumns) {
    DictionaryEntry entry = sampleDictionary()[0];
    entry.shortName = std::string(26, 's');
    expectEntryRefused(entry, "field 400: short name \"" + entry.shortName +
                                  "\" is longer than 25 characters");
    entry = sampleDictionary()[0];
    entry.longName = std::string(26, 'l');
    expectEntryRefused(entry, "long name");
    entry = sampleDictionary()[0];
    entry.thirdName = std::string(26, 't');
    expectEntryRefused(entry, "third name");
    entry = sampleDictionary()[0];
    entry.description = std::string(51, 'd');
    expectEntryRefused(entry, "longer than 50 characters");
    entry = sampleDictionary()[0];
    entry.shortName = "";
    expectEntryRefused(entry, "the short name is blank");
    entry = sampleDictionary()[0];
    entry.shortName = "Tab\there";
    expectEntryRefused(entry, "printable ASCII");
    entry = sampleDictionary()[0];
    entry.localNumber = 0;
    expectEntryRefused(entry, "local number 0 is not from 1 to 99999999");
}

TEST(LayoutErrors, DictionaryNumbersAreUnique) {
    MetafileBuilder builder = sampleBuilder();
    expectRefused([&] { builder.addDictionaryEntry(sampleDictionary()[1]); },
                  "local number 10 is already in the data dictionary");
}

TEST(LayoutErrors, FieldsNeedADictionaryEntryAndAppearOnce) {
    RecordLayout layout = sampleLayout();
    layout.fields.push_back({20, "C", 42, 8, ' '});
    expectLayoutRefused(layout, "layout 1: local number 20 has no entry in the data dictionary");
    layout = sampleLayout();
    layout.fields.push_back({10, "C", 2, 1, ' '});
    expectLayoutRefused(layout, "layout 1: local number 10 appears more than once");
}

TEST(LayoutErrors, FieldsNeedAColumnAndALengthInRange) {
    RecordLayout layout = sampleLayout();
    layout.fields[0].firstColumn = 0;
    expectLayoutRefused(layout, "layout 1: field 10: first column 0 is not from 1 to 99999");
    layout = sampleLayout();
    layout.fields[0].length = 0;
    expectLayoutRefused(layout, "field 10: length 0 is not from 1 to 9999");
    layout = sampleLayout();
    layout.fields[0].length = 10000;
    expectLayoutRefused(layout, "length 10000 is not from 1 to 9999");
}

TEST(LayoutErrors, LayoutsNeedAFreeNumberAndName) {
    MetafileBuilder builder = sampleBuilder();
    RecordLayout layout = sampleLayout();
    layout.name = "naaccr 18 INCIDENCE";
    layout.number = 2;
    expectRefused([&] { builder.addLayout(layout); },
                  "layout name \"naaccr 18 INCIDENCE\" is already taken by layout 1");
    layout = sampleLayout();
    layout.name = "Other";
    expectRefused([&] { builder.addLayout(layout); }, "layout number 1 is already taken");
}

TEST(LayoutErrors, LayoutsNeedANumberANameAndSomeFields) {
    RecordLayout layout = sampleLayout();
    layout.number = 10000;
    expectLayoutRefused(layout, "layout number 10000 is not from 1 to 9999");
    layout = sampleLayout();
    layout.name = std::string(31, 'n');
    expectLayoutRefused(layout, "is longer than 30 characters");
    layout = sampleLayout();
    layout.fields.clear();
    expectLayoutRefused(layout, "layout 1: the layout has no fields");
}

TEST(FieldTypes, KnowTheLettersInEitherCaseAndTheDateForms) {
    for (const char* code : {"C", "R", "T", "S", "Z", "c", "z ", "C "})
        EXPECT_NO_THROW(validateFieldType(code, 12)) << code;
    for (const char* code : {"X", "D", "D0", "DB", "CC", "", "C  ", " C"})
        EXPECT_THROW(validateFieldType(code, 8), WriterError) << code;
    EXPECT_EQ(storedTypeCode("c"), "c ");
    EXPECT_EQ(storedTypeCode("D1"), "D1");
    EXPECT_EQ(storedTypeCode("L "), "L ");
}

TEST(FieldTypes, BinaryNumbersAndDatesHaveTheirOneLength) {
    const std::pair<const char*, int> fixed[] = {
        {"I", 4},   {"L", 4},  {"D1", 8}, {"D2", 4}, {"D3", 6}, {"D4", 4}, {"D5", 8},
        {"D6", 10}, {"D7", 6}, {"D8", 8}, {"D9", 6}, {"DA", 4}, {"da", 4}, {"d3", 6}};
    for (const auto& [code, length] : fixed) {
        EXPECT_NO_THROW(validateFieldType(code, length)) << code;
        EXPECT_THROW(validateFieldType(code, length + 1), WriterError) << code;
    }
    expectRefused([] { validateFieldType("D3", 8); }, "a field of type D3 is 6 bytes long, not 8");
}

// ---- NAACCR dictionaries -------------------------------------------------------------------

constexpr const char* smallNaaccrXml = R"(<?xml version="1.0"?>
<NaaccrDictionary xmlns="http://naaccr.org/naaccrxml">
  <ItemDefs>
    <ItemDef naaccrId="recordType" naaccrNum="10" naaccrName="Record Type" startColumn="1"
        length="1" recordTypes="A,M,C,I"/>
    <ItemDef naaccrId="dateOfDiagnosis" naaccrNum="390" naaccrName="Date of Diagnosis"
        startColumn="544" length="8" recordTypes="A,M,C,I" dataType="date"/>
    <ItemDef naaccrId="dateRegionalLNDissectionFlag" naaccrNum="683"
        naaccrName="Date Regional Lymph Node Dissection Flag" startColumn="1010" length="2"
        recordTypes="A, M, C, I" dataType="digits"/>
    <ItemDef naaccrId="nameLast" naaccrNum="2230" naaccrName="Name--Last" startColumn="4049"
        length="40" recordTypes="A,M,C"/>
    <ItemDef naaccrId="sampleTakenAt" naaccrNum="7320"
        naaccrName="Sample Taken At" startColumn="6200" length="14"
        recordTypes="A,M" dataType="date"/>
    <ItemDef naaccrId="unplaced" naaccrNum="9000" naaccrName="Unplaced" length="5"
        recordTypes="A,M,C,I"/>
  </ItemDefs>
</NaaccrDictionary>
)";

std::vector<long> localNumbers(const NaaccrLayout& layout) {
    std::vector<long> numbers;
    for (const LayoutField& field : layout.fields)
        numbers.push_back(field.localNumber);
    return numbers;
}

TEST(NaaccrImport, TakesThePlacedItemsOfTheRecordType) {
    EXPECT_EQ(localNumbers(parseNaaccrDictionary(smallNaaccrXml, {})),
              (std::vector<long>{10, 390, 683}));
    EXPECT_EQ(localNumbers(parseNaaccrDictionary(smallNaaccrXml, {'C', {}})),
              (std::vector<long>{10, 390, 683, 2230}));
    EXPECT_EQ(localNumbers(parseNaaccrDictionary(smallNaaccrXml, {'I', {683, 10}})),
              (std::vector<long>{10, 683}));
}

TEST(NaaccrImport, NamesComeFromNameAndIdCutTo25) {
    NaaccrLayout layout = parseNaaccrDictionary(smallNaaccrXml, {'I', {683}});
    ASSERT_EQ(layout.dictionary.size(), 1u);
    const DictionaryEntry& entry = layout.dictionary[0];
    EXPECT_EQ(entry.localNumber, 683);
    EXPECT_EQ(entry.shortName, "Date Regional Lymph Node ");
    EXPECT_EQ(entry.longName, entry.shortName);
    EXPECT_EQ(entry.thirdName, "dateRegionalLNDissectionF");
    EXPECT_EQ(entry.typeCode, "C");
    EXPECT_EQ(entry.length, 2);
    EXPECT_EQ(entry.description, "");
}

TEST(NaaccrImport, EightCharacterDatesAreD1AndLongerOnesCharacters) {
    NaaccrLayout layout = parseNaaccrDictionary(smallNaaccrXml, {'A', {390, 7320}});
    ASSERT_EQ(layout.fields.size(), 2u);
    EXPECT_EQ(layout.fields[0].typeCode, "D1");
    EXPECT_EQ(layout.fields[0].firstColumn, 544);
    EXPECT_EQ(layout.fields[0].length, 8);
    EXPECT_EQ(layout.dictionary[0].typeCode, "D1");
    EXPECT_EQ(layout.fields[1].typeCode, "C");
    EXPECT_EQ(layout.fields[1].length, 14);
}

TEST(NaaccrImport, RefusesWhatItCannotUse) {
    expectRefused(
        [] {
            parseNaaccrDictionary(smallNaaccrXml, {'I', {2230}});
        },
        "item 2230 is not in the file with a start column for record type I");
    expectRefused([] { parseNaaccrDictionary(smallNaaccrXml, {'I', {9000}}); }, "item 9000");
    expectRefused([] { parseNaaccrDictionary("<Other/>", {}); },
                  "the root element is <Other>, not <NaaccrDictionary>");
    expectRefused([] { parseNaaccrDictionary("<NaaccrDictionary>\n<ItemDefs>\n", {}); },
                  "line 2: Start-end tags mismatch");
    expectRefused(
        [] {
            parseNaaccrDictionary(R"(<NaaccrDictionary><ItemDefs><ItemDef naaccrId="x"
                naaccrNum="1O" startColumn="1" length="1" recordTypes="I"/></ItemDefs>
                </NaaccrDictionary>)",
                                  {});
        },
        "item x: naaccrNum \"1O\" is not a number");
}

const fs::path naaccrDictionary = NAACCR_DICTIONARY;

TEST(NaaccrImport, Version18IncidenceLayoutFromThePublishedDictionary) {
    if (!fs::exists(naaccrDictionary)) GTEST_SKIP() << naaccrDictionary << " is not there";
    NaaccrLayout naaccr = readNaaccrDictionary(naaccrDictionary, {});
    EXPECT_EQ(naaccr.fields.size(), 684u);
    EXPECT_EQ(naaccr.dictionary.size(), 684u);
    auto diagnosis =
        std::find_if(naaccr.fields.begin(), naaccr.fields.end(),
                     [](const LayoutField& field) { return field.localNumber == 390; });
    ASSERT_NE(diagnosis, naaccr.fields.end());
    EXPECT_EQ(diagnosis->typeCode, "D1");
    EXPECT_EQ(diagnosis->firstColumn, 544);
    EXPECT_EQ(diagnosis->length, 8);
    auto dates = std::count_if(naaccr.fields.begin(), naaccr.fields.end(),
                               [](const LayoutField& field) { return field.typeCode == "D1"; });
    EXPECT_EQ(dates, 40);

    // Incidence records are 4048 characters, but the base dictionary defines no item past
    // column 2998: the state/requestor items and the reserved space after them are left to
    // user dictionaries.
    RecordLayout layout{1, "NAACCR 18 Incidence", "", naaccr.fields};
    EXPECT_EQ(layoutRecordLength(layout), 2998);

    MetafileBuilder builder;
    for (const DictionaryEntry& entry : naaccr.dictionary)
        builder.addDictionaryEntry(entry);
    builder.addLayout(layout);
    Bytes metafile = builder.build();
    EXPECT_EQ(embeddedTable(metafile, "_RE_DDIC.DBF").table.recordCount(), 684u);
    EXPECT_EQ(embeddedTable(metafile, "_RE_BUFF.DBF").table.recordCount(), 684u);
    EXPECT_EQ(embeddedTable(metafile, "_RE_COMP.DBF").table.field(0, 52, 8), "  43 684");
}

TEST(NaaccrImport, ReadErrorsNameTheFile) {
    try {
        readNaaccrDictionary("/nonexistent/naaccr.xml", {});
        ADD_FAILURE() << "read a file that is not there";
    } catch (const WriterError& error) {
        EXPECT_EQ(error.file(), "/nonexistent/naaccr.xml");
    }
}

// ---- The manifest ----------------------------------------------------------------------------

const fs::path sampleDirectory = WRITER_TEST_DATA;

using vetra::testing::ScratchDirectory;

TEST(LayoutManifest, SampleBuildsTheDictionaryAndTheLayoutFromCsv) {
    Bytes metafile = readManifest(sampleDirectory / "layouts.toml").build();
    DbfImageView dictionary = embeddedTable(metafile, "_RE_DDIC.DBF").table;
    ASSERT_EQ(dictionary.recordCount(), 4u);
    EXPECT_EQ(dictionary.field(1, 0, 25), "Sex" + blanks(22));
    EXPECT_EQ(dictionary.field(0, 37, 25), "Record Type" + blanks(14));
    EXPECT_EQ(dictionary.field(3, 76, 50), "SITES.DBF.CODE(1,4)" + blanks(31));
    EXPECT_EQ(dictionary.field(3, 151, 1), "*");

    DbfImageView fields = embeddedTable(metafile, "_RE_BUFF.DBF").table;
    EXPECT_EQ(fields.field(1, 0, 25), "     220"
                                      "  "
                                      "   1"
                                      "  222"
                                      "   1"
                                      "C ");

    EmbeddedTable catalogue = embeddedTable(metafile, "_RE_COMP.DBF");
    EXPECT_EQ(catalogue.table.field(0, 0, 26), "RL   1 NAACCR 18 Incidence");
    EXPECT_EQ(catalogue.table.field(0, 52, 8), "  43   4");
    EXPECT_EQ(memoText(catalogue.memoFile, catalogue.table.field(0, 162, 10)),
              "Incidence records, version 18");
    std::string components = memoText(catalogue.memoFile, catalogue.table.field(0, 152, 10));
    EXPECT_EQ(components.substr(3 * 43), "     400"
                                         "C "
                                         "   1"
                                         "  554"
                                         "    "
                                         "   4"
                                         "*"
                                         "       "
                                         "       4");
}

void expectManifestError(const ScratchDirectory& scratch, const std::string& manifest,
                         const std::string& faultyFile, const std::string& message) {
    fs::path file = scratch.write("m.toml", manifest);
    try {
        readManifest(file).build();
        ADD_FAILURE() << "accepted a manifest that should fail with: " << message;
    } catch (const WriterError& error) {
        EXPECT_EQ(error.file(), scratch.path() / faultyFile);
        EXPECT_EQ(error.what(), message);
    }
}

const std::string dictionaryHeader =
    "local,short_name,long_name,third_name,type,length,description,flag\n";

TEST(LayoutManifest, DictionaryCsvMayLeaveOutTheOptionalColumns) {
    ScratchDirectory scratch;
    scratch.write("dict.csv", "type,length,short_name,local\nC,1,Record Type,10\n");
    MetafileBuilder builder =
        readManifest(scratch.write("m.toml", "[[dictionary]]\nsource = \"dict.csv\"\n"));
    const DictionaryEntry* entry = builder.dictionaryEntry(10);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->thirdName, "Record Type");
    EXPECT_EQ(entry->description, "");
    EXPECT_EQ(entry->flag, ' ');
}

TEST(LayoutManifest, CsvErrorsNameTheFileAndLine) {
    ScratchDirectory scratch;
    scratch.write("dict.csv", dictionaryHeader + "10,Record Type,,,C,1,,\n1x,Bad,,,C,1,,\n");
    expectManifestError(scratch, "[[dictionary]]\nsource = \"dict.csv\"\n", "dict.csv",
                        "line 3: local \"1x\" is not a number that fits");
    scratch.write("dict.csv", dictionaryHeader + "10,Record Type,,,I,1,,\n");
    expectManifestError(scratch, "[[dictionary]]\nsource = \"dict.csv\"\n", "dict.csv",
                        "line 2: field 10: a field of type I is 4 bytes long, not 1");
    scratch.write("dict.csv", dictionaryHeader + "10,Record Type,,,C,1,,xy\n");
    expectManifestError(scratch, "[[dictionary]]\nsource = \"dict.csv\"\n", "dict.csv",
                        "line 2: flag \"xy\" is more than one character");
    scratch.write("dict.csv", "local,short_name,length\n");
    expectManifestError(scratch, "[[dictionary]]\nsource = \"dict.csv\"\n", "dict.csv",
                        "line 1: the header does not name column type");

    scratch.write("dict.csv", dictionaryHeader + "10,Record Type,,,C,1,,\n");
    scratch.write("fields.csv", "local,type,first_column,length\n10,C,0,1\n");
    expectManifestError(scratch,
                        "[[dictionary]]\nsource = \"dict.csv\"\n[[layout]]\nnumber = 1\nname = "
                        "\"A\"\nfields = \"fields.csv\"\n",
                        "fields.csv", "line 2: field 10: first column 0 is not from 1 to 99999");
}

TEST(LayoutManifest, LayoutErrorsNameTheManifestLine) {
    ScratchDirectory scratch;
    scratch.write("dict.csv", dictionaryHeader + "10,Record Type,,,C,1,,\n");
    scratch.write("fields.csv", "local,type,first_column,length,flag\n20,C,42,8,\n");
    std::string dictionary = "[[dictionary]]\nsource = \"dict.csv\"\n";
    expectManifestError(
        scratch, dictionary + "[[layout]]\nnumber = 1\nname = \"A\"\nfields = \"fields.csv\"\n",
        "m.toml", "line 3: layout 1: local number 20 has no entry in the data dictionary");
    expectManifestError(scratch, dictionary + "[[layout]]\nnumber = 1\nname = \"A\"\n", "m.toml",
                        "line 3: a layout needs either fields or naaccr_xml");
    expectManifestError(scratch,
                        dictionary + "[[layout]]\nnumber = 1\nname = \"A\"\nfields = "
                                     "\"fields.csv\"\nrecord_type = \"I\"\n",
                        "m.toml", "line 7: record_type goes only with naaccr_xml");
    expectManifestError(scratch, "[[layout]]\nname = \"A\"\nfields = \"fields.csv\"\n", "m.toml",
                        "line 1: missing number");
    expectManifestError(scratch, "[[layout]]\nnumber = 1\nname = \"A\"\nfield = \"x.csv\"\n",
                        "m.toml", "line 4: unknown key \"field\" in a [[layout]] section");
    expectManifestError(scratch, "[layout]\nnumber = 1\n", "m.toml",
                        "line 1: the layout must be given as [[layout]] sections");
}

std::string naaccrLayoutSection(int number, const std::string& name, const fs::path& xml,
                                const std::string& items) {
    return "[[layout]]\nnumber = " + std::to_string(number) + "\nname = \"" + name +
           "\"\nnaaccr_xml = \"" + xml.string() + "\"\nitems = " + items + "\n";
}

TEST(LayoutManifest, NaaccrLayoutBringsItsEntriesUnlessTheDictionaryHasThem) {
    if (!fs::exists(naaccrDictionary)) GTEST_SKIP() << naaccrDictionary << " is not there";
    ScratchDirectory scratch;
    scratch.write("dict.csv", dictionaryHeader + "390,Diagnosis Date,,dxDate,D1,8,,\n");
    fs::path manifest = scratch.write(
        "m.toml", "[[dictionary]]\nsource = \"dict.csv\"\n" +
                      naaccrLayoutSection(1, "Incidence", naaccrDictionary, "[10, 20, 390]") +
                      naaccrLayoutSection(2, "Dates", naaccrDictionary, "[390]"));
    MetafileBuilder builder = readManifest(manifest);
    EXPECT_EQ(builder.dictionaryEntry(390)->shortName, "Diagnosis Date");
    EXPECT_EQ(builder.dictionaryEntry(20)->shortName, "Patient ID Number");
    EXPECT_EQ(builder.dictionaryEntry(20)->thirdName, "patientIdNumber");

    Bytes metafile = builder.build();
    EXPECT_EQ(embeddedTable(metafile, "_RE_DDIC.DBF").table.recordCount(), 3u);
    DbfImageView fields = embeddedTable(metafile, "_RE_BUFF.DBF").table;
    ASSERT_EQ(fields.recordCount(), 4u);
    EXPECT_EQ(fields.field(1, 0, 25), "      20"
                                      "  "
                                      "   1"
                                      "   42"
                                      "   8"
                                      "C ");
    EXPECT_EQ(fields.field(3, 0, 25), "     390"
                                      "  "
                                      "   2"
                                      "  544"
                                      "   8"
                                      "D1");
}

std::string recordTypeItem(const std::string& name) {
    return R"(<NaaccrDictionary><ItemDefs><ItemDef naaccrId="recordType" naaccrNum="10"
        naaccrName=")" +
           name + R"(" startColumn="1" length="1" recordTypes="I"/></ItemDefs></NaaccrDictionary>)";
}

TEST(LayoutManifest, ImportsOfOneItemMustAgree) {
    ScratchDirectory scratch;
    fs::path first = scratch.write("first.xml", recordTypeItem("Record Type"));
    fs::path same = scratch.write("same.xml", recordTypeItem("Record Type"));
    fs::path other = scratch.write("other.xml", recordTypeItem("Type of Record"));
    expectManifestError(scratch,
                        naaccrLayoutSection(1, "A", first, "[10]") +
                            naaccrLayoutSection(2, "B", same, "[10]") +
                            naaccrLayoutSection(3, "C", other, "[10]"),
                        "other.xml", "item 10 differs from the same item imported before");
}

// ---- The command line ------------------------------------------------------------------------

TEST(LayoutManifest, RmfbuildWritesWhatTheLibraryBuilds) {
    ScratchDirectory scratch;
    fs::path output = scratch.path() / "out.rmf";
    std::string command = std::string(RMFBUILD_PATH) + " " +
                          (sampleDirectory / "layouts.toml").string() + " -o " + output.string();
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(output, std::ios::binary);
    Bytes written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(written, readManifest(sampleDirectory / "layouts.toml").build());
}

} // namespace
