// strlen, at, strcmp, left, right, substr, trim, upper, lower, val, empty and justified.
#include "string_functions.h"

#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
#include <cctype>

namespace vetra {

namespace {

// Result tags of the temporary texts, by function.
constexpr int32_t kLeftTag = 29;
constexpr int32_t kRightTag = 30;
constexpr int32_t kTrimTag = 31;
constexpr int32_t kCaseTag = 32;
constexpr int32_t kSubstrTag = 33;

constexpr int32_t kTrimRight = 0;
constexpr int32_t kTrimLeft = 1;
constexpr int32_t kTrimBoth = 2;
constexpr int32_t kJustifiedRight = 0;
constexpr int32_t kJustifiedLeft = 1;

size_t clampCount(int32_t count, size_t limit) {
    return count <= 0 ? 0 : std::min(static_cast<size_t>(count), limit);
}

int32_t changeCase(TMetaFile& instance, bool toUpper) {
    return guarded(instance, 519, "call_upperlower", [&](ArgumentReader& arguments) {
        arguments.open();
        std::string text = arguments.text().text;
        arguments.close();
        for (char& c : text) {
            auto byte = static_cast<unsigned char>(c);
            c = static_cast<char>(toUpper ? std::toupper(byte) : std::tolower(byte));
        }
        return arguments.temporaryText(text, kCaseTag, 2068, "call_upperlower");
    });
}

} // namespace

int32_t call_strlen(TMetaFile& instance) {
    return guarded(instance, 489, "call_strlen", [](ArgumentReader& arguments) {
        arguments.open(2033, "call_strlen");
        std::string text = arguments.text().text;
        arguments.close();
        return static_cast<int32_t>(text.size());
    });
}

int32_t call_at(TMetaFile& instance) {
    return guarded(instance, 509, "call_at", [](ArgumentReader& arguments) {
        arguments.open();
        std::string needle = arguments.workingText();
        arguments.comma();
        std::string haystack = arguments.workingText();
        int32_t width = 1;
        if (arguments.another(2056, "call_at")) {
            width = std::max(arguments.count(), 1); // a width below 1 counts as 1
            arguments.close();
        }
        for (size_t offset = haystack.find(needle); offset != std::string::npos;
             offset = haystack.find(needle, offset + 1))
            if (offset % static_cast<size_t>(width) == 0)
                return static_cast<int32_t>(offset / static_cast<size_t>(width) + 1);
        return 0;
    });
}

int32_t call_strcmp(TMetaFile& instance) {
    return guarded(instance, 508, "call_strcmp", [](ArgumentReader& arguments) {
        arguments.open();
        std::string a = arguments.workingText();
        arguments.comma();
        std::string b = arguments.workingText();
        int32_t limit = 80;
        if (arguments.another(2055, "call_strcmp")) {
            limit = arguments.count();
            arguments.close();
        }
        for (int32_t i = 0; i < limit; ++i) {
            auto x = static_cast<unsigned char>(i < static_cast<int32_t>(a.size()) ? a[i] : 0);
            auto y = static_cast<unsigned char>(i < static_cast<int32_t>(b.size()) ? b[i] : 0);
            if (x != y) return x < y ? -1 : 1;
            if (x == 0) break;
        }
        return 0;
    });
}

int32_t call_left(TMetaFile& instance) {
    return guarded(instance, 516, "call_left", [](ArgumentReader& arguments) {
        arguments.open();
        std::string text = arguments.text().text;
        arguments.comma();
        size_t n = clampCount(arguments.count(), text.size());
        arguments.close();
        return arguments.temporaryText(std::string_view(text).substr(0, n), kLeftTag, 2065,
                                       "call_left");
    });
}

int32_t call_right(TMetaFile& instance) {
    return guarded(instance, 517, "call_right", [](ArgumentReader& arguments) {
        arguments.open();
        std::string text = arguments.text().text;
        arguments.comma();
        size_t n = clampCount(arguments.count(), text.size());
        arguments.close();
        return arguments.temporaryText(std::string_view(text).substr(text.size() - n), kRightTag,
                                       2066, "call_right");
    });
}

int32_t call_substr(TMetaFile& instance) {
    return guarded(instance, 521, "call_substr", [](ArgumentReader& arguments) {
        arguments.open();
        std::string text = arguments.text().text;
        arguments.comma();
        int32_t start = arguments.count();
        // A start below 1 counts from the first character.
        size_t offset = start <= 1 ? 0 : std::min(static_cast<size_t>(start) - 1, text.size());
        size_t length = text.size() - offset;
        if (arguments.another(2069, "call_substr")) {
            length = clampCount(arguments.count(), length);
            arguments.close();
        }
        return arguments.temporaryText(std::string_view(text).substr(offset, length), kSubstrTag,
                                       2070, "call_substr");
    });
}

int32_t call_trim(TMetaFile& instance) {
    return guarded(instance, 518, "call_trim", [](ArgumentReader& arguments) {
        arguments.open();
        std::string text = arguments.text().text;
        arguments.comma();
        int32_t mode = arguments.count();
        arguments.close();
        std::string_view result = text;
        if (mode == kTrimLeft || mode == kTrimBoth)
            result.remove_prefix(std::min(result.find_first_not_of(" \t"), result.size()));
        if (mode == kTrimRight || mode == kTrimBoth) {
            size_t last = result.find_last_not_of(" \n\r");
            result = result.substr(0, last == std::string_view::npos ? 0 : last + 1);
        }
        return arguments.temporaryText(result, kTrimTag, 2067, "call_trim");
    });
}

int32_t call_upper(TMetaFile& instance) {
    return changeCase(instance, true);
}

int32_t call_lower(TMetaFile& instance) {
    return changeCase(instance, false);
}

int32_t call_val(TMetaFile& instance) {
    return guarded(instance, 498, "call_val", [&](ArgumentReader& arguments) {
        arguments.open(2043, "call_val");
        TokenReader& tokens = arguments.interpreter().tokens();
        tokens.VTi_GetToken();
        if (tokens.token().kind == kIdentifier) {
            VariableRecord* variable = arguments.interpreter().VTi_FindVar(tokens.text(), true);
            if ((variable->type & 0x0F) == kIntType) instance.lastError().fail(505, "call_val");
        }
        tokens.putBack();
        std::string text = arguments.text().text;
        arguments.close();
        return textToInteger(text);
    });
}

int32_t call_empty(TMetaFile& instance) {
    return guarded(instance, 496, "call_empty", [&](ArgumentReader& arguments) {
        arguments.open(2041, "call_empty");
        std::string text = arguments.text().text;
        arguments.close();
        const FieldReadFacts& facts = instance.fieldAccess().facts();
        if (facts.lastDateFormat != ' ') return facts.dateEmpty ? 1 : 0;
        std::string_view examined = std::string_view(text).substr(0, 80);
        return examined.find_first_not_of(" \t\n\r") == std::string_view::npos ? 1 : 0;
    });
}

int32_t call_justified(TMetaFile& instance) {
    return guarded(instance, 520, "call_justified", [&](ArgumentReader& arguments) {
        arguments.open();
        TextArgument argument = arguments.text();
        arguments.comma();
        int32_t mode = arguments.count();
        arguments.close();
        std::string_view text = argument.text;
        if (text.find_last_not_of(' ') == std::string_view::npos) return 1; // blank
        if (mode == kJustifiedLeft) return text.front() != ' ' ? 1 : 0;
        if (mode != kJustifiedRight) return 0;
        if (text.back() == ' ') return 0;
        if (!argument.fieldReference) return 1;
        int32_t slot = instance.layouts().fieldForLocalIgnoringFlags(argument.fieldNumber);
        if (slot < 0) return 0;
        return static_cast<int32_t>(text.size()) ==
                       instance.fieldTable().slots()[static_cast<size_t>(slot)].length
                   ? 1
                   : 0;
    });
}

} // namespace vetra
