// The synthetic data generator for the sample metafile of samples/naaccr18: records of the
// right shape, the same for the same seed, clean records that keep the rules the sample's
// edits check, and faulty ones that break them. The rules are checked here on their own,
// against the sample's tables, so that the generator and the sample cannot drift apart.
#include "tests/support/file_contents.h"
#include "tools/naaccr_generator/civil_date.h"
#include "tools/naaccr_generator/generator_error.h"
#include "tools/naaccr_generator/incidence_generator.h"
#include "tools/naaccr_generator/incidence_layout.h"
#include "tools/naaccr_generator/naaccr_items.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
namespace items = vetra::generator::items;
using vetra::generator::CivilDate;
using vetra::generator::GeneratorError;
using vetra::generator::IncidenceGenerator;
using vetra::generator::IncidenceLayout;
using vetra::generator::IncidenceRecord;
using vetra::generator::RecordFault;

const fs::path sampleDirectory = NAACCR18_SAMPLE;

using vetra::testing::fileContents;

const IncidenceLayout& sampleLayout() {
    static const IncidenceLayout layout =
        vetra::generator::readIncidenceLayout(sampleDirectory / "layout.csv");
    return layout;
}

// The CODE column of sites.csv, the first of each line after the header.
const std::set<std::string>& sampleSites() {
    static const std::set<std::string> sites = [] {
        std::set<std::string> codes;
        std::istringstream lines(fileContents(sampleDirectory / "sites.csv"));
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line))
            codes.insert(line.substr(0, line.find(',')));
        return codes;
    }();
    return sites;
}

// HISTBEH.BIN as make_histbeh.py writes it: rows of 16 bits, row 1 for histology 8000, column
// b + 1 for behaviour b, the most significant bit of each byte first.
bool histologyAllowsBehaviour(std::string_view histology, std::string_view behaviour) {
    static const std::string table = fileContents(sampleDirectory / "histbeh.bin");
    int row = std::atoi(std::string(histology).c_str()) - 7999;
    int column = behaviour[0] - '0' + 1;
    if (row < 1 || row > 2000 || column < 1 || column > 16) return false;
    int element = (row - 1) * 16 + column - 1;
    auto byte = static_cast<unsigned char>(table.at(static_cast<std::size_t>(element / 8)));
    return (byte >> (7 - element % 8) & 1) != 0;
}

