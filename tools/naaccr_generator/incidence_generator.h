// Streams of synthetic incidence records: each a case from writeSyntheticCase, and with the
// fault rate's probability one or more faults from record_faults.h. A seed gives the same
// records on every machine and with every standard library.
#pragma once

#include "tools/naaccr_generator/incidence_layout.h"
#include "tools/naaccr_generator/incidence_record.h"
#include "tools/naaccr_generator/random_source.h"
#include "tools/naaccr_generator/record_faults.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace vetra::generator {

class IncidenceGenerator {
public:
    // Throws GeneratorError for a fault rate outside 0 to 1. The layout must outlive the
    // generator.
    IncidenceGenerator(const IncidenceLayout& layout, std::uint64_t seed, double faultRate);

    // The next record; it stays as it is until the next call.
    const IncidenceRecord& next();
    // The faults put into the last record, in the order applied; empty for a clean record.
    const std::vector<RecordFault>& faults() const { return faults_; }

private:
    void addFaults();

    RandomSource random_;
    double faultRate_;
    IncidenceRecord record_;
    std::vector<RecordFault> faults_;
    long patientNumber_ = 0;
};

// Writes `count` records, each followed by "\n"; throws GeneratorError when the stream fails.
void writeIncidenceRecords(std::ostream& out, IncidenceGenerator& generator, long count);

} // namespace vetra::generator
