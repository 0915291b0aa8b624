// The course of a synthetic case in time: birth, first contact, first-course treatment and
// follow-up, each date drawn after the ones it must follow.
#include "tools/naaccr_generator/case_parts.h"
#include "tools/naaccr_generator/naaccr_items.h"

#include <algorithm>
#include <array>

namespace vetra::generator {

namespace {

// Follow-up ends here rather than today, so that a seed gives the same records every day.
constexpr CivilDate followUpEnd{2019, 12, 31};
constexpr int oldestAge = 95;

constexpr std::array<WeightedCode, 3> causesOtherThanTheTumour = {
    {{"I219", 40}, {"J449", 30}, {"I639", 20}}};
constexpr std::array<WeightedCode, 3> statusesAlive = {{{"1", 70}, {"2", 20}, {"9", 10}}};
constexpr std::array<WeightedCode, 2> statusesDead = {{{"2", 70}, {"9", 30}}};

// One kind of first-course treatment: its date and summary items, how likely it is (for most
// tumours, for leukemias and lymphomas, for hormone-sensitive tumours), when it starts (days
// after diagnosis) and its summary codes when given, when not, and when nobody knows.
struct Therapy {
    long dateItem;
    long summaryItem;
    double usualChance;
    double hematopoieticChance;
    double hormoneSensitiveChance;
    int earliestDay;
    int latestDay;
    std::string_view givenCodes; // separated by blanks
    std::string_view noneCode;
    std::string_view unknownCode; // for a death certificate only case
};

constexpr std::array<Therapy, 4> therapies = {{
    {items::rxDateSurgery, items::rxSummSurgPrimSite, 0.65, 0.0, 0.65, 0, 90, "20 22 30 40 50",
     "00", "99"},
    {items::rxDateRadiation, items::rxSummRadiation, 0.3, 0.3, 0.3, 20, 200, "1 1 1 2 4", "0", "9"},
    {items::rxDateChemo, items::rxSummChemo, 0.3, 0.8, 0.3, 7, 150, "01 02 03", "00", "99"},
    {items::rxDateHormone, items::rxSummHormone, 0.03, 0.03, 0.6, 30, 200, "01", "00", "99"},
}};

void writeBirth(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts) {
    int age = random.between(facts.profile->youngestAge, oldestAge);
    int birth = daysFromCivil(facts.diagnosis) - age * 365 - age / 4 - random.between(0, 364);
    CivilDate birthDate = civilFromDays(birth);
    record.set(items::dateOfBirth, ccyymmdd(birthDate));
    record.set(items::ageAtDiagnosis, zeroFilled(completedYears(birthDate, facts.diagnosis), 3));
}

bool isHormoneSensitive(std::string_view site) {
    return site.starts_with("C50") || site == "C619" || site.starts_with("C54");
}

// Returns the later of `latest` and the last therapy date, both in days.
int writeTherapies(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts,
                   int latest) {
    bool hematopoietic = isHematopoietic(record.get(items::histologicTypeIcdO3));
    bool hormoneSensitive = isHormoneSensitive(record.get(items::primarySite));
    for (const Therapy& therapy : therapies) {
        double chance = hematopoietic      ? therapy.hematopoieticChance
                        : hormoneSensitive ? therapy.hormoneSensitiveChance
                                           : therapy.usualChance;
        if (facts.deathCertificateOnly) {
            record.set(therapy.summaryItem, therapy.unknownCode);
        } else if (random.chance(chance)) {
            int given = daysFromCivil(facts.diagnosis) +
                        random.between(therapy.earliestDay, therapy.latestDay);
            record.set(therapy.dateItem, ccyymmdd(civilFromDays(given)));
            record.set(therapy.summaryItem, random.pickWord(therapy.givenCodes));
            latest = std::max(latest, given);
        } else {
            record.set(therapy.summaryItem, therapy.noneCode);
        }
    }
    return latest;
}

void writeVitalStatus(IncidenceRecord& record, RandomSource& random, bool dead) {
    record.set(items::vitalStatus, dead ? "0" : "1");
    record.set(items::cancerStatus, dead ? random.pick(statusesDead) : random.pick(statusesAlive));
    record.set(items::followUpSource, random.pickWord("1 2 3 4"));
    if (!dead) {
        record.set(items::causeOfDeath, "0000");
        record.set(items::icdRevisionNumber, "0");
        return;
    }
    // Most cancers have the same code in ICD-10 as their site in ICD-O-3, without the dot.
    bool ofTheTumour = random.chance(0.6);
    record.set(items::causeOfDeath, ofTheTumour
                                        ? std::string(record.get(items::primarySite))
                                        : std::string(random.pick(causesOtherThanTheTumour)));
    record.set(items::icdRevisionNumber, "1");
}

// The last contact comes after every other date of the case, within ten years.
void writeFollowUp(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts,
                   int latest) {
    if (facts.deathCertificateOnly) {
        record.set(items::dateOfLastContact, ccyymmdd(facts.diagnosis));
        writeVitalStatus(record, random, true);
        return;
    }
    int lastContact =
        latest + random.between(0, std::min(3650, daysFromCivil(followUpEnd) - latest));
    record.set(items::dateOfLastContact, ccyymmdd(civilFromDays(lastContact)));
    writeVitalStatus(record, random, random.chance(0.25));
}

} // namespace

void writeCourse(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts) {
    writeBirth(record, random, facts);
    record.set(items::dateOfDiagnosis, ccyymmdd(facts.diagnosis));
    record.set(items::survDateDxRecode, ccyymmdd(facts.diagnosis));
    int firstContact =
        daysFromCivil(facts.diagnosis) + (facts.deathCertificateOnly ? 0 : random.between(0, 45));
    record.set(items::dateOf1stContact, ccyymmdd(civilFromDays(firstContact)));
    int latest = writeTherapies(record, random, facts, firstContact);
    writeFollowUp(record, random, facts, latest);
    int completed = std::min(firstContact + random.between(30, 180), daysFromCivil(followUpEnd));
    record.set(items::dateCaseCompleted, ccyymmdd(civilFromDays(completed)));
}

} // namespace vetra::generator
