#include "desktop/workflow/range_fields.h"

#include <charconv>

namespace vetra::desktop {

namespace {

std::optional<std::int64_t> numberOf(const std::string& text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::optional<RangeFields> startChanged(RangeFields fields, std::int64_t recordCount) {
    if (fields.start.empty()) {
        fields.start = "1";
        return fields;
    }
    const auto start = numberOf(fields.start);
    const auto count = numberOf(fields.count);
    if (!start || !count) return std::nullopt;
    const std::int64_t lastStart = recordCount - *count + 1;
    if (*start < 1 || *start > lastStart) fields.start = std::to_string(lastStart);
    return fields;
}

std::optional<RangeFields> countChanged(RangeFields fields, std::int64_t recordCount) {
    if (fields.count.empty()) {
        fields.count = std::to_string(recordCount);
        fields.start = "1";
        return fields;
    }
    const auto count = numberOf(fields.count);
    if (!count) return std::nullopt;
    if (*count < 1 || *count > recordCount) fields.count = std::to_string(recordCount);
    return fields;
}

} // namespace vetra::desktop
