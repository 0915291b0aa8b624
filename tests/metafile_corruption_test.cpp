// Damaged metafiles. Whatever is wrong with a file, opening it must end in a code of the
// catalogue or in a clean open after which every table can be opened and read to its end;
// never in a crash, a read outside the file or memory left behind. CI runs these under
// AddressSanitizer and UndefinedBehaviorSanitizer, which turn a stray read into a failure.
#include "tests/corruption/engine_outcome.h"
#include "tests/corruption/metafile_layout.h"
#include "tests/corruption/sample_metafile.h"
#include "tests/support/temp_metafiles.h"
#include "tools/metafile_writer/breakage.h"
#include "tools/metafile_writer/internal_tables.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vetra::corruption;
using vetra::writer::Breakage;
using vetra::writer::Bytes;
using vetra::writer::compiledEditTableName;
using vetra::writer::componentTableName;
using vetra::writer::dataDictionaryTableName;
using vetra::writer::editSetTableName;
using vetra::writer::layoutFieldTableName;
using vetra::writer::messageTableName;
using vetra::writer::MetafileOptions;

constexpr std::size_t versionEnd = 45; // the version text is bytes 41 to 44

class DamagedMetafile : public ::testing::Test {
protected:
    std::string write(const Bytes& bytes) const { return files_.write("damaged.rmf", bytes); }

    // A failure leaves the id at -1 and names a code of the catalogue; the open through the
    // C++ interface agrees with the exported one. Returns the code.
    int32_t expectCodeOrCleanOpen(const Bytes& bytes) const {
        std::string path = write(bytes);
        ExportsOutcome exported = openThroughExports(path);
        WalkOutcome walk = walkEveryTable(path);
        EXPECT_EQ(walk.openCode, exported.code);
        if (exported.code != 0) {
            EXPECT_GT(exported.code, 0);
            EXPECT_TRUE(isCatalogueCode(exported.code)) << exported.code;
            EXPECT_EQ(exported.id, -1);
            return exported.code;
        }
        EXPECT_GE(exported.id, 0);
        EXPECT_FALSE(walk.recordCapReached);
        EXPECT_TRUE(walk.tablesReleasedTheirMemory);
        EXPECT_EQ(walk.closeCode, 0);
        EXPECT_EQ(walk.highWaterMarkAfterClose, 0);
        EXPECT_EQ(walk.bytesInUseAfterClose, 0u);
        return 0;
    }

    void expectCode(const Bytes& bytes, int32_t code) const {
        EXPECT_EQ(expectCodeOrCleanOpen(bytes), code);
    }

private:
    vetra::testing::TempMetafiles files_;
};

Bytes broken(const Breakage& breakage) {
    Bytes metafile = sampleMetafile();
    vetra::writer::applyBreakage(metafile, breakage);
    return metafile;
}

// ---- The sample itself -------------------------------------------------------------------

TEST_F(DamagedMetafile, UndamagedSampleOpensAndEveryTableReads) {
    std::string path = write(sampleMetafile());
    ExportsOutcome exported = openThroughExports(path);
    EXPECT_EQ(exported.code, 0);
    EXPECT_GE(exported.id, 0);

    WalkOutcome walk = walkEveryTable(path);
    EXPECT_EQ(walk.openCode, 0);
    EXPECT_EQ(walk.tablesOpened, 9u); // the six internal tables, SITES, CODES and PAIRS
    // Rows of _RE_EDSE, _RE_BUFF, _RE_CEDI and _RE_ERMS, the three sites (the deleted one
    // too) and the three lines of CODES.ASC; binary tables have no records to read.
    EXPECT_EQ(walk.recordsRead, 4u + 3 + 3);
    EXPECT_TRUE(walk.tablesReleasedTheirMemory);
    EXPECT_EQ(walk.closeCode, 0);
    EXPECT_EQ(walk.highWaterMarkAfterClose, 0);
    EXPECT_EQ(walk.bytesInUseAfterClose, 0u);
}

// ---- Broken files the writer makes -------------------------------------------------------

