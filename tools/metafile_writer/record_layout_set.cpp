#include "tools/metafile_writer/record_layout_set.h"

#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <set>

namespace vetra::writer {

void RecordLayoutSet::addDictionaryEntry(DictionaryEntry entry) {
    if (entry.longName.empty()) entry.longName = entry.shortName;
    if (entry.thirdName.empty()) entry.thirdName = entry.shortName;
    validateDictionaryEntry(entry);
    if (dictionary_.contains(entry.localNumber))
        throw WriterError("local number " + std::to_string(entry.localNumber) +
                          " is already in the data dictionary");
    if (dictionary_.size() == maxDictionaryEntries)
        throw WriterError("the data dictionary is full at " + std::to_string(maxDictionaryEntries) +
                          " entries");
    dictionary_.emplace(entry.localNumber, std::move(entry));
}

const DictionaryEntry* RecordLayoutSet::dictionaryEntry(long localNumber) const {
    auto entry = dictionary_.find(localNumber);
    return entry == dictionary_.end() ? nullptr : &entry->second;
}

void RecordLayoutSet::requireNewLayout(const RecordLayout& layout) const {
    for (const RecordLayout& known : layouts_) {
        if (known.number == layout.number)
            throw WriterError("layout number " + std::to_string(layout.number) +
                              " is already taken");
        if (upperCaseAscii(known.name) == upperCaseAscii(layout.name))
            throw WriterError("layout name \"" + layout.name + "\" is already taken by layout " +
                              std::to_string(known.number));
    }
}

void RecordLayoutSet::requireDictionaryEntries(const RecordLayout& layout) const {
    std::set<long> seen;
    for (const LayoutField& field : layout.fields) {
        std::string which = "layout " + std::to_string(layout.number) + ": local number " +
                            std::to_string(field.localNumber);
        if (!seen.insert(field.localNumber).second)
            throw WriterError(which + " appears more than once");
        if (!dictionary_.contains(field.localNumber))
            throw WriterError(which + " has no entry in the data dictionary");
    }
}

void RecordLayoutSet::addLayout(RecordLayout layout) {
    validateLayout(layout);
    requireNewLayout(layout);
    requireDictionaryEntries(layout);
    layouts_.push_back(std::move(layout));
}

} // namespace vetra::writer
