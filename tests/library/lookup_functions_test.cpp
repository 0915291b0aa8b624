// lookup, rlookup, ilookup and binlookup on the tables of a metafile, and externaldll with the
// folders it may load libraries from.
#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "tests/library/library_metafile.h"
#include "tests/support/temp_metafiles.h"
#include "tools/edit_compiler/edit_compiler.h"

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using vetra::testing::LibraryMetafile;
namespace fs = std::filesystem;

class LookupFunctions : public ::testing::Test {
protected:
    LibraryMetafile metafile;
};

TEST_F(LookupFunctions, LookupFindsKeysThroughTheIndexAndFillsTheColumns) {
    EXPECT_EQ(metafile.run(R"(return lookup("K200", "CODES.DBF.CODE");)"), 1);
    EXPECT_EQ(metafile.run(R"(return lookup("K250", "codes.dbf.code");)"), 0);
    EXPECT_EQ(
        metafile.run(R"(if (lookup("K300", "CODES.DBF.CODE")) return strcmp(LABEL, "three") == 0;
                              return 0;)"),
        1);
    EXPECT_EQ(metafile.run(R"(lookup("K999", "CODES.DBF.CODE"); return strlen(LABEL);)"), 0);
}

// A run's lookups reuse the table they opened, and with it the addresses of its column
// variables: each call once took new ones, so that a run of many lookups used up the address
// space of texts (and the memory that keeps track of it).
TEST_F(LookupFunctions, ColumnVariablesKeepTheirAddressesFromLookupToLookup) {
    EXPECT_EQ(metafile.run(R"(int first, n; n = 0;
                              lookup("K100", "CODES.DBF.CODE"); first = LABEL;
                              while (n < 1000) { lookup("K200", "CODES.DBF.CODE"); n = n + 1; }
                              lookup("K300", "PLAIN.DBF");
                              return (LABEL == first) * 10 + (strcmp(first, "two") == 0);)"),
              11);
    EXPECT_EQ(metafile.instance().interpreter().locals().count(), 6); // with four columns
}

TEST_F(LookupFunctions, RlookupFindsTheGreatestKeyNotAbove) {
    EXPECT_EQ(
        metafile.run(R"(if (rlookup("K250", "CODES.DBF.CODE")) return strcmp(CODE, "K200") == 0;
                              return 0;)"),
        1);
    EXPECT_EQ(metafile.run(R"(return rlookup("K050", "CODES.DBF.CODE");)"), 0);
    EXPECT_EQ(metafile.run(R"(return rlookup("K999", "CODES.DBF.CODE");)"), 1);
}

TEST_F(LookupFunctions, UnindexedTablesCompareExactlyWithoutTrailingBlanks) {
    EXPECT_EQ(metafile.run(R"(return lookup("Beta  ", "PLAIN.DBF.NAME");)"), 1);
    EXPECT_EQ(metafile.run(R"(return lookup("beta", "PLAIN.DBF.NAME");)"), 0);
    EXPECT_EQ(metafile.run(R"(return lookup("A", "PLAIN.DBF.KIND");)"), 1);
    EXPECT_EQ(metafile.run(R"(return lookup("AK", "STATES.ASC", 1, 2);)"), 1);
    EXPECT_EQ(metafile.run(R"(return lookup("Alaska", "STATES.ASC", 4);)"), 1);
    EXPECT_EQ(metafile.run(R"(return lookup("AZ", "STATES.ASC", 1, 2);)"), 0);
}

TEST_F(LookupFunctions, IlookupAsksTheIndexOnly) {
    EXPECT_EQ(metafile.run(R"(return ilookup("k300", "CODES.DBF.CODE");)"), 1);
    EXPECT_EQ(metafile.run(R"(return ilookup("K301", "CODES.DBF.CODE");)"), 0);
    EXPECT_EQ(metafile.run(R"(return ilookup("K300", "CODES.DBF.LABEL");)"), 0);
    EXPECT_EQ(metafile.run(R"(return ilookup("Beta", "PLAIN.DBF.NAME");)"), 0);
}

TEST_F(LookupFunctions, BinlookupReadsBitsByRowAndColumn) {
    EXPECT_EQ(metafile.run(R"(return binlookup("bits.bin", 2, 3);)"), 1);
    EXPECT_EQ(metafile.run(R"(return binlookup("BITS.BIN", 2, 4);)"), 0);
    EXPECT_EQ(metafile.run(R"(return binlookup("BITS.BIN", 32);)"), 1);
    EXPECT_EQ(metafile.run(R"(return binlookup("BITS.BIN", 99, 99);)"), 0); // outside the table
}

