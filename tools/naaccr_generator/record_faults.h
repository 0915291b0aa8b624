// Deliberate faults put into synthetic records, so that a run of the sample metafile's edits
// has errors to find. Each fault breaks one rule an edit of samples/naaccr18 checks; the edit
// is named beside it.
#pragma once

#include "tools/naaccr_generator/incidence_record.h"
#include "tools/naaccr_generator/random_source.h"

#include <array>
#include <string_view>

namespace vetra::generator {

enum class RecordFault {
    InvalidSexCode,             // Sex, Valid Code (NAACCR)
    UnknownPrimarySite,         // Primary Site (NAACCR)
    InvalidBehaviorCode,        // Behavior Code ICD-O-3 (NAACCR)
    BlankRequiredItem,          // Required Items, Not Blank (NAACCR)
    LastContactBeforeDiagnosis, // Date of Diagnosis, Date Last Contact (NAACCR)
    AgeMismatch,                // Age, Birth Date, Date of Diagnosis (NAACCR)
    ProstateInFemale,           // Primary Site, Sex (NAACCR)
    ImpossibleDiagnosisDate,    // Date of Diagnosis (NAACCR)
    BirthAfterDiagnosis,        // Date of Birth, Date of Diagnosis (NAACCR)
    SurgeryBeforeDiagnosis,     // RX Dates, Date of Diagnosis (NAACCR)
};

inline constexpr std::array<RecordFault, 10> allRecordFaults = {
    RecordFault::InvalidSexCode,
    RecordFault::UnknownPrimarySite,
    RecordFault::InvalidBehaviorCode,
    RecordFault::BlankRequiredItem,
    RecordFault::LastContactBeforeDiagnosis,
    RecordFault::AgeMismatch,
    RecordFault::ProstateInFemale,
    RecordFault::ImpossibleDiagnosisDate,
    RecordFault::BirthAfterDiagnosis,
    RecordFault::SurgeryBeforeDiagnosis,
};

std::string_view faultName(RecordFault fault);

// Whether two faults may go into one record: they touch different items, and neither touches
// an item the other's edit needs to see it, so that each stays detectable.
bool faultsAreIndependent(RecordFault first, RecordFault second);

// Puts the fault into a record written by writeSyntheticCase.
void applyFault(IncidenceRecord& record, RandomSource& random, RecordFault fault);

} // namespace vetra::generator
