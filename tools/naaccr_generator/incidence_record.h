// The text of one incidence record: 4048 characters, blank where no value was set. Values are
// set and read by item number through a layout; an item the layout does not place is ignored
// on writing and reads as empty.
#pragma once

#include "tools/naaccr_generator/incidence_layout.h"

#include <string>
#include <string_view>

namespace vetra::generator {

class IncidenceRecord {
public:
    explicit IncidenceRecord(const IncidenceLayout& layout)
        : layout_(&layout), text_(incidenceRecordLength, ' ') {}

    void clear();

    // Left-justified in the field: a shorter value is followed by blanks, a longer one cut.
    void set(long item, std::string_view value);
    std::string_view get(long item) const;

    const std::string& text() const { return text_; }

private:
    const IncidenceLayout* layout_;
    std::string text_;
};

} // namespace vetra::generator
