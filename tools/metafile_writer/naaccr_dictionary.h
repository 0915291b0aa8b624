// Imports a data dictionary in the XML form NAACCR publishes: a NaaccrDictionary root whose
// ItemDefs hold one ItemDef per item, with attributes naaccrId, naaccrNum, naaccrName,
// startColumn, length, recordTypes (e.g. "A,M,C,I") and dataType. The items of one record type
// become dictionary entries and the fields of one layout.
#pragma once

#include "tools/metafile_writer/record_layout.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace vetra::writer {

struct NaaccrSelection {
    char recordType = 'I';   // incidence records
    std::vector<long> items; // item numbers to keep; empty keeps every item
};

struct NaaccrLayout {
    std::vector<DictionaryEntry> dictionary;
    std::vector<LayoutField> fields; // in the order of the file
};

// An item becomes local number naaccrNum, named by naaccrName (short and long name) and
// naaccrId (third name), each cut to 25 characters; of type D1 if it is an 8-character date,
// else C. Items without a startColumn have no place in a fixed-width record and are left out.
// Throws WriterError for XML that does not parse, another root element, an attribute that is
// not a number, or a selected item the file does not have for the record type.
NaaccrLayout parseNaaccrDictionary(std::string_view xml, const NaaccrSelection& selection);

// As above, reading the file; errors name it.
NaaccrLayout readNaaccrDictionary(const std::filesystem::path& xmlFile,
                                  const NaaccrSelection& selection);

} // namespace vetra::writer
