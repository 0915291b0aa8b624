// The profile-file layer: lookups by the rules of the Windows profile functions, and writing
// that leaves every line it does not change as it was.
#include "platform/profile_file.h"
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

using vetra::platform::ProfileFile;

using vetra::testing::fileContents;

TEST(ProfileFile, ComparesSectionsAndKeysWithoutRegardToCase) {
    const auto profile = ProfileFile::fromText("[Path]\nReport=/srv/reports/\n");
    EXPECT_EQ(profile.readString("PATH", "report"), "/srv/reports/");
    EXPECT_EQ(profile.readString("path", "REPORT"), "/srv/reports/");
    EXPECT_TRUE(profile.sectionExists("pAtH"));
    EXPECT_FALSE(profile.sectionExists("Paths"));
}

TEST(ProfileFile, TheFirstOfDuplicateKeysAndSectionsWins) {
    const auto profile = ProfileFile::fromText("[S]\nk=1\nK=2\n[s]\nk=3\nonlyLater=4\n");
    EXPECT_EQ(profile.readString("S", "k"), "1");
    // Only the first section of a name is searched.
    EXPECT_EQ(profile.readString("S", "onlyLater", "none"), "none");
    EXPECT_EQ(profile.sectionValues("s"), (std::vector<std::string>{"1", "2"}));
}

TEST(ProfileFile, TrimsBlanksAndRemovesOnePairOfMatchingQuotes) {
    const auto profile = ProfileFile::fromText("[S]\n  spaced \t=  a value \t\n"
                                               "double=\"quoted \"\nsingle='x'\n"
                                               "mixed=\"x'\nnested=\"\"y\"\"\nempty=\n");
    EXPECT_EQ(profile.readString("S", "spaced"), "a value");
    EXPECT_EQ(profile.readString("S", "double"), "quoted ");
    EXPECT_EQ(profile.readString("S", "single"), "x");
    EXPECT_EQ(profile.readString("S", "mixed"), "\"x'");
    EXPECT_EQ(profile.readString("S", "nested"), "\"y\"");
    EXPECT_EQ(profile.readString("S", "empty", "fallback"), "");
    EXPECT_EQ(profile.readString("S", "missing", "fallback"), "fallback");
}

TEST(ProfileFile, LinesBeforeTheFirstSectionBelongToNoSection) {
    const auto profile = ProfileFile::fromText("k=1\n[]\nk=2\n[S]\nj=3\n");
    EXPECT_EQ(profile.readString("", "k", "none"), "none");
    EXPECT_EQ(profile.readString("S", "k", "none"), "none");
    EXPECT_EQ(profile.readString("S", "j"), "3");
}

TEST(ProfileFile, SectionValuesAreTheTextsAfterTheFirstEqualsSignInFileOrder) {
    const auto profile = ProfileFile::fromText(
        "[List]\nItem2=B\nno equals sign\n; Item9=comment\nItem1=A=1\n\n[[Next]\nItem=C\n");
    // "[[Next]" is a header: it starts with '[' and has a ']'.
    EXPECT_EQ(profile.sectionValues("list"), (std::vector<std::string>{"B", "A=1"}));
    EXPECT_TRUE(profile.sectionValues("Missing").empty());
}

TEST(ProfileFile, AnOpenBracketWithoutCloseIsAnOrdinaryLine) {
    const auto profile = ProfileFile::fromText("[S]\n[broken=1\nk=2\n");
    EXPECT_EQ(profile.readString("S", "[broken"), "1");
    EXPECT_EQ(profile.readString("S", "k"), "2");
}

TEST(ProfileFile, ReadsCrLfLinesAndWritesLf) {
    auto profile = ProfileFile::fromText("[S]\r\nk=v\r\n\r\n[T]\r\nj=w\r\n");
    EXPECT_EQ(profile.readString("S", "k"), "v");
    EXPECT_EQ(profile.readString("T", "j"), "w");
    EXPECT_EQ(profile.text(), "[S]\nk=v\n\n[T]\nj=w\n");
}

