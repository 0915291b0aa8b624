#include "date_field_format.h"

#include "engine/store/table_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vetra {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Positions are 1-based, as the formats are described.
struct Chars {
    std::string_view text;
    char at(size_t position) const { return position - 1 < text.size() ? text[position - 1] : ' '; }
    bool digits(size_t from, size_t to) const {
        for (size_t p = from; p <= to; ++p)
            if (!isDigit(at(p))) return false;
        return true;
    }
    bool blanks(size_t from, size_t to) const {
        for (size_t p = from; p <= to; ++p)
            if (at(p) != ' ') return false;
        return true;
    }
    // Leading blanks skipped, stopping at the first non-digit.
    int32_t number(size_t from, size_t to) const {
        size_t p = from;
        while (p <= to && at(p) == ' ')
            ++p;
        int32_t value = 0;
        for (; p <= to && isDigit(at(p)); ++p)
            value = value * 10 + (at(p) - '0');
        return value;
    }
};

int32_t littleEndianInteger(std::string_view field) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && i < field.size(); ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(field[i])) << (8 * i);
    return static_cast<int32_t>(value);
}

std::string littleEndianBytes(int32_t value) {
    auto bits = static_cast<uint32_t>(value);
    std::string bytes(4, '\0');
    for (size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return bytes;
}

bool allBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

bool slashedDateEmpty(const Chars& chars, size_t width) {
    for (size_t p = 1; p <= width; ++p) {
        char c = chars.at(p);
        bool separator = (p == 3 || p == 6) && (c == '/' || c == '-');
        if (c != ' ' && !separator) return false;
    }
    return true;
}

// Month digits of MM/DD/YY: with the switch, a blank followed by a digit is a month too.
bool monthMalformed(const Chars& chars, bool blankFirstMonthDigit) {
    if (chars.digits(1, 2)) return false;
    return !(blankFirstMonthDigit && chars.at(1) == ' ' && isDigit(chars.at(2)));
}

int32_t withCentury19(int32_t yymmdd) {
    return yymmdd == 0 ? 0 : yymmdd + 19000000;
}

} // namespace

bool isDateFormat(char format) {
    return (format >= '1' && format <= '9') || format == 'A';
}

DateRead readDateField(std::string_view field, char format, bool blankFirstMonthDigit) {
    Chars c{field};
    DateRead read;
    auto check = [&read](bool malformed, int32_t status) {
        if (malformed) read.status = status;
    };
    switch (format) {
    case '1':
        check(!c.digits(7, 8) && !c.blanks(7, 8), kDayStatus);
        check(!c.digits(5, 6) && !(c.blanks(5, 6) && c.blanks(7, 8)), kMonthStatus);
        check(!c.digits(1, 4) && !c.blanks(1, 4), kYearStatus);
        read.value = c.number(1, 8);
        read.empty = c.blanks(1, 8);
        break;
    case '2':
        read.value = littleEndianInteger(field);
        break;
    case '3':
        check(!c.digits(5, 6), kDayStatus);
        check(!c.digits(3, 4), kMonthStatus);
        check(!c.digits(1, 2), kYearStatus);
        read.value = withCentury19(c.number(1, 6));
        read.empty = c.blanks(1, 6);
        break;
    case '4':
        read.value = withCentury19(littleEndianInteger(field));
        break;
    case '5':
    case '6': {
        bool longYear = format == '6';
        check(!c.digits(4, 5), kDayStatus);
        check(longYear ? !c.digits(1, 2) : monthMalformed(c, blankFirstMonthDigit), kMonthStatus);
        check(!c.digits(7, longYear ? 10 : 8), kYearStatus);
        int32_t monthDay = c.number(1, 2) * 100 + c.number(4, 5);
        read.value = longYear ? c.number(7, 10) * 10000 + monthDay
                              : withCentury19(c.number(7, 8) * 10000 + monthDay);
        read.empty = slashedDateEmpty(c, longYear ? 10 : 8);
        break;
    }
    case '7':
    case '8': {
        bool longYear = format == '8';
        check(!c.digits(3, 4), kDayStatus);
        check(!c.digits(1, 2), kMonthStatus);
        check(!c.digits(5, longYear ? 8 : 6), kYearStatus);
        int32_t monthDay = c.number(1, 2) * 100 + c.number(3, 4);
        read.value = longYear ? c.number(5, 8) * 10000 + monthDay
                              : withCentury19(c.number(5, 6) * 10000 + monthDay);
        read.empty = c.blanks(1, longYear ? 8 : 6);
        break;
    }
    case '9': {
        check(!c.digits(1, 2), kMonthStatus);
        check(!c.digits(3, 6), kYearStatus);
        int32_t value = c.number(3, 6) * 10000 + c.number(1, 2) * 100;
        read.value = value > 0 ? value + 1 : value;
        read.empty = c.blanks(1, 6);
        break;
    }
    case 'A': {
        check(!c.digits(1, 2), kMonthStatus);
        check(!c.digits(3, 4), kYearStatus);
        int32_t value = c.number(3, 4) * 10000 + c.number(1, 2) * 100;
        read.value = value == 0 ? 0 : value + 19000000 + 1;
        read.empty = c.blanks(1, 4);
        break;
    }
    default:
        break;
    }
    return read;
}

