// The data dictionary and the record layouts a metafile will carry, checked against each
// other as they are added: every field of a layout must have its dictionary entry first.
#pragma once

#include "tools/metafile_writer/record_layout.h"

#include <cstddef>
#include <map>
#include <vector>

namespace vetra::writer {

// The dictionary table numbers its records in four digits.
inline constexpr std::size_t maxDictionaryEntries = 9999;

class RecordLayoutSet {
public:
    // Throws WriterError for an invalid entry, a local number already in the dictionary or a
    // full dictionary. A blank long or third name takes the short name.
    void addDictionaryEntry(DictionaryEntry entry);

    // Throws WriterError for an invalid layout, a number or name already taken, a local
    // number that appears twice in the layout or has no dictionary entry. A field may have
    // another type and length in a layout than in its dictionary entry, as when a later
    // version of a record format widens it.
    void addLayout(RecordLayout layout);

    // Null when the dictionary has no entry for the number.
    const DictionaryEntry* dictionaryEntry(long localNumber) const;

    // In the order of their local numbers.
    const std::map<long, DictionaryEntry>& dictionary() const { return dictionary_; }
    // In the order they were added.
    const std::vector<RecordLayout>& layouts() const { return layouts_; }

private:
    void requireNewLayout(const RecordLayout& layout) const;
    void requireDictionaryEntries(const RecordLayout& layout) const;

    std::map<long, DictionaryEntry> dictionary_;
    std::vector<RecordLayout> layouts_;
};

} // namespace vetra::writer
