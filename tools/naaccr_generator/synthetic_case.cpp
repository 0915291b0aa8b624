#include "tools/naaccr_generator/synthetic_case.h"

#include "tools/naaccr_generator/case_parts.h"
#include "tools/naaccr_generator/naaccr_items.h"

#include <array>

namespace vetra::generator {

namespace {

constexpr CivilDate firstDiagnosis{2005, 1, 1};
constexpr CivilDate lastDiagnosis{2017, 12, 31}; // Grade (440) still applies up to 2017

// Death certificate only cases are about one in a hundred.
constexpr double deathCertificateOnlyShare = 0.01;

constexpr std::array<WeightedCode, 6> reportingSources = {
    {{"1", 80}, {"2", 6}, {"3", 4}, {"4", 5}, {"5", 2}, {"8", 3}}};
constexpr std::array<WeightedCode, 6> classesOfCase = {
    {{"10", 40}, {"14", 20}, {"20", 15}, {"22", 10}, {"00", 10}, {"32", 5}}};

const TumourProfile& pickProfile(RandomSource& random) {
    std::uint64_t total = 0;
    for (const TumourProfile& profile : tumourProfiles())
        total += static_cast<std::uint64_t>(profile.weight);
    std::uint64_t draw = random.below(total);
    for (const TumourProfile& profile : tumourProfiles()) {
        if (draw < static_cast<std::uint64_t>(profile.weight)) return profile;
        draw -= static_cast<std::uint64_t>(profile.weight);
    }
    return tumourProfiles().back(); // not reached: the draw is below the total
}

void writeReport(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts,
                 long patientNumber) {
    record.set(items::recordType, "I");
    record.set(items::registryType, "1");
    record.set(items::naaccrRecordVersion, "180");
    record.set(items::registryId, "0000001501");
    record.set(items::tumorRecordNumber, "01");
    record.set(items::patientIdNumber, zeroFilled(patientNumber, 8));
    record.set(items::reportingFacility, zeroFilled(random.between(1, 99999), 10));
    if (facts.deathCertificateOnly) {
        record.set(items::typeOfReportingSource, "7");
        record.set(items::classOfCase, "49");
    } else {
        record.set(items::typeOfReportingSource, random.pick(reportingSources));
        record.set(items::classOfCase, random.pick(classesOfCase));
    }
}

} // namespace

void writeSyntheticCase(IncidenceRecord& record, RandomSource& random, long patientNumber) {
    record.clear();
    CaseFacts facts;
    facts.profile = &pickProfile(random);
    facts.deathCertificateOnly = random.chance(deathCertificateOnlyShare);
    facts.diagnosis =
        civilFromDays(random.between(daysFromCivil(firstDiagnosis), daysFromCivil(lastDiagnosis)));
    writeReport(record, random, facts, patientNumber);
    writeTumour(record, random, facts);
    writePatient(record, random, facts);
    writeCourse(record, random, facts);
}

} // namespace vetra::generator