std::string generalizePlainDate(std::string_view text) {
    std::string generalized(text.substr(0, 8));
    generalized.resize(8, ' ');
    return generalized;
}

std::string VTi_generalizeDate(std::string_view text, char format) {
    if (text.empty()) return {};
    if (allBlank(text)) return std::string(8, ' ');
    std::string s(text);
    s.resize(std::max<size_t>(s.size(), 10), ' ');
    auto part = [&s](size_t from, size_t width) { return s.substr(from, width); };
    char buffer[32];
    switch (format) {
    case '2':
        std::snprintf(buffer, sizeof buffer, "%8ld", static_cast<long>(parseDecimalText(text)));
        return generalizePlainDate(buffer);
    case '3':
        return "19" + part(0, 6);
    case '4':
        std::snprintf(buffer, sizeof buffer, "19%06ld", static_cast<long>(parseDecimalText(text)));
        return generalizePlainDate(buffer);
    case '5':
        return "19" + part(6, 2) + part(0, 2) + part(3, 2);
    case '6':
        return part(6, 4) + part(0, 2) + part(3, 2);
    case '7':
        return "19" + part(4, 2) + part(0, 2) + part(2, 2);
    case '8':
        return part(4, 4) + part(0, 2) + part(2, 2);
    case '9': {
        std::string g = part(2, 4) + part(0, 2) + "99";
        if (g == "00000099") return "00000000";
        if (g == "      99") return std::string(8, ' ');
        return g;
    }
    case 'A': {
        std::string g = "19" + part(2, 2) + part(0, 2) + "99";
        if (g == "19000099") return "00000000";
        if (g == "19    99") return std::string(8, ' ');
        return g;
    }
    default:
        return generalizePlainDate(text);
    }
}

std::string storedDate(const std::string& generalized, char format) {
    std::string g = generalized;
    g.resize(8, ' ');
    std::string_view cc = std::string_view(g).substr(0, 2), yy = std::string_view(g).substr(2, 2),
                     mm = std::string_view(g).substr(4, 2), dd = std::string_view(g).substr(6, 2);
    std::string ccyy = std::string(cc) + std::string(yy);
    switch (format) {
    case '1':
        return g;
    case '2':
        return littleEndianBytes(static_cast<int32_t>(parseDecimalText(g)));
    case '3':
        return g.substr(2, 6);
    case '4':
        return littleEndianBytes(static_cast<int32_t>(parseDecimalText(g.substr(2, 6))));
    case '5':
        return std::string(mm) + "/" + std::string(dd) + "/" + std::string(yy);
    case '6':
        return std::string(mm) + "/" + std::string(dd) + "/" + ccyy;
    case '7':
        return std::string(mm) + std::string(dd) + std::string(yy);
    case '8':
        return std::string(mm) + std::string(dd) + ccyy;
    case '9':
        return std::string(mm) + ccyy;
    case 'A':
        return std::string(mm) + std::string(yy);
    default:
        return g;
    }
}

} // namespace vetra