TEST_F(DamagedMetafile, AnotherVersionTextIsRefusedWith703) {
    MetafileOptions options;
    options.version = "4.01";
    expectCode(sampleMetafile(options), 703);
}

TEST_F(DamagedMetafile, FileEndingBeforeTheVersionTextEndsIsRefusedWith703) {
    Breakage breakage;
    breakage.truncateAt = versionEnd - 1;
    expectCode(broken(breakage), 703);
}

TEST_F(DamagedMetafile, DirectorySignatureOtherThanF5IsRefusedWith712) {
    Breakage breakage;
    breakage.directorySignature = 0x03;
    expectCode(broken(breakage), 712);
}

TEST_F(DamagedMetafile, TextModeTransferIsRefusedWith712AsTheVersionSurvives) {
    Breakage breakage;
    breakage.crlfLineEnds = true;
    Bytes translated = broken(breakage);
    ASSERT_EQ(std::string(translated.begin() + 41, translated.begin() + versionEnd), "4.00");
    int32_t code = expectCodeOrCleanOpen(translated);
    // The 0x0D inserted into the field descriptors moves the header's terminator; until the
    // directory reader checks it, the shifted records are read as unknown names.
    EXPECT_EQ(code, 712);
}

TEST_F(DamagedMetafile, MissingFileIsRefusedWith713) {
    ExportsOutcome exported = openThroughExports("/nonexistent/folder/none.rmf");
    EXPECT_EQ(exported.code, 713);
    EXPECT_EQ(exported.id, -1);
    EXPECT_EQ(walkEveryTable("/nonexistent/folder/none.rmf").openCode, 713);
}

struct OmittedTables {
    std::vector<std::string> names;
    int32_t code;
};

OmittedTables omitting(std::initializer_list<std::string_view> names, int32_t code) {
    return {{names.begin(), names.end()}, code};
}

void PrintTo(const OmittedTables& omitted, std::ostream* out) {
    for (const std::string& name : omitted.names)
        *out << name << ' ';
}

class MissingInternalTable : public DamagedMetafile,
                             public ::testing::WithParamInterface<OmittedTables> {};

