// One synthetic incidence case, consistent in itself and valid under the sample metafile's
// edits (samples/naaccr18): codes from the version 18 code lists, a site and morphology that
// go together, dates in order (birth, diagnosis, first contact and treatment, last contact)
// and the age at diagnosis those dates give. No real patient is behind any of it.
#pragma once

#include "tools/naaccr_generator/incidence_record.h"
#include "tools/naaccr_generator/random_source.h"

namespace vetra::generator {

// Clears the record and writes the case; `patientNumber` (from 1) becomes the Patient ID
// Number, so that the cases of one file are told apart.
void writeSyntheticCase(IncidenceRecord& record, RandomSource& random, long patientNumber);

} // namespace vetra::generator