TEST(ProfileFile, WritingReplacesTheFirstMatchingKeyOnly) {
    auto profile = ProfileFile::fromText("; top\n[S]\n  KEY = old\nkey=second\n[Other]\nx=1\n");
    profile.writeString("s", "key", "new");
    EXPECT_EQ(profile.text(), "; top\n[S]\nkey=new\nkey=second\n[Other]\nx=1\n");
}

TEST(ProfileFile, WritingAddsAKeyBeforeTheBlankLinesThatEndItsSection) {
    auto profile = ProfileFile::fromText("[S]\na=1\n\n\n[T]\nb=2");
    profile.writeString("S", "c", "3");
    profile.writeString("T", "d", "4");
    EXPECT_EQ(profile.text(), "[S]\na=1\nc=3\n\n\n[T]\nb=2\nd=4");
}

TEST(ProfileFile, WritingAddsAMissingSectionAtTheEnd) {
    auto profile = ProfileFile::fromText("[S]\na=1");
    profile.writeString("New", "k", "v");
    EXPECT_EQ(profile.text(), "[S]\na=1\n[New]\nk=v\n");
    auto empty = ProfileFile::fromText("");
    empty.writeString("New", "k", "v");
    EXPECT_EQ(empty.text(), "[New]\nk=v\n");
}

TEST(ProfileFile, WrittenArgumentsStayOnOneLine) {
    auto profile = ProfileFile::fromText("");
    profile.writeString("S", "k", "two\nlines\r\n");
    profile.writeString("", "k", "v");
    profile.writeString("S", "", "v");
    EXPECT_EQ(profile.text(), "[S]\nk=two lines\n");
}

TEST(ProfileFile, ErasingRemovesEverySectionOfTheNameAndKeepsTheRest) {
    const std::string kept1 = "; comment\nloose=1\n[Keep]\n  odd   spacing = x \n\n";
    const std::string kept2 = "[Also]\n#not a comment\n";
    auto profile = ProfileFile::fromText(kept1 + "[Gone]\na=1\n\n" + kept2 + "[GONE]\nb=2\n");
    profile.eraseSection("gone");
    EXPECT_EQ(profile.text(), kept1 + kept2);
    EXPECT_FALSE(profile.sectionExists("Gone"));
}

TEST(ProfileFile, ErasingTheLastUnterminatedSectionLeavesATerminatedFile) {
    auto profile = ProfileFile::fromText("[Keep]\na=1\n[Gone]\nb=2");
    profile.eraseSection("Gone");
    EXPECT_EQ(profile.text(), "[Keep]\na=1\n");
}

TEST(ProfileFile, RewritingKeepsKeysThatContainEqualsSignsOrDifferInCase) {
    auto profile = ProfileFile::fromText("[Opt]\nold=1\n[Other]\nx=1\n");
    profile.rewriteSection("Opt", {{"Edit=B", "8"}, {"Edit", "1"}, {"edit", "2"}, {"", "3"}});
    EXPECT_EQ(profile.text(), "[Other]\nx=1\n[Opt]\nEdit=B=8\nEdit=1\nedit=2\n");
    profile.rewriteSection("Opt", {});
    EXPECT_EQ(profile.text(), "[Other]\nx=1\n");
}

TEST(ProfileFile, SavingWritesTheTextAndCreatesAMissingFile) {
    vetra::testing::ScratchDirectory scratch;
    const auto path = scratch.path() / "new.ini";
    ProfileFile profile(path.string());
    EXPECT_FALSE(profile.sectionExists("S"));
    profile.writeString("S", "k", "v");
    ASSERT_TRUE(profile.save());
    EXPECT_EQ(fileContents(path), "[S]\nk=v\n");
    EXPECT_EQ(ProfileFile(path.string()).readString("s", "K"), "v");
}

TEST(ProfileFile, AProfileParsedFromTextIsNotSaved) {
    EXPECT_FALSE(ProfileFile::fromText("[S]\n").save());
}

} // namespace
