#include "message_template.h"

#include "engine/records/dictionary_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vetra {

namespace {

constexpr std::string_view kUnknownField = "xxx";
constexpr std::string_view kBlank = "<BLANK>";

std::string trimmed(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

// The characters of a date field that %V shows, by its format.
size_t shownDateWidth(char format) {
    switch (format) {
    case '3':
    case '7':
    case '9':
        return 6;
    case '5':
    case '8':
        return 8;
    case '6':
        return 10;
    case 'A':
        return 4;
    default:
        return 0;
    }
}

bool takesFieldNumber(char letter) {
    return letter != '\0' && std::strchr("CFSLNVW", letter) != nullptr;
}

} // namespace

std::string_view dateStatusText(int32_t status) {
    switch (status) {
    case 4:
        return "invalid as to day";
    case 8:
        return "invalid as to month";
    case 16:
        return "invalid as to year";
    case 32:
        return "missing the day";
    case 64:
        return "missing the month";
    case 128:
        return "missing the year";
    case 256:
        return "unknown as to day";
    case 512:
        return "unknown as to month";
    case 1024:
        return "unknown as to year";
    case 2048:
        return "date type must be D1 (ccyymmdd)";
    case 4096:
        return "date is an empty string";
    case 0x4FFFFFFF:
        return "no error / other";
    case 0x5FFFFFFF:
        return "missing";
    case 0x6FFFFFFF:
        return "invalid";
    case 0x7FFFFFFF:
        return "unknown";
    default:
        return {};
    }
}

std::string MessageTemplate::fieldValue(const FieldSlot& slot, int32_t handle) {
    std::string value;
    char type = static_cast<char>(std::toupper(static_cast<unsigned char>(slot.typeCode[0])));
    char format = slot.typeCode[1];
    size_t width = shownDateWidth(format);
    if (type == 'D' && format == '1' && slot.value != nullptr) {
        std::string_view chars(slot.value, static_cast<size_t>(slot.length));
        value = "Y:" + std::string(chars.substr(0, 4)) + " M:" + std::string(chars.substr(4, 2)) +
                " D:" + std::string(chars.substr(6, 2));
    } else if (type == 'D' && width > 0 && slot.value != nullptr) {
        value.assign(slot.value, std::min(width, static_cast<size_t>(slot.length)));
    } else if (const char* text = access_.VTi_FldAccess(handle)) {
        value = text;
    }
    value = trimmed(value);
    return value.empty() ? std::string(kBlank) : value;
}

std::string MessageTemplate::fieldText(char letter, int32_t localNumber) {
    int32_t handle = localNumber > 0 ? layouts_.fieldForLocal(localNumber) : -1;
    auto slots = fields_.slots();
    if (handle < 0 || static_cast<size_t>(handle) >= slots.size())
        return letter == 'V' ? std::string(kBlank) : std::string();
    const FieldSlot& slot = slots[static_cast<size_t>(handle)];
    auto name = [&](DictionaryName kind) {
        return dictionaryNameAt(stream_, slot.dictionaryPosition, kind);
    };
    switch (letter) {
    case 'C':
        return "(" + std::to_string(slot.firstColumn) + ")";
    case 'F':
        return name(DictionaryName::Third);
    case 'S':
        return name(DictionaryName::Short);
    case 'L':
        return name(DictionaryName::Long);
    case 'N':
        return name(DictionaryName::Short) + "/" + name(DictionaryName::Long);
    case 'V':
        return fieldValue(slot, handle);
    case 'W': {
        std::string line;
        for (int32_t i = 0; i < std::min(slot.length, 19); ++i)
            line += "_ ";
        return line;
    }
    default:
        return {};
    }
}

std::string MessageTemplate::expand(std::string_view text, const MessageRecord& record,
                                    const MessageContext& context, size_t limit) {
    std::string result(text);
    size_t percent = result.find('%');
    size_t expansions = 0;
    while (percent != std::string::npos && result.size() <= kExpansionBound &&
           ++expansions <= kMaxExpansions) {
        size_t end = percent + 1;
        char letter = end < result.size()
                          ? static_cast<char>(std::toupper(static_cast<unsigned char>(result[end])))
                          : '\0';
        if (end < result.size()) ++end;
        std::string inserted;
        if (letter == 'E') {
            inserted = context.editName;
        } else if (letter == 'K') {
            inserted = std::to_string(context.errorCount);
        } else if (letter == 'D') {
            bool digit =
                end < result.size() && std::isdigit(static_cast<unsigned char>(result[end]));
            if (end < result.size() &&
                std::toupper(static_cast<unsigned char>(result[end])) == 'C') {
                inserted = dateStatusText(record.dateStatus);
                ++end;
            } else if (digit) {
                while (end < result.size() && std::isdigit(static_cast<unsigned char>(result[end])))
                    ++end;
                inserted = fieldText('V', record.fields[0]);
            } else {
                inserted = kUnknownField;
            }
        } else {
            size_t digits = end;
            int32_t k = 0;
            while (end < result.size() && std::isdigit(static_cast<unsigned char>(result[end])) &&
                   end - digits < 9)
                k = k * 10 + (result[end++] - '0');
            if (!takesFieldNumber(letter))
                inserted.clear(); // an unknown placeholder vanishes with its number
            else if (end == digits || k < 1 || k > 100)
                inserted = kUnknownField;
            else
                inserted = fieldText(letter, static_cast<size_t>(k) <= record.fields.size()
                                                 ? record.fields[static_cast<size_t>(k - 1)]
                                                 : 0);
        }
        result.replace(percent, end - percent, inserted);
        percent = result.find('%');
    }
    if (result.size() > limit) result.resize(limit);
    return result;
}

} // namespace vetra
