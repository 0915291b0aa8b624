#include "date_functions.h"

#include "engine/interp/keyword_table.h"
#include "engine/library/argument_reader.h"
#include "engine/library/date_arithmetic.h"
#include "engine/store/TMetaFile.h"

#include <string>

namespace vetra {

namespace {

struct DateArgument {
    int32_t value = 0;
    bool written = false; // a literal or a field reference
    std::string text;
};

// A literal "MM/DD/CCYY" is that date; any other literal or field is read as a number; an
// expression that begins with a variable names the text to read, any other gives its value.
DateArgument readDate(TMetaFile& instance, ArgumentReader& arguments) {
    TokenReader& tokens = arguments.interpreter().tokens();
    tokens.VTi_GetToken();
    const TokenRecord& token = tokens.token();
    if (token.kind == kStringLiteral || token.kind == kFieldReference) {
        std::string text(tokens.text());
        int32_t value = textToInteger(text);
        if (token.kind == kStringLiteral && instance.patternMatcher().match(text, "dd/dd/dddd"))
            value = textToInteger(text.substr(6, 4)) * 10000 +
                    textToInteger(text.substr(0, 2)) * 100 + textToInteger(text.substr(3, 2));
        return {value, true, text};
    }
    bool variable = token.kind == kIdentifier;
    tokens.putBack();
    int32_t value = arguments.count();
    if (variable) value = textToInteger(arguments.interpreter().textAt(value));
    return {value, false, {}};
}

template <class Body> int32_t dateFunction(TMetaFile& instance, Body&& body) {
    ArgumentReader arguments(instance);
    arguments.open();
    return body(arguments);
}

int32_t singleDate(TMetaFile& instance) {
    return dateFunction(instance, [&](ArgumentReader& arguments) {
        int32_t date = readDate(instance, arguments).value;
        arguments.close();
        return date;
    });
}

int32_t digitCount(int32_t value) {
    int32_t digits = 0;
    for (int64_t rest = value < 0 ? -int64_t{value} : value; rest > 0; rest /= 10)
        ++digits;
    return digits;
}

// The detail status of a date of eight or more digits; 0 when it is valid.
int32_t dateStatus(DateParts date, int32_t thisYear) {
    if ((date.year < thisYear - 149 || date.year > thisYear + 5) && date.year != 0 &&
        date.year != 9999)
        return 16;
    if (date.month > 12 && date.month != 99) return 8;
    if (date.day > 31 && date.day != 99) return 4;
    if (date.month >= 1 && date.month <= 12 && date.day > daysInMonth(date.month) &&
        date.day < 99) {
        bool leapDay =
            date.month == 2 && date.day == 29 &&
            ((date.year % 4 == 0 && date.year != 1900) || date.year == 0 || date.year == 9999);
        if (!leapDay) return 4;
    }
    // An accepted 29 February still has its year judged: 0 is missing, 9999 unknown.
    if (date.year == 0) return 128;
    if (date.month == 0) return 64;
    if (date.day == 0) return 32;
    if (date.year == 9999) return 1024;
    if (date.month == 99) return 512;
    if (date.day == 99) return 256;
    return 0;
}

int32_t verdictOf(int32_t status) {
    if (status == 4 || status == 8 || status == 16) return kDateError;
    if (status == 32 || status == 64 || status == 128) return kDateMissing;
    if (status == 256 || status == 512 || status == 1024) return kDateUnknown;
    return kDateValid;
}

// d1, d2 and the mode; the signed day difference, or dt_unknown.
int32_t difference(TMetaFile& instance, ArgumentReader& arguments, int32_t* low = nullptr,
                   int32_t* high = nullptr) {
    int32_t d1 = readDate(instance, arguments).value;
    arguments.comma();
    int32_t d2 = readDate(instance, arguments).value;
    arguments.comma();
    if (low != nullptr) {
        *low = arguments.numberOrText();
        arguments.comma();
        *high = arguments.numberOrText();
        arguments.comma();
    }
    int32_t mode = arguments.numberOrText();
    arguments.close();
    return dayDifference(d1, d2, mode).value_or(kDateUnknown);
}

int32_t scaledDifference(TMetaFile& instance, int32_t divisor) {
    return dateFunction(instance, [&](ArgumentReader& arguments) {
        int32_t days = difference(instance, arguments);
        return days == kDateUnknown ? days : days / divisor;
    });
}

int32_t interval(TMetaFile& instance, int32_t divisor) {
    return dateFunction(instance, [&](ArgumentReader& arguments) {
        int32_t low = 0, high = 0;
        int32_t days = difference(instance, arguments, &low, &high);
        if (days == kDateUnknown) return days;
        int32_t value = days / divisor;
        return low <= value && value <= high ? 1 : 0;
    });
}

} // namespace

int32_t call_date_day(TMetaFile& instance) {
    return DateParts::of(singleDate(instance)).day;
}

int32_t call_date_month(TMetaFile& instance) {
    return DateParts::of(singleDate(instance)).month;
}

int32_t call_date_year(TMetaFile& instance) {
    return DateParts::of(singleDate(instance)).year;
}

int32_t call_valid_date(TMetaFile& instance) {
    return instance.lastError().guard(476, "VTi_ValidDate", [&] {
        FieldReadFacts& facts = instance.fieldAccess().facts();
        facts.dateStatus = 0;
        return dateFunction(instance, [&](ArgumentReader& arguments) {
            DateArgument date = readDate(instance, arguments);
            arguments.close();
            int32_t length =
                date.value != 0 ? digitCount(date.value)
                : date.written
                    ? static_cast<int32_t>(std::min(date.text.find(' '), date.text.size()))
                    : 1;
            if (length <= 7) {
                facts.dateStatus = length == 4 || length == 5 ? 8 : length >= 6 ? 4 : 16;
                return kDateError;
            }
            if (facts.dateStatus == 0) {
                DateParts parts = DateParts::of(date.value);
                if (facts.lastDateFormat == '9' || facts.lastDateFormat == 'A') parts.day = 15;
                int32_t status = dateStatus(parts, instance.today() / 10000);
                facts.dateStatus = status == 0 ? kDateValid : status;
            }
            return verdictOf(facts.dateStatus);
        });
    });
}

int32_t call_datecmp(TMetaFile& instance) {
    return dateFunction(instance, [&](ArgumentReader& arguments) {
        int32_t d1 = readDate(instance, arguments).value;
        arguments.comma();
        int32_t d2 = readDate(instance, arguments).value;
        arguments.close();
        return d1 < d2 ? -1 : d1 == d2 ? 0 : 1;
    });
}

int32_t call_daydiff(TMetaFile& instance) {
    return scaledDifference(instance, 1);
}

int32_t call_monthdiff(TMetaFile& instance) {
    return scaledDifference(instance, 30);
}

int32_t call_yeardiff(TMetaFile& instance) {
    return scaledDifference(instance, 365);
}

int32_t call_dayinterval(TMetaFile& instance) {
    return interval(instance, 1);
}

int32_t call_monthinterval(TMetaFile& instance) {
    return interval(instance, 30);
}

int32_t call_yearinterval(TMetaFile& instance) {
    return interval(instance, 365);
}

} // namespace vetra