TEST_P(MissingInternalTable, GivesTheCodeOfTheFirstOneLookedForUnlessItMayBeAbsent) {
    MetafileOptions options;
    options.omittedTables = GetParam().names;
    expectCode(sampleMetafile(options), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    InternalTables, MissingInternalTable,
    ::testing::Values(omitting({editSetTableName}, 704), omitting({layoutFieldTableName}, 705),
                      omitting({compiledEditTableName}, 707),
                      omitting({dataDictionaryTableName}, 708), omitting({messageTableName}, 709),
                      omitting({layoutFieldTableName, compiledEditTableName}, 705),
                      omitting({componentTableName}, 0)),
    [](const auto& test) {
        std::string name;
        for (const std::string& table : test.param.names)
            name += table.substr(4, 4);
        return "Without" + name;
    });

// ---- Truncation at every structural boundary ---------------------------------------------

// Until the directory's records are complete the file cannot be opened; past them it may be,
// with whatever tables are still whole.
std::optional<int32_t> truncationCode(const MetafileLayout& layout, std::size_t length) {
    if (length < versionEnd) return 703;
    if (length < layout.recordsEnd()) return 712;
    return std::nullopt;
}

// Each boundary, and a few bytes either side of it.
std::vector<std::size_t> around(std::initializer_list<std::size_t> boundaries) {
    std::set<std::size_t> points;
    for (std::size_t boundary : boundaries)
        for (std::size_t offset = 0; offset <= 4; ++offset) {
            points.insert(boundary + offset);
            if (boundary >= offset) points.insert(boundary - offset);
        }
    return {points.begin(), points.end()};
}

std::vector<std::size_t> blockBoundaries(const MemoBaseBlock& block) {
    if (block.start == 0) return {};
    return around({block.start, block.start + 4, block.contentStart(), block.contentStart() + 32,
                   block.contentStart() + block.contentLength / 2, block.end()});
}

struct Region {
    const char* name;
    std::function<std::vector<std::size_t>(const MetafileLayout&)> lengths;
};

const Region truncationRegions[] = {
    {"Prefix",
     [](const MetafileLayout&) {
         return around({0, 20, 41, 43, 100, 300, 508});
     }},
    {"DirectoryHeader",
     [](const MetafileLayout&) {
         std::size_t at = MetafileLayout::directory;
         return around({at, at + 4, at + 8, at + 10, at + 16, at + 28, at + 32});
     }},
    {"FieldDescriptors",
     [](const MetafileLayout& layout) {
         std::vector<std::size_t> lengths;
         for (std::size_t at = MetafileLayout::fieldDescriptors; at < layout.firstRecord; at += 32)
             for (std::size_t length : around({at, at + 11, at + 16}))
                 lengths.push_back(length);
         return lengths;
     }},
    {"DirectoryRecords",
     [](const MetafileLayout& layout) {
         std::vector<std::size_t> lengths;
         for (const EntryLayout& entry : layout.entries)
             for (std::size_t length :
                  around({entry.record, entry.record + dataBlockField, entry.record + 50}))
                 lengths.push_back(length);
         return lengths;
     }},
    {"MemoBase",
     [](const MetafileLayout& layout) {
         std::size_t base = layout.memoBase;
         return around({layout.recordsEnd(), base + 6, base + 8, base + 256, base + 512});
     }},
    {"TableBlocks",
     [](const MetafileLayout& layout) {
         std::vector<std::size_t> lengths;
         for (const EntryLayout& entry : layout.entries)
             for (const MemoBaseBlock* block : {&entry.data, &entry.memoFile})
                 for (std::size_t length : blockBoundaries(*block))
                     lengths.push_back(length);
         return lengths;
     }},
};

// gtest prints parameters in the names of the tests it lists; the name is enough.
void PrintTo(const Region& region, std::ostream* out) {
    *out << region.name;
}

class TruncatedMetafile : public DamagedMetafile, public ::testing::WithParamInterface<Region> {};

TEST_P(TruncatedMetafile, GivesACatalogueCodeOrOpensWhatIsLeft) {
    Bytes metafile = sampleMetafile();
    MetafileLayout layout = layoutOf(metafile);
    std::vector<std::size_t> lengths = GetParam().lengths(layout);
    ASSERT_FALSE(lengths.empty());
    for (std::size_t length : lengths) {
        if (length > metafile.size()) continue;
        SCOPED_TRACE("truncated at " + std::to_string(length));
        Bytes truncated(metafile.begin(), metafile.begin() + static_cast<std::ptrdiff_t>(length));
        std::optional<int32_t> code = truncationCode(layout, length);
        if (code)
            expectCode(truncated, *code);
        else
            expectCodeOrCleanOpen(truncated);
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TruncatedMetafile, ::testing::ValuesIn(truncationRegions),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- Bogus numbers in an otherwise valid file --------------------------------------------

struct Patch {
    const char* name;
    std::function<void(Bytes&, const MetafileLayout&)> apply;
    std::optional<int32_t> code; // when the damage decides the code; otherwise any code or 0
};

constexpr std::size_t directoryCountAt = MetafileLayout::directory + 4;
constexpr std::size_t directoryHeaderLengthAt = MetafileLayout::directory + 8;
constexpr std::size_t directoryRecordLengthAt = MetafileLayout::directory + 10;

Patch directoryNumber(const char* name, std::size_t at, std::uint32_t value, int width,
                      std::optional<int32_t> code = std::nullopt) {
    return {name,
            [=](Bytes& bytes, const MetafileLayout&) {
                if (width == 2)
                    patchLittleEndian16(bytes, at, static_cast<std::uint16_t>(value));
                else
                    patchLittleEndian32(bytes, at, value);
            },
            code};
}

// The same text, right-aligned as the writer stores numbers, in one field of every record.
Patch everyRecordField(const char* name, std::size_t field, std::size_t width,
                       const std::string& text) {
    return {name,
            [=](Bytes& bytes, const MetafileLayout& layout) {
                for (const EntryLayout& entry : layout.entries)
                    patchText(bytes, entry.record + field,
                              std::string(width - text.size(), ' ') + text);
            },
            std::nullopt};
}

// A change to every block of the memo base that holds a table's data or memo file.
Patch everyBlock(const char* name, bool memoFiles,
                 std::function<void(Bytes&, const MemoBaseBlock&)> change) {
    return {name,
            [=](Bytes& bytes, const MetafileLayout& layout) {
                for (const EntryLayout& entry : layout.entries) {
                    const MemoBaseBlock& block = memoFiles ? entry.memoFile : entry.data;
                    if (block.start != 0) change(bytes, block);
                }
            },
            std::nullopt};
}

// A change to the header of every DBF image (the raw .ASC and .BIN blocks have none).
Patch everyTableHeader(const char* name, std::size_t at, std::uint32_t value, int width) {
    return everyBlock(name, false, [=](Bytes& bytes, const MemoBaseBlock& block) {
        std::size_t header = block.contentStart();
        if (bytes.at(header) != 0x03 && bytes.at(header) != 0xF5) return;
        if (width == 2)
            patchLittleEndian16(bytes, header + at, static_cast<std::uint16_t>(value));
        else
            patchLittleEndian32(bytes, header + at, value);
    });
}

Patch memoBlockSize(const char* name, std::uint16_t size) {
    return {name,
            [=](Bytes& bytes, const MetafileLayout& layout) {
                patchBigEndian16(bytes, layout.memoBase + 6, size);
            },
            std::nullopt};
}

const Patch bogusNumbers[] = {
    directoryNumber("DirectoryRecordCountHuge", directoryCountAt, 0xFFFFFFFF, 4, 712),
    directoryNumber("DirectoryRecordCountOne", directoryCountAt, 1, 4, 705),
    directoryNumber("DirectoryRecordCountZero", directoryCountAt, 0, 4, 704),
    directoryNumber("DirectoryHeaderLength0", directoryHeaderLengthAt, 0, 2),
    directoryNumber("DirectoryHeaderLength33", directoryHeaderLengthAt, 33, 2),
    directoryNumber("DirectoryHeaderLength65", directoryHeaderLengthAt, 65, 2),
    directoryNumber("DirectoryHeaderLengthFFFF", directoryHeaderLengthAt, 0xFFFF, 2, 712),
    directoryNumber("DirectoryRecordLength0", directoryRecordLengthAt, 0, 2),
    directoryNumber("DirectoryRecordLengthFFFF", directoryRecordLengthAt, 0xFFFF, 2),
    everyRecordField("DataBlockTooLarge", dataBlockField, 10, "9999999999"),
    everyRecordField("DataBlockNegative", dataBlockField, 10, "-5"),
    everyRecordField("DataBlockNotANumber", dataBlockField, 10, "abc"),
    everyRecordField("MemoBlockTooLarge", memoBlockField, 10, "9999999999"),
    everyRecordField("MemoBlockNegative", memoBlockField, 10, "-5"),
    everyRecordField("MemoBlockNotANumber", memoBlockField, 10, "abc"),
    everyRecordField("IndexBlockTooLarge", indexBlockField, 10, "9999999999"),
    everyRecordField("IndexBlockNegative", indexBlockField, 10, "-5"),
    everyRecordField("IndexBlockNotANumber", indexBlockField, 10, "abc"),
    everyRecordField("EntryRecordCountLarge", recordCountField, 6, "999999"),
    everyRecordField("EntryRecordCountNegative", recordCountField, 6, "-5"),
    everyRecordField("EntryRecordLengthLarge", recordLengthField, 6, "999999"),
    memoBlockSize("MemoBaseBlockSize0", 0),
    memoBlockSize("MemoBaseBlockSizeFFFF", 0xFFFF),
    everyBlock("DataContentLengthHuge", false,
               [](Bytes& bytes, const MemoBaseBlock& block) {
                   patchBigEndian32(bytes, block.start + 4, 0xFFFFFFFF);
               }),
    everyBlock("DataContentLengthZero", false,
               [](Bytes& bytes, const MemoBaseBlock& block) {
                   patchBigEndian32(bytes, block.start + 4, 0);
               }),
    everyBlock("MemoFileContentLengthHuge", true,
               [](Bytes& bytes, const MemoBaseBlock& block) {
                   patchBigEndian32(bytes, block.start + 4, 0xFFFFFFFF);
               }),
    everyBlock("TableMemoFileBlockSize0", true,
               [](Bytes& bytes, const MemoBaseBlock& block) {
                   patchBigEndian16(bytes, block.contentStart() + 6, 0);
               }),
    everyTableHeader("TableRecordCountHuge", 4, 0xFFFFFFFF, 4),
    everyTableHeader("TableHeaderLength0", 8, 0, 2),
    everyTableHeader("TableHeaderLengthFFFF", 8, 0xFFFF, 2),
    everyTableHeader("TableRecordLengthFFFF", 10, 0xFFFF, 2),
};

void PrintTo(const Patch& patch, std::ostream* out) {
    *out << patch.name;
}

class PatchedMetafile : public DamagedMetafile, public ::testing::WithParamInterface<Patch> {};

TEST_P(PatchedMetafile, GivesACatalogueCodeOrOpensAndReadsCleanly) {
    Bytes metafile = sampleMetafile();
    GetParam().apply(metafile, layoutOf(metafile));
    if (GetParam().code)
        expectCode(metafile, *GetParam().code);
    else
        expectCodeOrCleanOpen(metafile);
}

INSTANTIATE_TEST_SUITE_P(BogusNumbers, PatchedMetafile, ::testing::ValuesIn(bogusNumbers),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- Inputs the fuzz targets found -------------------------------------------------------

// tests/data/fuzz_findings keeps each input a fuzz target found, named after the target; those
// of open_metafile_fuzz are opened here and their layouts bound as that target does.
constexpr std::string_view openMetafileTarget = "open_metafile_fuzz-";

std::filesystem::path finding(std::string_view name) {
    return std::filesystem::path(FUZZ_FINDINGS_DATA) / name;
}

std::vector<std::filesystem::path> openMetafileFindings() {
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(FUZZ_FINDINGS_DATA))
        if (item.path().filename().string().starts_with(openMetafileTarget))
            files.push_back(item.path());
    std::sort(files.begin(), files.end());
    return files;
}

Bytes fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FuzzFinding : public DamagedMetafile,
                    public ::testing::WithParamInterface<std::filesystem::path> {};

TEST_P(FuzzFinding, GivesACatalogueCodeOrOpensAndBindsEveryLayout) {
    Bytes bytes = fileBytes(GetParam());
    ASSERT_FALSE(bytes.empty());
    if (expectCodeOrCleanOpen(bytes) != 0) return;
    LayoutOutcome outcome = bindEveryLayout(write(bytes));
    EXPECT_EQ(outcome.openCode, 0);
    for (int32_t code : outcome.bindCodes)
        EXPECT_TRUE(code == 0 || code == -1 || isCatalogueCode(code)) << code;
    EXPECT_EQ(outcome.exitCode, 0);
}

INSTANTIATE_TEST_SUITE_P(Findings, FuzzFinding, ::testing::ValuesIn(openMetafileFindings()),
                         [](const auto& test) {
                             std::string name =
                                 test.param.filename().string().substr(openMetafileTarget.size());
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// Its catalogue has two layout records numbered 0, "Seed" and a blank name. Binding the second
// names the first's fields as well as its own, more than its name block was reserved for.
TEST_F(DamagedMetafile, LayoutsSharingANumberKeepTheirNamesInsideTheirBlocks) {
    LayoutOutcome outcome =
        bindEveryLayout(write(fileBytes(finding("open_metafile_fuzz-layout-name-block-overflow"))));
    EXPECT_EQ(outcome.openCode, 0);
    EXPECT_EQ(outcome.bindCodes, (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(outcome.exitCode, 0);
}

} // namespace
