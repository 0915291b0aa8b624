// The parts a synthetic case is written in, each filling the items of one concern. They run in
// the order declared: the tumour first, since the patient's sex and the course of treatment
// depend on it.
#pragma once

#include "tools/naaccr_generator/civil_date.h"
#include "tools/naaccr_generator/incidence_record.h"
#include "tools/naaccr_generator/number_text.h"
#include "tools/naaccr_generator/random_source.h"
#include "tools/naaccr_generator/tumour_profiles.h"

namespace vetra::generator {

struct CaseFacts {
    const TumourProfile* profile = nullptr;
    bool deathCertificateOnly = false; // known from a death certificate alone
    CivilDate diagnosis;
};

// Primary site, morphology, laterality, grade, confirmation and sequence numbers.
void writeTumour(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts);
// Sex, race, origin, marital status, residence and birthplace.
void writePatient(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts);
// Birth and age, first contact, treatment, follow-up and the case's own dates.
void writeCourse(IncidenceRecord& record, RandomSource& random, const CaseFacts& facts);

} // namespace vetra::generator
