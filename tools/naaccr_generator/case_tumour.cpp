// The tumour items of a synthetic case, drawn from its profile.
#include "tools/naaccr_generator/case_parts.h"
#include "tools/naaccr_generator/naaccr_items.h"

#include <array>

namespace vetra::generator {

namespace {

constexpr std::array<WeightedCode, 6> confirmations = {
    {{"1", 85}, {"2", 5}, {"4", 2}, {"6", 3}, {"7", 3}, {"8", 2}}};
constexpr std::array<WeightedCode, 3> sequenceNumbers = {{{"00", 85}, {"01", 10}, {"02", 5}}};
constexpr std::array<WeightedCode, 5> solidGrades = {
    {{"1", 20}, {"2", 35}, {"3", 25}, {"4", 5}, {"9", 15}}};
constexpr std::array<WeightedCode, 4> inSituGrades = {{{"1", 25}, {"2", 35}, {"3", 25}, {"9", 15}}};
constexpr std::array<WeightedCode, 2> lineageGrades = {{{"6", 60}, {"9", 40}}}; // B-cell or unknown

std::string_view pickLaterality(RandomSource& random, const CaseFacts& facts) {
    switch (facts.profile->side) {
    case SideOfSite::None:
        return "0";
    case SideOfSite::RightOnly:
        return "1";
    case SideOfSite::Either:
        break;
    }
    if (facts.deathCertificateOnly || random.chance(0.02)) return "9";
    return random.chance(0.5) ? "1" : "2";
}

std::string_view pickGrade(RandomSource& random, const CaseFacts& facts, std::string_view histology,
                           std::string_view behaviour) {
    if (facts.deathCertificateOnly) return "9";
    if (isHematopoietic(histology)) return random.pick(lineageGrades);
    return behaviour == "2" ? random.pick(inSituGrades) : random.pick(solidGrades);
}

// In situ tumours are known only under the microscope; a death certificate confirms nothing.
std::string_view pickConfirmation(RandomSource& random, const CaseFacts& facts,
                                  std::string_view behaviour) {
    if (facts.deathCertificateOnly) return "9";
    if (behaviour == "2") return "1";
    return random.pick(confirmations);
}

} // namespace

void writeTumour(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts) {
    std::string_view morphology = random.pickWord(facts.profile->morphologies);
    std::string_view histology = morphology.substr(0, 4);
    // A death certificate cannot show a tumour in situ; every in situ morphology of the
    // profiles is valid as malignant too.
    std::string_view behaviour = facts.deathCertificateOnly ? "3" : morphology.substr(5, 1);
    std::string_view sequence = random.pick(sequenceNumbers);
    record.set(items::primarySite, random.pickWord(facts.profile->sites));
    record.set(items::histologicTypeIcdO3, histology);
    record.set(items::behaviorCodeIcdO3, behaviour);
    record.set(items::laterality, pickLaterality(random, facts));
    record.set(items::grade, pickGrade(random, facts, histology, behaviour));
    record.set(items::diagnosticConfirmation, pickConfirmation(random, facts, behaviour));
    record.set(items::sequenceNumberCentral, sequence);
    record.set(items::sequenceNumberHospital, sequence);
}

} // namespace vetra::generator