// The site lists of the Primary Site, Laterality edit, read from its source: the quoted
// strings of the digits after C, codes and ranges ("079,080-081,...").
bool isPairedInTheEdit(std::string_view site) {
    static const std::vector<std::pair<std::string, std::string>> ranges = [] {
        std::vector<std::pair<std::string, std::string>> found;
        std::string source = fileContents(sampleDirectory / "edits" / "laterality_paired.edit");
        const std::string listStart = "inlist(digits, \"";
        for (std::size_t open = source.find(listStart); open != std::string::npos;
             open = source.find(listStart, open + 1)) {
            std::size_t first = open + listStart.size();
            std::istringstream list(source.substr(first, source.find('"', first) - first));
            std::string entry;
            while (std::getline(list, entry, ','))
                found.emplace_back("C" + entry.substr(0, 3), "C" + entry.substr(entry.size() - 3));
        }
        return found;
    }();
    return std::any_of(ranges.begin(), ranges.end(), [&](const auto& range) {
        return site >= range.first && site <= range.second;
    });
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

std::optional<CivilDate> dateOf(const IncidenceRecord& record, long item) {
    return vetra::generator::parseCcyymmdd(record.get(item));
}

constexpr std::array<long, 5> requiredItems = {items::sex, items::dateOfDiagnosis,
                                               items::primarySite, items::histologicTypeIcdO3,
                                               items::behaviorCodeIcdO3};

bool isOneOf(std::string_view value, std::initializer_list<std::string_view> codes) {
    return std::find(codes.begin(), codes.end(), value) != codes.end();
}

// ---- The rules each fault breaks, as the sample's edits check them --------------------------

bool breaks(const IncidenceRecord& record, RecordFault fault) {
    auto diagnosis = dateOf(record, items::dateOfDiagnosis);
    auto birth = dateOf(record, items::dateOfBirth);
    std::string_view site = record.get(items::primarySite);
    std::string_view sex = record.get(items::sex);
    switch (fault) {
    case RecordFault::InvalidSexCode:
        return !isOneOf(sex, {"1", "2", "3", "4", "5", "6", "9"});
    case RecordFault::UnknownPrimarySite:
        return !isBlank(site) && sampleSites().count(std::string(site)) == 0;
    case RecordFault::InvalidBehaviorCode:
        return !isBlank(record.get(items::behaviorCodeIcdO3)) &&
               !isOneOf(record.get(items::behaviorCodeIcdO3), {"0", "1", "2", "3"});
    case RecordFault::BlankRequiredItem:
        return std::any_of(requiredItems.begin(), requiredItems.end(),
                           [&](long item) { return isBlank(record.get(item)); });
    case RecordFault::LastContactBeforeDiagnosis: {
        auto lastContact = dateOf(record, items::dateOfLastContact);
        return diagnosis && lastContact && *lastContact < *diagnosis;
    }
    case RecordFault::AgeMismatch:
        return diagnosis && birth &&
               std::atoi(std::string(record.get(items::ageAtDiagnosis)).c_str()) !=
                   vetra::generator::completedYears(*birth, *diagnosis);
    case RecordFault::ProstateInFemale:
        return site >= "C600" && site <= "C639" && isOneOf(sex, {"2", "6"});
    case RecordFault::ImpossibleDiagnosisDate:
        return !isBlank(record.get(items::dateOfDiagnosis)) && !diagnosis;
    case RecordFault::BirthAfterDiagnosis:
        return diagnosis && birth && *diagnosis < *birth;
    case RecordFault::SurgeryBeforeDiagnosis: {
        auto surgery = dateOf(record, items::rxDateSurgery);
        return diagnosis && surgery && *surgery < *diagnosis;
    }
    }
    return false;
}

std::vector<std::string> brokenRules(const IncidenceRecord& record) {
    std::vector<std::string> broken;
    for (RecordFault fault : vetra::generator::allRecordFaults)
        if (breaks(record, fault)) broken.emplace_back(vetra::generator::faultName(fault));
    return broken;
}

// The dates of a clean record, each after the ones it must follow.
void expectDatesInOrder(const IncidenceRecord& record) {
    auto birth = dateOf(record, items::dateOfBirth);
    auto diagnosis = dateOf(record, items::dateOfDiagnosis);
    auto firstContact = dateOf(record, items::dateOf1stContact);
    auto lastContact = dateOf(record, items::dateOfLastContact);
    ASSERT_TRUE(birth && diagnosis && firstContact && lastContact) << record.text();
    EXPECT_LE(*birth, *diagnosis);
    EXPECT_LE(*diagnosis, *firstContact);
    EXPECT_LE(*firstContact, *lastContact);
    for (long therapy :
         {items::rxDateSurgery, items::rxDateRadiation, items::rxDateChemo, items::rxDateHormone}) {
        if (isBlank(record.get(therapy))) continue;
        auto given = dateOf(record, therapy);
        ASSERT_TRUE(given) << therapy << ": " << record.get(therapy);
        EXPECT_LE(*diagnosis, *given);
        EXPECT_LE(*given, *lastContact);
    }
    EXPECT_EQ(std::atoi(std::string(record.get(items::ageAtDiagnosis)).c_str()),
              vetra::generator::completedYears(*birth, *diagnosis));
}

// The consistency the sample's other edits ask of a clean record.
void expectConsistentTumour(const IncidenceRecord& record) {
    std::string_view histology = record.get(items::histologicTypeIcdO3);
    std::string_view behaviour = record.get(items::behaviorCodeIcdO3);
    EXPECT_TRUE(histologyAllowsBehaviour(histology, behaviour)) << histology << "/" << behaviour;
    std::string_view confirmation = record.get(items::diagnosticConfirmation);
    EXPECT_TRUE(behaviour != "2" || isOneOf(confirmation, {"1", "2", "4"})) << confirmation;
    bool lineage = isOneOf(record.get(items::grade), {"5", "6", "7", "8"});
    EXPECT_FALSE(lineage && histology < "9590") << histology;
    std::string_view site = record.get(items::primarySite);
    EXPECT_EQ(isPairedInTheEdit(site), record.get(items::laterality) != "0") << site;
    bool femaleSite = site >= "C510" && site <= "C589";
    EXPECT_FALSE(femaleSite && isOneOf(record.get(items::sex), {"1", "5"})) << site;
}

std::string generatedText(std::uint64_t seed, double faultRate, long count) {
    IncidenceGenerator generator(sampleLayout(), seed, faultRate);
    std::ostringstream out;
    vetra::generator::writeIncidenceRecords(out, generator, count);
    return out.str();
}

// ---- Shape and determinism -------------------------------------------------------------------

TEST(NaaccrGenerate, WritesRecordsOf4048CharactersEachEndedByALineFeed) {
    std::string text = generatedText(7, 0.05, 50);
    ASSERT_EQ(text.size(), 50u * 4049u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 50);
    for (std::size_t start = 0; start < text.size(); start += 4049) {
        EXPECT_EQ(text[start + 4048], '\n');
        EXPECT_EQ(text.substr(start, 1), "I");
        EXPECT_EQ(text.substr(start + 16, 3), "180");
    }
}

TEST(NaaccrGenerate, GivesTheSameRecordsForTheSameSeed) {
    EXPECT_EQ(generatedText(42, 0.3, 300), generatedText(42, 0.3, 300));
    EXPECT_NE(generatedText(42, 0.3, 300), generatedText(43, 0.3, 300));
}

TEST(NaaccrGenerate, GivesEveryItemOfTheSampleLayoutAValue) {
    // Birthplace (250) is retired, the flag is blank next to a known birth date, and the filler
    // only pads the record out.
    const std::set<long> meantBlank = {250, items::dateOfBirthFlag, 99990001};
    IncidenceGenerator generator(sampleLayout(), 1, 0.0);
    std::set<long> valued;
    for (int i = 0; i < 2000; ++i) {
        const IncidenceRecord& record = generator.next();
        for (const auto& field : sampleLayout().fields())
            if (!isBlank(record.get(field.item))) valued.insert(field.item);
    }
    for (const auto& field : sampleLayout().fields())
        EXPECT_NE(valued.count(field.item) == 1, meantBlank.count(field.item) == 1)
            << "item " << field.item;
}

// ---- Clean and faulty records ----------------------------------------------------------------

TEST(NaaccrGenerate, KeepsEveryRuleWithoutFaults) {
    IncidenceGenerator generator(sampleLayout(), 2024, 0.0);
    for (int i = 0; i < 3000; ++i) {
        const IncidenceRecord& record = generator.next();
        EXPECT_TRUE(generator.faults().empty());
        EXPECT_EQ(brokenRules(record), std::vector<std::string>()) << record.text();
        expectDatesInOrder(record);
        expectConsistentTumour(record);
        if (HasFailure()) break;
    }
}

TEST(NaaccrGenerate, BreaksTheRuleOfEachFaultAtFaultRateOne) {
    IncidenceGenerator generator(sampleLayout(), 99, 1.0);
    std::set<RecordFault> seen;
    for (int i = 0; i < 3000; ++i) {
        const IncidenceRecord& record = generator.next();
        ASSERT_FALSE(generator.faults().empty());
        for (RecordFault fault : generator.faults()) {
            EXPECT_TRUE(breaks(record, fault))
                << vetra::generator::faultName(fault) << ": " << record.text();
            seen.insert(fault);
        }
        if (HasFailure()) break;
    }
    EXPECT_EQ(seen.size(), vetra::generator::allRecordFaults.size());
}

TEST(NaaccrGenerate, PutsFaultsIntoAboutTheShareAskedFor) {
    IncidenceGenerator generator(sampleLayout(), 5, 0.05);
    int faulty = 0;
    for (int i = 0; i < 10000; ++i) {
        generator.next();
        faulty += generator.faults().empty() ? 0 : 1;
    }
    EXPECT_GT(faulty, 400);
    EXPECT_LT(faulty, 600);
}

TEST(NaaccrGenerate, RefusesAFaultRateOutsideZeroToOne) {
    EXPECT_THROW(IncidenceGenerator(sampleLayout(), 1, 1.5), GeneratorError);
    EXPECT_THROW(IncidenceGenerator(sampleLayout(), 1, -0.1), GeneratorError);
}

// ---- Layouts ---------------------------------------------------------------------------------

TEST(NaaccrGenerate, RefusesALayoutThatLeavesTheRecord) {
    std::string csv = "local,type,first_column,length\n10,C,1,1\n99,C,4040,10\n";
    try {
        vetra::generator::parseIncidenceLayout(csv, "wide.csv");
        FAIL() << "accepted a field past column 4048";
    } catch (const GeneratorError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "wide.csv: item 99 at column 4040, length 10, leaves the 4048-column record");
    }
}

