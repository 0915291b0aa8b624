// The readable rendering of compiled edit logic: one source line at a time, every token by
// its name followed by one blank. It serves the edit-logic listing and the debugging trace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vetra {

// The short name of a field by local number, for rendering field references.
class FieldNameSource {
public:
    virtual std::string shortName(int32_t localNumber) = 0;
    virtual ~FieldNameSource() = default;
};

// Appends the tokens from `position` up to the next line feed or the end of the logic to
// `line`; returns where it stopped (at the line feed), or nothing for a malformed token.
std::optional<size_t> renderLine(std::string_view logic, size_t position, std::string& line,
                                 FieldNameSource& names);

// Where the program starts: just after the function header. Nothing when the header
// announces more functions than the text holds.
std::optional<size_t> programStart(std::string_view logic);

// Every line of the logic after its header, each followed by `separator`; nothing when the
// logic holds a malformed token.
std::optional<std::string> renderLogic(std::string_view logic, std::string_view separator,
                                       FieldNameSource& names);

} // namespace vetra
