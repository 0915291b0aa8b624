#include "date_argument_iop.h"

#include "engine/interp/keyword_table.h"
#include "engine/library/date_arithmetic.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>

namespace vetra {

namespace {

constexpr size_t kDateLength = 8;
constexpr char kTodayCode = 'O';

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The status of the part a character position belongs to: CCYY, MM, DD.
int32_t partStatus(size_t position) {
    return position < 4 ? 16 : position < 6 ? 8 : 4;
}

int32_t digitCount(int32_t value) {
    int32_t digits = 0;
    for (int64_t rest = value < 0 ? -int64_t{value} : value; rest > 0; rest /= 10)
        ++digits;
    return digits;
}

// A year alone, or a year and month, stands for the date with the rest unknown.
int32_t widenedToDate(int32_t value) {
    int32_t digits = digitCount(value);
    if (digits == 4 || digits == 5) return value * 10000;
    if (digits == 6 || digits == 7) return value * 100;
    return value;
}

} // namespace

IopDateArguments::IopDateArguments(TMetaFile& instance)
    : instance_(instance), arguments_(instance), tokens_(instance.interpreter().tokens()) {}

int32_t& IopDateArguments::status() {
    return instance_.fieldAccess().facts().dateStatus;
}

std::optional<IopDate> IopDateArguments::next() {
    tokens_.VTi_GetToken();
    std::optional<Candidate> found = candidate();
    if (!found) return std::nullopt;
    if (found->source != Source::Other && !digitsValid(found->text)) return std::nullopt;
    bool blank =
        tokens_.token().kind == kStringLiteral &&
        std::all_of(found->text.begin(), found->text.end(), [](char c) { return c == ' '; });
    return IopDate{VTi_GetDateAsLong_IOP(*found), blank};
}

std::optional<IopDateArguments::Candidate> IopDateArguments::candidate() {
    const TokenRecord& token = tokens_.token();
    const FieldReadFacts& facts = instance_.fieldAccess().facts();
    switch (token.kind) {
    case kFieldReference:
        if (facts.lastDateFormat != '1')
            status() = kWrongDateTypeStatus;
        else if (facts.dateEmpty)
            status() = kEmptyDateStatus;
        else if (facts.dateStatus == 0)
            return Candidate{Source::Text, std::string(tokens_.text()), false};
        return std::nullopt; // the status of a malformed part is the read's
    case kStringLiteral:
        return Candidate{Source::Text, std::string(tokens_.text()), false};
    case kIdentifier: {
        const VariableRecord* variable =
            arguments_.interpreter().VTi_FindVar(tokens_.text(), false);
        if (variable == nullptr) return std::nullopt;
        if (variable->isByteAddressed())
            return Candidate{Source::Evaluated,
                             std::string(arguments_.interpreter().textAt(variable->value)), true};
        return Candidate{Source::Evaluated, std::to_string(variable->value), false};
    }
    case kNamedConstant:
        if (token.text[0] != kTodayCode) return std::nullopt;
        return Candidate{Source::Evaluated, std::to_string(instance_.today()), false};
    default:
        return Candidate{};
    }
}

// Only digits, up to trailing blanks, and no part written as zeros.
bool IopDateArguments::digitsValid(const std::string& text) {
    std::string date = text.substr(0, kDateLength);
    date.erase(date.find_last_not_of(' ') + 1);
    auto nonDigit = std::find_if(date.begin(), date.end(), [](char c) { return !isDigit(c); });
    if (nonDigit != date.end()) {
        status() = partStatus(static_cast<size_t>(nonDigit - date.begin()));
        return false;
    }
    date.resize(kDateLength, ' ');
    if (date.compare(0, 4, "0000") == 0)
        status() = 16;
    else if (date.compare(4, 2, "00") == 0)
        status() = 8;
    else if (date.compare(6, 2, "00") == 0)
        status() = 4;
    else
        return true;
    return false;
}

int32_t IopDateArguments::VTi_GetDateAsLong_IOP(const Candidate& candidate) {
    return instance_.lastError().guard(329, "VTi_GetDateAsLong_IOP", [&] {
        if (candidate.source == Source::Other)
            instance_.lastError().fail(329, "VTi_GetDateAsLong_IOP");
        if (candidate.source == Source::Text) {
            if (candidate.text.size() > kDateLength)
                instance_.lastError().fail(330, "VTi_GetDateAsLong_IOP");
            std::string digits = candidate.text.substr(0, candidate.text.find(' '));
            return textToInteger(digits + std::string(kDateLength - digits.size(), '0'));
        }
        tokens_.putBack();
        int32_t value = arguments_.count();
        if (candidate.byteAddressed) value = textToInteger(arguments_.interpreter().textAt(value));
        return widenedToDate(value);
    });
}

int32_t IopDateArguments::abandon() {
    int depth = 0;
    for (;;) {
        tokens_.VTi_GetToken();
        const TokenRecord& token = tokens_.token();
        if (token.kind == kPunctuation && token.text[0] == '\0') break; // the end of the logic
        if (token.kind != kPunctuation) continue;
        if (token.text[0] == '(') ++depth;
        if (token.text[0] == ')' && depth-- == 0) break;
    }
    if (tokens_.token().text[0] != ')') arguments_.close();
    return status() == kEmptyDateStatus ? kDateEmpty : kDateError;
}

} // namespace vetra
