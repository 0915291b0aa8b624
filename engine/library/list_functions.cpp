// match and inlist: the tests of a value against a pattern and against a list of codes and
// numeric ranges.
#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"
#include "string_functions.h"

#include <algorithm>
#include <climits>

namespace vetra {

namespace {

std::string_view trimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A range item "low-high": its dash is not part of "(-" or "-)". The position of the dash,
// or npos for an item that is a plain code.
size_t rangeDash(std::string_view item) {
    size_t dash = item.find('-');
    if (dash == std::string_view::npos) return dash;
    bool opened = dash > 0 && item[dash - 1] == '(';
    bool closed = dash + 1 < item.size() && item[dash + 1] == ')';
    return opened || closed ? std::string_view::npos : dash;
}

bool itemMatches(std::string_view item, std::string_view value) {
    size_t dash = rangeDash(item);
    if (dash == std::string_view::npos) return item == value;
    if (value.empty() || value[0] < '0' || value[0] > '9') return false;
    int32_t low = textToInteger(item.substr(0, dash));
    int32_t high = textToInteger(item.substr(dash + 1));
    if (high == 0) high = INT32_MAX; // an open upper bound
    int32_t number = textToInteger(value);
    return low <= number && number <= high;
}

// The value inlist tests after its start and length arguments.
std::string_view sliced(std::string_view value, int32_t start, std::optional<int32_t> length) {
    if (start < 1 || static_cast<size_t>(start) > value.size()) return {};
    value.remove_prefix(static_cast<size_t>(start) - 1);
    if (length && *length > 0 && static_cast<size_t>(*length) < value.size())
        value = value.substr(0, static_cast<size_t>(*length));
    return value;
}

} // namespace

int32_t VTi_Inlist(TMetaFile& instance, std::string_view value, std::string_view list) {
    return instance.lastError().guard(515, "VTi_Inlist", [&] {
        value = trimBlanks(value);
        for (size_t begin = 0; begin <= list.size();) {
            size_t comma = std::min(list.find(',', begin), list.size());
            if (itemMatches(trimBlanks(list.substr(begin, comma - begin)), value)) return 1;
            begin = comma + 1;
        }
        return 0;
    });
}

int32_t call_match(TMetaFile& instance) {
    return instance.lastError().guard(514, "call_match", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        std::string value = arguments.text().text;
        arguments.comma();
        std::string pattern = arguments.text().text;
        arguments.close();
        return instance.patternMatcher().match(value, pattern);
    });
}

int32_t call_inlist(TMetaFile& instance) {
    return instance.lastError().guard(502, "call_inlist", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        TextArgument argument = arguments.text();
        std::string value = argument.text;
        if (argument.expression && value.size() > ArgumentReader::kWorkingText)
            value.resize(ArgumentReader::kWorkingText);
        arguments.comma();
        std::string list = arguments.workingText();
        if (!arguments.another(2047, "call_inlist")) return VTi_Inlist(instance, value, list);

        std::string pattern = arguments.text().text;
        PatternMatcher& matcher = instance.patternMatcher();
        bool matched = matcher.match(value, pattern) == 1;
        bool blank = matcher.match(value, "") == 1;
        std::string_view tested = value;
        if (arguments.another(2047, "call_inlist")) {
            int32_t start = arguments.count();
            std::optional<int32_t> length;
            if (arguments.another(2047, "call_inlist")) {
                length = arguments.count();
                arguments.interpreter().tokens().VTi_GetToken(); // read, not checked
            }
            tested = sliced(value, start, length);
        }
        if (!matched) return 0;
        if (blank) return 1;
        return VTi_Inlist(instance, tested, list);
    });
}

} // namespace vetra