TEST_F(LookupFunctions, MalformedCallsAndMissingTablesFail) {
    EXPECT_EQ(metafile.failureOf(R"(lookup("K1", "NOSUCH.DBF.CODE");)"), 2019);
    EXPECT_EQ(metafile.failureOf(R"(binlookup("NOSUCH.BIN", 1);)"), 2019);
    EXPECT_EQ(metafile.failureOf(R"(char t[20]; lookup("K1", t);)"), 2020);
    EXPECT_EQ(metafile.failureOf(R"(lookup("K1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.DBF.ABCDEFGHIJ");)"),
              2071);
    EXPECT_EQ(metafile.failureOf(R"(lookup("K1", "STATES.ASC", 1, 2, 3);)"), 2072);
    EXPECT_EQ(metafile.failureOf(R"(ilookup("K1", "CODES.DBF.CODE", 1);)"), 2085);
    EXPECT_EQ(metafile.failureOfLogic("@MX(\"02K1,\"10STATES.ASCU011);"), 2072);
    EXPECT_EQ(metafile.failureOfLogic("@MB(\"08BITS.BIN,U011U012);"), 2034);
}

// A damaged table header may give a column no name: the column's variable then has an empty
// name, and the lookup still reads the table.
TEST(DamagedLookupTables, AColumnWithoutANameStillLetsTheTableBeRead) {
    vetra::writer::MetafileBuilder builder;
    vetra::writer::DbfTable table{"NONAME.DBF", {{"ZQXJ", 'C', 4, 0}, {"CODE", 'C', 4, 0}}, {}, {}};
    table.rows = {{{"abcd", "K100"}, false}};
    builder.addTable(table);
    vetra::writer::Bytes bytes = builder.build();
    const std::string column = "ZQXJ";
    auto name = std::search(bytes.begin(), bytes.end(), column.begin(), column.end());
    ASSERT_NE(name, bytes.end());
    std::fill_n(name, column.size(), 0);
    vetra::testing::TempMetafiles files;
    std::string path = files.write("noname.rmf", bytes);
    int32_t id = -1;
    ASSERT_EQ(VTx_Init(&id, path.c_str(), nullptr, 0, nullptr), 0);
    std::string logic =
        vetra::compiler::compileEdit(
            R"(return lookup("K100", "NONAME.DBF.CODE");)",
            [](std::string_view) -> std::optional<int32_t> { return std::nullopt; }, "t")
            .logic;
    TMetaFile* instance = vetra::engineProcess().metafiles().find(id);
    try {
        EXPECT_EQ(instance->interpreter().VTi_interpret(logic), 1);
    } catch (const vetra::EngineFailure&) {
        ADD_FAILURE() << instance->lastError().text();
    }
    VTx_Exit(id);
}

// The probes libprobeEditsInterface.so, libprobe_EditsInterface.so and libprobenone.so.
struct ProbeCall {
    char command[64];
    intptr_t arguments[10];
    char texts[10][16];
    int calls;
};

class ExternalLibraries : public LookupFunctions {
protected:
    // The test holds the probe open so that what it records outlives the engine's calls. The
    // engine loads no library that others than its owner may write.
    ExternalLibraries()
        : probe(dlopen(PROBE_FOLDER "/libprobeEditsInterface.so", RTLD_NOW)),
          lastCall(*static_cast<const ProbeCall*>(dlsym(probe, "probeLastCall"))) {
        constexpr auto others = fs::perms::group_write | fs::perms::others_write;
        fs::permissions(PROBE_FOLDER, others, fs::perm_options::remove);
        for (const fs::directory_entry& file : fs::directory_iterator(PROBE_FOLDER))
            fs::permissions(file.path(), others, fs::perm_options::remove);
    }
    ~ExternalLibraries() override { dlclose(probe); }

    void allow(const std::string& folders) {
        EXPECT_EQ(VTx_SetVar(metafile.id(), "_EXTERNALDLL_FOLDERS", folders.c_str()), 0);
    }

    void* probe;
    const ProbeCall& lastCall;
};

