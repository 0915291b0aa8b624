#include "engine/records/date_field_format.h"

#include <gtest/gtest.h>

namespace {

using vetra::readDateField;

TEST(DateFieldRead, CcyymmddReportsTheWorstMalformedPart) {
    auto read = readDateField("2005  15", '1', false);
    EXPECT_EQ(read.status, vetra::kMonthStatus);
    EXPECT_EQ(read.value, 2005);
    read = readDateField("200512 5", '1', false);
    EXPECT_EQ(read.status, vetra::kDayStatus);
    read = readDateField("20X51231", '1', false);
    EXPECT_EQ(read.status, vetra::kYearStatus);
    read = readDateField("        ", '1', false);
    EXPECT_TRUE(read.empty);
    EXPECT_EQ(read.value, 0);
    EXPECT_EQ(read.status, 0);
    read = readDateField("2005    ", '1', false); // year only: month and day both blank
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.value, 2005);
    read = readDateField("20051231", '1', false);
    EXPECT_EQ(read.value, 20051231);
    EXPECT_FALSE(read.empty);
}

TEST(DateFieldRead, EveryFormatGivesItsCcyymmddValue) {
    EXPECT_EQ(readDateField(std::string("\x1F\xF5\x31\x01", 4), '2', false).value, 20051231);
    EXPECT_EQ(readDateField("051231", '3', false).value, 19051231);
    EXPECT_EQ(readDateField("000000", '3', false).value, 0);
    EXPECT_EQ(readDateField(std::string("\x1F\xC8\x00\x00", 4), '4', false).value, 19051231);
    EXPECT_EQ(readDateField("12/31/99", '5', false).value, 19991231);
    EXPECT_EQ(readDateField("00/00/00", '5', false).value, 0);
    EXPECT_EQ(readDateField("12/31/2005", '6', false).value, 20051231);
    EXPECT_EQ(readDateField("123199", '7', false).value, 19991231);
    EXPECT_EQ(readDateField("12312005", '8', false).value, 20051231);
    EXPECT_EQ(readDateField("122005", '9', false).value, 20051201);
    EXPECT_EQ(readDateField("000000", '9', false).value, 0);
    EXPECT_EQ(readDateField("1205", 'A', false).value, 19051201);
    EXPECT_EQ(readDateField("0000", 'A', false).value, 0);
}

TEST(DateFieldRead, SlashedFormatsCountSeparatorsAsBlanks) {
    EXPECT_TRUE(readDateField("  /  /  ", '5', false).empty);
    EXPECT_TRUE(readDateField("  -  -    ", '6', false).empty);
    EXPECT_FALSE(readDateField("  /  /99", '5', false).empty);
}

TEST(DateFieldRead, BlankFirstMonthDigitSwitchAcceptsASingleDigitMonth) {
    auto without = readDateField(" 5/03/99", '5', false);
    EXPECT_EQ(without.status, vetra::kMonthStatus);
    auto with = readDateField(" 5/03/99", '5', true);
    EXPECT_EQ(with.status, 0);
    EXPECT_EQ(with.value, 19990503);
}

TEST(DateFieldWrite, GeneralisesFromEveryFormat) {
    EXPECT_EQ(vetra::VTi_generalizeDate("20051231", '1'), "20051231");
    EXPECT_EQ(vetra::VTi_generalizeDate("20051231", '2'), "20051231");
    EXPECT_EQ(vetra::VTi_generalizeDate("051231", '3'), "19051231");
    EXPECT_EQ(vetra::VTi_generalizeDate("51231", '4'), "19051231");
    EXPECT_EQ(vetra::VTi_generalizeDate("12/31/99", '5'), "19991231");
    EXPECT_EQ(vetra::VTi_generalizeDate("12/31/2005", '6'), "20051231");
    EXPECT_EQ(vetra::VTi_generalizeDate("123199", '7'), "19991231");
    EXPECT_EQ(vetra::VTi_generalizeDate("12312005", '8'), "20051231");
    EXPECT_EQ(vetra::VTi_generalizeDate("122005", '9'), "20051299");
    EXPECT_EQ(vetra::VTi_generalizeDate("000000", '9'), "00000000");
    EXPECT_EQ(vetra::VTi_generalizeDate("1205", 'A'), "19051299");
    EXPECT_EQ(vetra::VTi_generalizeDate("0000", 'A'), "00000000");
    EXPECT_EQ(vetra::VTi_generalizeDate("      ", '9'), "        ");
    EXPECT_EQ(vetra::VTi_generalizeDate("", '9'), "");
    EXPECT_EQ(vetra::generalizePlainDate("2005"), "2005    ");
    EXPECT_EQ(vetra::generalizePlainDate("2005123199"), "20051231");
}

TEST(DateFieldWrite, StoresTheGeneralisedTextInEveryFormat) {
    EXPECT_EQ(vetra::storedDate("20051299", '1'), "20051299");
    EXPECT_EQ(vetra::storedDate("20051231", '2'), std::string("\x1F\xF5\x31\x01", 4));
    EXPECT_EQ(vetra::storedDate("20051231", '3'), "051231");
    EXPECT_EQ(vetra::storedDate("19051231", '4'), std::string("\x1F\xC8\x00\x00", 4));
    EXPECT_EQ(vetra::storedDate("19991231", '5'), "12/31/99");
    EXPECT_EQ(vetra::storedDate("20051231", '6'), "12/31/2005");
    EXPECT_EQ(vetra::storedDate("19991231", '7'), "123199");
    EXPECT_EQ(vetra::storedDate("20051231", '8'), "12312005");
    EXPECT_EQ(vetra::storedDate("20051299", '9'), "122005");
    EXPECT_EQ(vetra::storedDate("19051299", 'A'), "1205");
}

} // namespace
