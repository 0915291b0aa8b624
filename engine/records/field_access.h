// Reading and writing one field of a bound record as text, by the field's type code. A read
// also leaves facts that the date functions and the edit runner use: whether a field read
// was blank or absent, the date format and emptiness of the last read, and the status of the
// last malformed date.
#pragma once

#include "engine/records/field_table.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vetra {

struct FieldReadFacts {
    int32_t emptyIndicator = 0; // 0 none, 1 a field read was blank, 2 a field was absent
    char lastDateFormat = ' ';
    bool dateEmpty = false;
    int32_t dateStatus = 0; // set by malformed dates, cleared only by the date functions
    bool blankFirstMonthDigit = false;
};

class FieldAccess {
public:
    static constexpr size_t kTextCapacity = 1000;

    explicit FieldAccess(FieldTable& fields) : fields_(fields) {}

    FieldReadFacts& facts() { return facts_; }

    // The field's text, valid until the next read; null for an absent field (a handle outside
    // the table or a field not bound to a buffer).
    const char* VTi_FldAccess(int32_t handle);

    // Stores a value into a field. For date fields the value is CCYYMMDD text, or a date in
    // `dateFormat` (1 to 9 or A) when one is given.
    void VTi_writefield(int32_t handle, std::string_view value,
                        std::optional<char> dateFormat = std::nullopt);

    // Writes the source field's value into the destination field as a write would; a date
    // copied into a date field is converted from the source field's own format.
    void copyField(int32_t destination, int32_t source);

private:
    FieldSlot* boundSlot(int32_t handle);

    FieldTable& fields_;
    FieldReadFacts facts_;
    char text_[kTextCapacity] = {};
};

} // namespace vetra
