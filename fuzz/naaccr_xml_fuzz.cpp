// Fuzzes the NAACCR XML reader with arbitrary file contents, read once in one block and once a
// few bytes at a time: both must give the same records and outcome (not always the same
// message: expat may name a different fault of a bad file when it sees the bytes in other
// pieces), every record must have the layout's length, and skipping a Tumor must land on the
// same next record.
#include "desktop/data/naaccr_xml_records.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vetra::desktop::NaaccrXmlRecords;
using Result = NaaccrXmlRecords::Result;

constexpr int recordLength = 40;

std::vector<vetra::desktop::XmlLayoutField> layout() {
    return {{10, "recordType", 1, 1},       {20, "patientIdNumber", 2, 8},
            {400, "primarySite", 10, 4},    {390, "dateOfDiagnosis", 14, 8},
            {2520, "textDxProcPe", 22, 12}, {0, "localOnly", 34, 7}};
}

vetra::desktop::ByteReader readerOf(std::string_view input, std::size_t chunk) {
    return [input, chunk](char* buffer, std::size_t capacity) mutable -> std::int64_t {
        const std::size_t count = std::min({chunk, capacity, input.size()});
        std::copy_n(input.data(), count, buffer);
        input.remove_prefix(count);
        return static_cast<std::int64_t>(count);
    };
}

struct Outcome {
    std::vector<std::string> records;
    Result last = Result::Record;
    std::string error;
};

Outcome readAll(std::string_view input, std::size_t chunk) {
    NaaccrXmlRecords reader(readerOf(input, chunk), layout(), recordLength);
    Outcome outcome;
    std::string record;
    while ((outcome.last = reader.next(record)) == Result::Record) {
        if (record.size() != static_cast<std::size_t>(recordLength)) __builtin_trap();
        outcome.records.push_back(record);
    }
    outcome.error = reader.errorText();
    if ((outcome.last == Result::Error) == outcome.error.empty()) __builtin_trap();
    if (reader.next(record) != outcome.last || reader.errorText() != outcome.error)
        __builtin_trap();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const Outcome whole = readAll(input, size + 1);
    const Outcome pieces = readAll(input, 3);
    if (whole.records != pieces.records || whole.last != pieces.last) __builtin_trap();

    NaaccrXmlRecords skipping(readerOf(input, size + 1), layout(), recordLength);
    std::string record;
    if (skipping.skip(1) && skipping.next(record) == Result::Record &&
        (whole.records.size() < 2 || record != whole.records[1]))
        __builtin_trap();
    return 0;
}
