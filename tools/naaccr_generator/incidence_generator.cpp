#include "tools/naaccr_generator/incidence_generator.h"

#include "tools/naaccr_generator/generator_error.h"
#include "tools/naaccr_generator/synthetic_case.h"

#include <algorithm>
#include <cstdio>

namespace vetra::generator {

namespace {

// A faulty record has a second fault one time in four, so that the edits meet records with
// more than one error.
constexpr double secondFaultShare = 0.25;

} // namespace

IncidenceGenerator::IncidenceGenerator(const IncidenceLayout& layout, std::uint64_t seed,
                                       double faultRate)
    : random_(seed), faultRate_(faultRate), record_(layout) {
    if (!(faultRate >= 0.0 && faultRate <= 1.0)) { // also refuses NaN
        char rate[32];
        std::snprintf(rate, sizeof rate, "%g", faultRate);
        throw GeneratorError("the fault rate " + std::string(rate) + " is not from 0 to 1");
    }
}

const IncidenceRecord& IncidenceGenerator::next() {
    writeSyntheticCase(record_, random_, ++patientNumber_);
    faults_.clear();
    if (random_.chance(faultRate_)) addFaults();
    return record_;
}

void IncidenceGenerator::addFaults() {
    RecordFault first = allRecordFaults[random_.below(allRecordFaults.size())];
    faults_.push_back(first);
    if (random_.chance(secondFaultShare)) {
        std::vector<RecordFault> partners;
        std::copy_if(allRecordFaults.begin(), allRecordFaults.end(), std::back_inserter(partners),
                     [&](RecordFault other) { return faultsAreIndependent(first, other); });
        if (!partners.empty()) faults_.push_back(partners[random_.below(partners.size())]);
    }
    for (RecordFault fault : faults_)
        applyFault(record_, random_, fault);
}

void writeIncidenceRecords(std::ostream& out, IncidenceGenerator& generator, long count) {
    for (long i = 0; i < count && out; ++i) {
        const std::string& text = generator.next().text();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.put('\n');
    }
    if (!out) throw GeneratorError("writing the records failed");
}

} // namespace vetra::generator
