// The patient items of a synthetic case: who the patient is and where they lived.
#include "tools/naaccr_generator/case_parts.h"
#include "tools/naaccr_generator/naaccr_items.h"

#include <array>

namespace vetra::generator {

namespace {

constexpr std::array<WeightedCode, 7> sexesForAnySite = {
    {{"1", 480}, {"2", 480}, {"3", 5}, {"4", 5}, {"5", 5}, {"6", 5}, {"9", 20}}};
constexpr std::array<WeightedCode, 12> firstRaces = {{{"01", 750},
                                                      {"02", 130},
                                                      {"03", 10},
                                                      {"04", 20},
                                                      {"05", 10},
                                                      {"06", 20},
                                                      {"08", 10},
                                                      {"10", 10},
                                                      {"16", 10},
                                                      {"96", 10},
                                                      {"98", 10},
                                                      {"99", 10}}};
constexpr std::array<WeightedCode, 9> spanishOrigins = {
    {{"0", 85}, {"1", 5}, {"2", 2}, {"3", 1}, {"4", 1}, {"5", 1}, {"6", 1}, {"7", 1}, {"9", 3}}};
constexpr std::array<WeightedCode, 7> maritalStatuses = {
    {{"1", 15}, {"2", 50}, {"3", 3}, {"4", 12}, {"5", 14}, {"6", 2}, {"9", 4}}};

struct Residence {
    std::string_view state;
    std::string_view city;
    std::string_view zipPrefix; // the first three digits of the city's ZIP codes
};

constexpr std::array<Residence, 12> residences = {{
    {"CA", "LOS ANGELES", "900"},
    {"TX", "HOUSTON", "770"},
    {"NY", "NEW YORK", "100"},
    {"FL", "MIAMI", "331"},
    {"IL", "CHICAGO", "606"},
    {"PA", "PHILADELPHIA", "191"},
    {"OH", "COLUMBUS", "432"},
    {"MI", "DETROIT", "482"},
    {"GA", "ATLANTA", "303"},
    {"NC", "CHARLOTTE", "282"},
    {"WA", "SEATTLE", "981"},
    {"MN", "MINNEAPOLIS", "554"},
}};

constexpr std::string_view foreignCountries = "MEX CHN IND PHL DEU VNM CUB KOR";

std::string_view pickSex(RandomSource& random, const CaseFacts& facts) {
    switch (facts.profile->sex) {
    case SexOfSite::Male:
        return "1";
    case SexOfSite::Female:
        return "2";
    case SexOfSite::Any:
        break;
    }
    return random.pick(sexesForAnySite);
}

// A patient of one race has 88 (no further race) after it; one in twenty has a second race.
void writeRaces(IncidenceRecord& record, RandomSource& random) {
    std::string_view first = random.pick(firstRaces);
    record.set(items::race1, first);
    if (first == "99") {
        record.set(items::race2, "99");
        record.set(items::race3, "99");
        return;
    }
    std::string_view second = "88";
    if (random.chance(0.05)) second = first == "01" ? "02" : "01";
    record.set(items::race2, second);
    record.set(items::race3, "88");
}

void writeResidence(IncidenceRecord& record, RandomSource& random, const Residence& residence) {
    record.set(items::addrAtDxCity, residence.city);
    record.set(items::addrAtDxState, residence.state);
    std::string zip = std::string(residence.zipPrefix) + zeroFilled(random.between(0, 99), 2);
    if (random.chance(0.2)) zip += zeroFilled(random.between(1, 9999), 4);
    record.set(items::addrAtDxPostalCode, zip);
    record.set(items::countyAtDx, zeroFilled(2 * random.between(0, 99) + 1, 3)); // FIPS: odd
    if (!random.chance(0.05)) // not yet geocoded otherwise
        record.set(items::censusTract2000,
                   zeroFilled(random.between(1, 9989) * 100 + random.between(0, 2), 6));
}

void writeBirthplace(IncidenceRecord& record, RandomSource& random, const Residence& residence) {
    if (random.chance(0.05)) {
        record.set(items::birthplaceState, "ZZ");
        record.set(items::birthplaceCountry, "ZZU");
    } else if (random.chance(0.06)) {
        record.set(items::birthplaceState, "XX");
        record.set(items::birthplaceCountry, random.pickWord(foreignCountries));
    } else {
        bool movedHere = random.chance(0.15);
        const Residence& born = movedHere ? residences[random.below(residences.size())] : residence;
        record.set(items::birthplaceState, born.state);
        record.set(items::birthplaceCountry, "USA");
    }
}

} // namespace

void writePatient(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts) {
    record.set(items::sex, pickSex(random, facts));
    writeRaces(record, random);
    record.set(items::spanishHispanicOrigin, random.pick(spanishOrigins));
    record.set(items::maritalStatusAtDx, random.pick(maritalStatuses));
    const Residence& residence = residences[random.below(residences.size())];
    writeResidence(record, random, residence);
    writeBirthplace(record, random, residence);
}

} // namespace vetra::generator
