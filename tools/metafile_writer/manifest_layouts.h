// The manifest's sections for the data dictionary and the record layouts:
//
//   [[dictionary]]  source = "dictionary.csv"
//   [[layout]]      number = 1, name = "...", description = "..." (optional), and either
//                   fields = "layout1.csv"
//                   or naaccr_xml = "naaccr-dictionary.xml", record_type = "I" (optional),
//                   items = [10, 20, 390] (optional: only these items)
//
// A dictionary CSV has the columns local, short_name, long_name, third_name, type, length,
// description and flag; the header may leave out the last two names, the description and the
// flag, and a record may leave them empty. Empty long and third names take the short name. A
// fields CSV has the columns local, type, first_column, length and, optionally, flag. A flag
// is one character, blank when left empty. A layout read from a NAACCR dictionary (see
// naaccr_dictionary.h) also brings the dictionary entries of its items, unless [[dictionary]]
// gives an entry for the same number; layouts that import the same item must agree on it.
#pragma once

#include "tools/metafile_writer/manifest_values.h"

namespace vetra::writer {

// Each reads every section of its kind; the dictionary must be read before the layouts.
void readDictionarySections(const Manifest& manifest, const toml::node& node);
void readLayoutSections(const Manifest& manifest, const toml::node& node);

} // namespace vetra::writer
