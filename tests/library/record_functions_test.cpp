// getfield, putfield, copyrecord and recordempty on two bound layouts that share items, and
// the variable built-ins setvar, getvar and nameexpr.
#include "tests/library/library_metafile.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using vetra::testing::LibraryMetafile;

class RecordFunctions : public ::testing::Test {
protected:
    std::string wideField(size_t column, size_t length) {
        return metafile.wide().substr(column - 1, length);
    }
    std::string narrowField(size_t column, size_t length) {
        return metafile.narrow().substr(column - 1, length);
    }

    LibraryMetafile metafile;
};

TEST_F(RecordFunctions, PutfieldStoresTextByTheFieldsType) {
    metafile.run(R"(putfield(#S"Right", "12"); putfield(#S"Left", "12");
                    putfield(#S"Zero", "12"); putfield(#S"Tail", " 7 ");)");
    EXPECT_EQ(wideField(1, 5), "   12");
    EXPECT_EQ(wideField(6, 5), "12   ");
    EXPECT_EQ(wideField(11, 6), std::string("12\0\0\0\0", 6)); // one terminator beyond
    EXPECT_EQ(wideField(33, 5), std::string("   7\0", 5));

    metafile.run(R"(putfield(#S"Right", "ABCDEFG"); putfield(#S"Count", "  -42x");
                    putfield(#S"Flag", "YES");)");
    EXPECT_EQ(wideField(1, 5), "ABCDE");
    EXPECT_EQ(wideField(17, 4), std::string("\xD6\xFF\xFF\xFF", 4));
    EXPECT_EQ(wideField(31, 1), "Y");
}

TEST_F(RecordFunctions, PutfieldWritesDatesInTheFieldsFormat) {
    metafile.run(R"(putfield(#S"Diagnosed", "20051231");)");
    EXPECT_EQ(wideField(21, 10), "12/31/2005"); // the first entry: layout Wide
    metafile.run(R"(putfield(#S"Diagnosed", "19990704", "Narrow");)");
    EXPECT_EQ(narrowField(1, 8), "19990704");
    EXPECT_EQ(wideField(21, 10), "12/31/2005");
}

TEST_F(RecordFunctions, PutfieldMarksTheLayoutWrittenUnlessTheLayoutIsUnknown) {
    metafile.run(R"(putfield(#S"Right", "1", "Nowhere"); putfield(#S"Right", "1", 0);)");
    EXPECT_EQ(metafile.wide(), std::string(40, ' '));
    EXPECT_EQ(metafile.narrow(), std::string(20, ' '));
    EXPECT_FALSE(metafile.written("Wide"));
    EXPECT_FALSE(metafile.written("Narrow"));

    metafile.run(R"(putfield(#S"Right", "1", 2);)");
    EXPECT_EQ(narrowField(9, 5), "    1");
    EXPECT_TRUE(metafile.written("Narrow"));
    EXPECT_FALSE(metafile.written("Wide"));
    EXPECT_EQ(VTx_RecWriteClear(metafile.id(), "Narrow"), 0);
    EXPECT_FALSE(metafile.written("Narrow"));
}

TEST_F(RecordFunctions, GetfieldReadsAFieldOfEitherLayout) {
    metafile.setWide("   12");
    metafile.setNarrow("20051231  345X");
    EXPECT_TRUE(metafile.gives(R"(getfield(#S"Right"))", "   12"));
    EXPECT_TRUE(metafile.gives(R"(getfield(#S"Right", 2))", "  345"));
    EXPECT_TRUE(metafile.gives(R"(getfield(#S"Diagnosed", 2))", "20051231"));
    EXPECT_TRUE(metafile.gives(R"(getfield(#S"Flag", 7))", ""));
}

TEST_F(RecordFunctions, MalformedCallsFailWithTheirCodes) {
    EXPECT_EQ(metafile.failureOfLogic("@MP(\"01x);"), 2038);
    EXPECT_EQ(metafile.failureOfLogic("@MP(#10U012);"), 2039);
    EXPECT_EQ(metafile.failureOfLogic("@M`(U011,\"01x);"), 2036);
    EXPECT_EQ(metafile.failureOfLogic("@M`(#10,\"01x\"01y);"), 2037);
    EXPECT_EQ(metafile.failureOfLogic("@MdU011;"), 2042);
    EXPECT_EQ(metafile.failureOfLogic("@Mk(\"01a,\"01bU011);"), 2048);
    EXPECT_EQ(metafile.failureOfLogic("@MR(\"01aU011);"), 2049);
}

// A Wide record with the given Diagnosed text, Count bytes and the rest blank.
std::string wideRecord(const std::string& diagnosed,
                       const std::string& count = std::string(4, '\0'),
                       const std::string& rest = {}) {
    std::string text = std::string(16, ' ') + count + diagnosed;
    text.resize(30, ' ');
    return text + rest;
}

TEST_F(RecordFunctions, CopyrecordConvertsDatesBetweenFormats) {
    std::string wide = wideRecord("12/31/2005", std::string(4, '\0'), "Q");
    wide.replace(0, 5, "  345");
    metafile.setWide(wide);
    metafile.run(R"(copyrecord("Narrow", "Wide");)");
    EXPECT_EQ(metafile.narrow().substr(0, 14), "20051231  345Q");
    EXPECT_TRUE(metafile.written("Narrow"));

    metafile.setNarrow("19990704   77R");
    metafile.run(R"(copyrecord("wide", "narrow");)");
    EXPECT_EQ(wideField(21, 10), "07/04/1999");
    EXPECT_EQ(wideField(1, 5), "   77");
    EXPECT_EQ(wideField(31, 1), "R");
    EXPECT_EQ(wideField(6, 5), "     "); // items Narrow lacks are left alone
}

TEST_F(RecordFunctions, RecordemptyLooksAtEveryFieldByType) {
    metafile.setWide(wideRecord(""));
    EXPECT_EQ(metafile.run("return recordempty(1);"), 1);
    metafile.setWide(std::string("          \0", 11)); // a terminator ends the Zero field
    EXPECT_EQ(metafile.run("return recordempty(1);"), 1);
    metafile.setWide(wideRecord("  /  /    "));
    EXPECT_EQ(metafile.run("return recordempty(1);"), 1);
    metafile.setWide(wideRecord("12/31/2005"));
    EXPECT_EQ(metafile.run("return recordempty(1);"), 0);
    metafile.setWide(wideRecord("", std::string("\1\0\0\0", 4)));
    EXPECT_EQ(metafile.run("return recordempty(1);"), 0);
    metafile.setWide(wideRecord("", std::string(4, '\0'), "  \t x"));
    EXPECT_EQ(metafile.run("return recordempty(1);"), 0);
    EXPECT_EQ(metafile.run("return recordempty(9);"), 1);
}

TEST_F(RecordFunctions, SetvarAndGetvarShareTheHostsVariables) {
    metafile.run(R"(setvar(" region ", "north  "); setvar("x", "a", 3); setvar("x", "b", 1);)");
    char value[512] = "";
    EXPECT_EQ(VTx_GetVar(metafile.id(), "REGION", value), 0);
    EXPECT_STREQ(value, "north");
    EXPECT_EQ(metafile.run(R"(return getvar("x", 0);)"), 3);
    EXPECT_TRUE(metafile.gives(R"(getvar("x", 3))", "a"));
    EXPECT_TRUE(metafile.gives(R"(getvar("Region"))", "north"));

    EXPECT_EQ(VTx_SetVar(metafile.id(), "FROMHOST", "42"), 0);
    EXPECT_EQ(metafile.run(R"(return val(getvar("fromhost"));)"), 42);

    metafile.run(R"(setvar("region", "");)");
    EXPECT_TRUE(metafile.gives(R"(getvar("region"))", ""));
    EXPECT_EQ(metafile.run(R"(return getvar("none", 0);)"), 0);
}

TEST_F(RecordFunctions, NameexprReadsTheEditsOwnVariables) {
    EXPECT_EQ(metafile.run(R"(int count; count = 17; return nameexpr("count");)"), 17);
    EXPECT_EQ(metafile.run(R"(char code[5]; strcpy(code, "AB");
                              return strcmp(nameexpr("code"), "AB") == 0;)"),
              1);
    EXPECT_TRUE(metafile.gives(R"(nameexpr("missing"))", ""));
}

} // namespace
