#include "tools/naaccr_generator/record_faults.h"

#include "tools/naaccr_generator/civil_date.h"
#include "tools/naaccr_generator/naaccr_items.h"
#include "tools/naaccr_generator/number_text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vetra::generator {

namespace {

constexpr std::array<long, 5> requiredItems = {items::sex, items::dateOfDiagnosis,
                                               items::primarySite, items::histologicTypeIcdO3,
                                               items::behaviorCodeIcdO3};

// The items a fault writes, and those its edit reads to find it.
std::vector<long> touchedItems(RecordFault fault) {
    switch (fault) {
    case RecordFault::InvalidSexCode:
        return {items::sex};
    case RecordFault::UnknownPrimarySite:
        return {items::primarySite};
    case RecordFault::InvalidBehaviorCode:
        return {items::behaviorCodeIcdO3};
    case RecordFault::BlankRequiredItem:
        return {requiredItems.begin(), requiredItems.end()};
    case RecordFault::LastContactBeforeDiagnosis:
        return {items::dateOfDiagnosis, items::dateOfLastContact};
    case RecordFault::AgeMismatch:
        return {items::ageAtDiagnosis, items::dateOfBirth, items::dateOfDiagnosis};
    case RecordFault::ProstateInFemale:
        return {items::sex,
                items::primarySite,
                items::histologicTypeIcdO3,
                items::behaviorCodeIcdO3,
                items::laterality,
                items::grade};
    case RecordFault::ImpossibleDiagnosisDate:
        return {items::dateOfDiagnosis};
    case RecordFault::BirthAfterDiagnosis:
        return {items::dateOfBirth, items::dateOfDiagnosis};
    case RecordFault::SurgeryBeforeDiagnosis:
        return {items::rxDateSurgery, items::dateOfDiagnosis};
    }
    return {};
}

// Faults are applied only to records writeSyntheticCase wrote, whose dates are whole.
CivilDate dateOf(const IncidenceRecord& record, long item) {
    return parseCcyymmdd(record.get(item)).value_or(CivilDate{});
}

void shiftAge(IncidenceRecord& record, RandomSource& random) {
    int age = std::stoi(std::string(record.get(items::ageAtDiagnosis)));
    int shift = random.between(2, 10);
    age = age + shift <= 120 ? age + shift : age - shift;
    record.set(items::ageAtDiagnosis, zeroFilled(age, 3));
}

void moveDate(IncidenceRecord& record, long item, const CivilDate& from, int days) {
    record.set(item, ccyymmdd(civilFromDays(daysFromCivil(from) + days)));
}

void makeProstateInFemale(IncidenceRecord& record) {
    record.set(items::primarySite, "C619");
    record.set(items::histologicTypeIcdO3, "8140");
    record.set(items::behaviorCodeIcdO3, "3");
    record.set(items::laterality, "0");
    record.set(items::grade, "2");
    record.set(items::sex, "2");
}

// A month and day no calendar has, after the year of diagnosis.
void breakDiagnosisDate(IncidenceRecord& record, RandomSource& random) {
    std::string date(record.get(items::dateOfDiagnosis).substr(0, 4));
    date += random.pickWord("0230 0431 1315 0632 0931");
    record.set(items::dateOfDiagnosis, date);
}

} // namespace

std::string_view faultName(RecordFault fault) {
    switch (fault) {
    case RecordFault::InvalidSexCode:
        return "invalid sex code";
    case RecordFault::UnknownPrimarySite:
        return "unknown primary site";
    case RecordFault::InvalidBehaviorCode:
        return "invalid behavior code";
    case RecordFault::BlankRequiredItem:
        return "blank required item";
    case RecordFault::LastContactBeforeDiagnosis:
        return "last contact before diagnosis";
    case RecordFault::AgeMismatch:
        return "age does not match the dates";
    case RecordFault::ProstateInFemale:
        return "prostate in a female";
    case RecordFault::ImpossibleDiagnosisDate:
        return "impossible date of diagnosis";
    case RecordFault::BirthAfterDiagnosis:
        return "birth after diagnosis";
    case RecordFault::SurgeryBeforeDiagnosis:
        return "surgery before diagnosis";
    }
    return "";
}

bool faultsAreIndependent(RecordFault first, RecordFault second) {
    std::vector<long> a = touchedItems(first);
    std::vector<long> b = touchedItems(second);
    return std::none_of(a.begin(), a.end(),
                        [&](long item) { return std::find(b.begin(), b.end(), item) != b.end(); });
}

void applyFault(IncidenceRecord& record, RandomSource& random, RecordFault fault) {
    switch (fault) {
    case RecordFault::InvalidSexCode:
        return record.set(items::sex, random.pickWord("0 7 8"));
    case RecordFault::UnknownPrimarySite:
        return record.set(items::primarySite, random.pickWord("C999 C814 C975 C96"));
    case RecordFault::InvalidBehaviorCode:
        return record.set(items::behaviorCodeIcdO3, random.pickWord("5 6 9"));
    case RecordFault::BlankRequiredItem:
        return record.set(requiredItems[random.below(requiredItems.size())], "");
    case RecordFault::LastContactBeforeDiagnosis:
        return moveDate(record, items::dateOfLastContact, dateOf(record, items::dateOfDiagnosis),
                        -random.between(1, 400));
    case RecordFault::AgeMismatch:
        return shiftAge(record, random);
    case RecordFault::ProstateInFemale:
        return makeProstateInFemale(record);
    case RecordFault::ImpossibleDiagnosisDate:
        return breakDiagnosisDate(record, random);
    case RecordFault::BirthAfterDiagnosis:
        return moveDate(record, items::dateOfBirth, dateOf(record, items::dateOfDiagnosis),
                        random.between(1, 3000));
    case RecordFault::SurgeryBeforeDiagnosis: // also into a record that had no surgery
        return moveDate(record, items::rxDateSurgery, dateOf(record, items::dateOfDiagnosis),
                        -random.between(1, 200));
    }
}

} // namespace vetra::generator
