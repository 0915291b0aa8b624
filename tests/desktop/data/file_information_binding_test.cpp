// The NAACCR file-information library, bound by file name through the run path as the desktop
// program binds it, and its entry points called directly.
#include "desktop/data/file_information_binding.h"
#include "desktop/file_information/naaccr_file_information.h"
#include "platform/dynamic_library.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>
#include <string>

namespace vetra::desktop {
namespace {

TEST(RAVfilecheck, LoadsTheBuiltLibraryByItsFileName) {
    EXPECT_EQ(platform::sharedLibraryFileName("kznaaccr"), "libkznaaccr.so");
    const RAVfilecheck filecheck;
    EXPECT_TRUE(filecheck.loaded());
}

TEST(RAVfilecheck, JoinsTheLibrarysVersionAndDescriptionForTheAboutBox) {
    const RAVfilecheck filecheck;
    ASSERT_TRUE(filecheck.loaded());
    EXPECT_EQ(filecheck.dllInfoText(),
              "1.0.0, NAACCR fixed-width records: type, version and length");
}

TEST(RAVfilecheck, IsNotLoadedWhenTheLibraryIsMissing) {
    const RAVfilecheck filecheck("libkznaaccr-missing.so");
    EXPECT_FALSE(filecheck.loaded());
    EXPECT_EQ(filecheck.dllInfoText(), "");
}

TEST(RAVfilecheck, IsNotLoadedWhenTheLibraryLacksTheEntryPoints) {
    const RAVfilecheck filecheck("libm.so.6");
    EXPECT_FALSE(filecheck.loaded());
}

// The library called through its entry points, as another host would call it.
class Kznaaccr : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.loaded()) << library.error();
        dllInfo = reinterpret_cast<decltype(dllInfo)>(library.resolve("kzGet_kznaaccr_dll_info"));
        fileInfo = reinterpret_cast<decltype(fileInfo)>(library.resolve("kzGet_naaccr_file_info"));
        ASSERT_NE(dllInfo, nullptr);
        ASSERT_NE(fileInfo, nullptr);
    }

    platform::DynamicLibrary library{platform::sharedLibraryFileName("kznaaccr")};
    decltype(&kzGet_kznaaccr_dll_info) dllInfo = nullptr;
    decltype(&kzGet_naaccr_file_info) fileInfo = nullptr;
    testing::ScratchDirectory scratch;
};

TEST_F(Kznaaccr, FillsBothTextsWithinTheRecord) {
    char record[112] = {};
    EXPECT_EQ(dllInfo(record), 0);
    EXPECT_EQ(std::string(record), "1.0.0");
    EXPECT_EQ(std::string(record + 16), "NAACCR fixed-width records: type, version and length");
    EXPECT_EQ(dllInfo(nullptr), -1);
}

TEST_F(Kznaaccr, ReadsTheFirstRecordOfADataFile) {
    const auto path = scratch.write("data.txt", "A               210   \r\nA");
    kznaaccr_file_info info{};
    ASSERT_EQ(fileInfo(path.c_str(), &info), 0);
    EXPECT_EQ(info.record_type, 'A');
    EXPECT_EQ(std::string(info.naaccr_version), "210");
    EXPECT_EQ(info.record_length, 24);
}

TEST_F(Kznaaccr, ReportsALineTooShortForAVersion) {
    const auto path = scratch.write("short.txt", "I" + std::string(15, ' ') + "1\n");
    kznaaccr_file_info info{};
    EXPECT_EQ(fileInfo(path.c_str(), &info), 1);
    EXPECT_EQ(info.record_type, 'I');
    EXPECT_EQ(std::string(info.naaccr_version), "");
    EXPECT_EQ(info.record_length, 18);
}

TEST_F(Kznaaccr, CutsAnOverlongFirstLine) {
    const auto path = scratch.write("long.txt", std::string(KZNAACCR_MAX_LINE + 10, 'C'));
    kznaaccr_file_info info{};
    EXPECT_EQ(fileInfo(path.c_str(), &info), 0);
    EXPECT_EQ(info.record_length, KZNAACCR_MAX_LINE);
}

TEST_F(Kznaaccr, RefusesNullArgumentsMissingFilesAndFolders) {
    kznaaccr_file_info info{};
    EXPECT_EQ(fileInfo(nullptr, &info), -1);
    EXPECT_EQ(fileInfo(scratch.path().c_str(), nullptr), -1);
    EXPECT_EQ(fileInfo((scratch.path() / "missing.txt").c_str(), &info), -1);
    EXPECT_EQ(fileInfo(scratch.path().c_str(), &info), -1);
}

} // namespace
} // namespace vetra::desktop