TEST(NaaccrGenerate, NamesTheLineOfABadLayoutRow) {
    std::string csv = "local,type,first_column,length\n10,C,1,1\n20,C,x,8\n";
    try {
        vetra::generator::parseIncidenceLayout(csv, "bad.csv");
        FAIL() << "accepted a column that is no number";
    } catch (const GeneratorError& error) {
        EXPECT_EQ(std::string(error.what()), "bad.csv: line 3: first_column \"x\" is not a number");
    }
}

TEST(NaaccrGenerate, LeavesItemsTheLayoutDoesNotPlace) {
    IncidenceLayout layout({{items::recordType, 1, 1}, {items::sex, 5, 1}});
    IncidenceGenerator generator(layout, 3, 0.0);
    std::string text = generator.next().text();
    EXPECT_EQ(text.size(), 4048u);
    EXPECT_EQ(text.substr(0, 1), "I");
    EXPECT_EQ(text.find_first_not_of(' ', 5), std::string::npos) << text.substr(0, 10);
}

// ---- The command line ------------------------------------------------------------------------

// The exit status of a command whose standard error goes to `errors`.
int run(const std::string& command, const fs::path& errors) {
    int status = std::system((command + " 2>" + errors.string()).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(NaaccrGenerateCommand, WritesTheLibrarysRecordsToAFile) {
    fs::path output = fs::temp_directory_path() / "naaccr_generate_test.txt";
    fs::path errors = fs::temp_directory_path() / "naaccr_generate_test_writes.err";
    ASSERT_EQ(run(std::string(NAACCR_GENERATE_PATH) + " --records 20 --seed 11 --fault-rate 0.5" +
                      " --layout " + (sampleDirectory / "layout.csv").string() + " -o " +
                      output.string(),
                  errors),
              0)
        << fileContents(errors);
    EXPECT_EQ(fileContents(output), generatedText(11, 0.5, 20));
    fs::remove(output);
    fs::remove(errors);
}

TEST(NaaccrGenerateCommand, SaysWhereItLookedForAMissingLayout) {
    fs::path errors = fs::temp_directory_path() / "naaccr_generate_test_layout.err";
    EXPECT_EQ(run(std::string(NAACCR_GENERATE_PATH) +
                      " --records 1 --seed 1 --layout /nonexistent/layout.csv",
                  errors),
              1);
    EXPECT_NE(fileContents(errors).find("no layout at /nonexistent/layout.csv"), std::string::npos)
        << fileContents(errors);
    fs::remove(errors);
}

} // namespace
