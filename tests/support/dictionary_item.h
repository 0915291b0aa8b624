// A data dictionary entry for a test's metafile; its long and third names default to its short
// name.
#pragma once

#include "tools/metafile_writer/metafile_builder.h"

#include <string>

namespace vetra::testing {

inline writer::DictionaryEntry dictionaryItem(long local, const std::string& name,
                                              const std::string& type, int length,
                                              const std::string& longName = {},
                                              const std::string& thirdName = {}) {
    writer::DictionaryEntry entry;
    entry.localNumber = local;
    entry.shortName = name;
    entry.longName = longName.empty() ? name : longName;
    entry.thirdName = thirdName.empty() ? name : thirdName;
    entry.typeCode = type;
    entry.length = length;
    return entry;
}

} // namespace vetra::testing
