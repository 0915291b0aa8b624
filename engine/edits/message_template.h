// Expanding the placeholders of a message template: %E the edit's name, %K the error count,
// and per field of the message (a number after the letter picks field k, from 1) %C its
// column, %F, %S, %L and %N its names, %V its value and %W a fill-in line; %DC the text of
// the last date judgement. Inserted text is scanned again, so a "%" inside a value expands
// in turn; a text that keeps growing is cut off once it passes a generous bound.
#pragma once

#include "engine/records/bound_layouts.h"
#include "engine/records/field_access.h"
#include "engine/records/field_table.h"
#include "engine/store/metafile_stream.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vetra {

struct MessageRecord {
    static constexpr size_t kMaxFields = 99;

    int32_t messageNumber = 0;
    std::array<int32_t, kMaxFields> fields{}; // local numbers; 0 for unused slots
    int32_t dateStatus = 0;
};

struct MessageContext {
    std::string_view editName;
    int32_t errorCount = 0;
};

// The text of a date judgement's status, or empty for a status without one.
std::string_view dateStatusText(int32_t status);

class MessageTemplate {
public:
    // A value that reproduces its own placeholder would expand without end: expansion stops
    // once the text passes this length or this many placeholders have been expanded.
    static constexpr size_t kExpansionBound = 65536;
    static constexpr size_t kMaxExpansions = 100000;

    MessageTemplate(BoundLayouts& layouts, FieldAccess& access, FieldTable& fields,
                    const MetafileStream& stream)
        : layouts_(layouts), access_(access), fields_(fields), stream_(stream) {}

    // The expanded text, cut to `limit` characters.
    std::string expand(std::string_view text, const MessageRecord& record,
                       const MessageContext& context, size_t limit);

private:
    std::string fieldText(char letter, int32_t localNumber);
    std::string fieldValue(const FieldSlot& slot, int32_t handle);

    BoundLayouts& layouts_;
    FieldAccess& access_;
    FieldTable& fields_;
    const MetafileStream& stream_;
};

} // namespace vetra