// Each refusal names its rule, and each names a library that would load but for that rule.
TEST_F(ExternalLibraries, OnlyAllowedFoldersAreSearched) {
    auto refusal = [&](std::string_view call) {
        EXPECT_EQ(metafile.failureOf(call), 526) << call;
        return metafile.instance().lastError().text();
    };
    auto says = [](const std::string& text, std::string_view rule) {
        return text.find(rule) != std::string::npos;
    };
    EXPECT_TRUE(says(refusal(R"(externaldll("libprobeEditsInterface.so", "x");)"),
                     "no folder allows external libraries"));
    allow(PROBE_FOLDER);
    EXPECT_GT(metafile.run(R"(return externaldll("libprobeEditsInterface.so", "x");)"), 1000);
    EXPECT_TRUE(says(refusal(R"(externaldll("/lib/x86_64-linux-gnu/libc.so.6", "x");)"),
                     "is not a file name"));
    EXPECT_TRUE(says(refusal(R"(externaldll("../probes/libprobeEditsInterface.so", "x");)"),
                     "is not a file name"));
    EXPECT_TRUE(says(refusal(R"(externaldll("libm.so.6", "x");)"), "does not end in .so"));
    // The system's search path would find this one; the engine never asks it.
    void* system = dlopen("libz.so", RTLD_NOW);
    ASSERT_NE(system, nullptr) << "the build's zlib is not on the search path";
    dlclose(system);
    EXPECT_TRUE(says(refusal(R"(externaldll("libz.so", "x");)"),
                     "no library 'libz.so' in the allowed folders"));
    EXPECT_TRUE(says(refusal(R"(externaldll("nosuch.dll", "x");)"), "no library 'nosuch.dll'"));

    // Edit logic cannot widen the folders itself.
    allow("");
    metafile.run(R"(setvar("_externaldll_folders", ")" PROBE_FOLDER R"(");)");
    EXPECT_EQ(metafile.failureOf(R"(externaldll("libprobeEditsInterface.so", "x");)"), 526);

    // A symbolic link inside an allowed folder that leads out of it is refused.
    fs::path folder = fs::path(metafile.path()).parent_path();
    fs::create_symlink(fs::path(PROBE_FOLDER) / "libprobeEditsInterface.so",
                       folder / "libescape.so");
    allow(folder.string());
    EXPECT_EQ(metafile.failureOf(R"(externaldll("libescape.so", "x");)"), 526);
}

TEST_F(ExternalLibraries, ArgumentsArePassedAndTheLibraryStaysLoaded) {
    allow(std::string("/nonexistent:") + PROBE_FOLDER);
    int before = lastCall.calls;
    int32_t result = metafile.run(R"(int n; char text[10]; n = 5; strcpy(text, "abc");
        return externaldll("libprobeEditsInterface.so", "..tt", -1, 7, n, text, "lit", 12345678901);)");
    const ProbeCall& call = lastCall;
    EXPECT_EQ(call.calls, before + 1);
    EXPECT_EQ(result, 1000 + call.calls);
    EXPECT_STREQ(call.command, "..tt");
    EXPECT_EQ(call.arguments[0], 7);
    EXPECT_EQ(call.arguments[1], 5);
    EXPECT_STREQ(call.texts[2], "abc");
    EXPECT_STREQ(call.texts[3], "lit");
    EXPECT_EQ(call.arguments[4], 12345678); // a number literal gives at most 8 digits
    EXPECT_EQ(call.arguments[5], 0);

    // The library is loaded once: a second call finds it cached (by the same name).
    metafile.run(R"(char lib[40]; strcpy(lib, "LIBPROBEEDITSINTERFACE.SO");
                    externaldll("libprobeEditsInterface.so", lib);)");
    EXPECT_EQ(lastCall.calls, before + 2);
}

TEST_F(ExternalLibraries, TheEntryPointIsFoundByEitherName) {
    allow(PROBE_FOLDER);
    EXPECT_GT(metafile.run(R"(return externaldll("libprobe_EditsInterface.so", "x");)"), 1000);
    EXPECT_EQ(metafile.failureOf(R"(externaldll("libprobenone.so", "x");)"), 527);
    EXPECT_EQ(metafile.failureOf(R"(externaldll("libprobenone.so", "x");)"), 527);
    EXPECT_EQ(metafile.failureOf(R"(externaldll(1, "x");)"), 525);
}

} // namespace
