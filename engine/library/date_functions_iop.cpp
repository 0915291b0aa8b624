#include "date_functions_iop.h"

#include "engine/interp/keyword_table.h"
#include "engine/library/date_argument_iop.h"
#include "engine/library/date_arithmetic_iop.h"
#include "engine/store/TMetaFile.h"

namespace vetra {

namespace {

LatestDate latestDate(TMetaFile& instance) {
    return LatestDate::of(instance.today(), instance.builtinLibrary().allowedFutureYears());
}

// A date read for a function that computes with it: its value, or the verdict to return.
struct Judged {
    int32_t value = 0;
    bool usable = false;
};

Judged judged(TMetaFile& instance, IopDateArguments& dates, const IopDate& date) {
    if (date.blankLiteral) {
        dates.status() = kEmptyDateStatus;
        return {kDateEmpty, false};
    }
    int32_t status = VTi_ValidDate_IOP(DateParts::of(date.value), latestDate(instance));
    if (status == 0) return {date.value, true};
    dates.status() = status;
    return {kDateError, false};
}

enum class Part { Day, Month, Year };

int32_t datePart(TMetaFile& instance, Part part) {
    IopDateArguments dates(instance);
    dates.status() = 0;
    dates.reader().open();
    std::optional<IopDate> date = dates.next();
    if (!date) return dates.abandon();
    dates.reader().close();
    Judged result = judged(instance, dates, *date);
    if (!result.usable) return result.value;
    DateParts parts = DateParts::of(result.value);
    if (part == Part::Year) return parts.year;
    if (part == Part::Month) return parts.month != 0 ? parts.month : kDateMonthEmpty;
    return parts.day != 0 ? parts.day : kDateDayEmpty;
}

struct Bounds {
    int32_t low = 0;
    int32_t high = 0;
};

// d1, d2, the bounds of an interval when `bounds` is given, and the mode: the signed day
// difference, or the date constant that ends the function.
int32_t difference(TMetaFile& instance, Bounds* bounds = nullptr) {
    IopDateArguments dates(instance);
    dates.status() = 0;
    ArgumentReader& arguments = dates.reader();
    arguments.open();
    std::optional<IopDate> d1 = dates.next();
    if (!d1) return dates.abandon();
    arguments.comma();
    std::optional<IopDate> d2 = dates.next();
    if (!d2) return dates.abandon();
    arguments.comma();
    if (bounds != nullptr) {
        bounds->low = arguments.count();
        arguments.comma();
        bounds->high = arguments.count();
        arguments.comma();
    }
    int32_t mode = arguments.count();
    arguments.close();
    for (const IopDate& date : {*d1, *d2}) {
        Judged result = judged(instance, dates, date);
        if (!result.usable) return result.value;
    }
    return iopDayDifference(d1->value, d2->value, mode, latestDate(instance))
        .value_or(kDateUnknown);
}

bool isVerdict(int32_t value) {
    return value == kDateEmpty || value == kDateError || value == kDateUnknown;
}

int32_t scaledDifference(TMetaFile& instance, int32_t divisor) {
    int32_t days = difference(instance);
    return isVerdict(days) ? days : days / divisor;
}

int32_t interval(TMetaFile& instance, int32_t divisor) {
    Bounds bounds;
    int32_t days = difference(instance, &bounds);
    if (isVerdict(days)) return days;
    int32_t value = days / divisor;
    return bounds.low <= value && value <= bounds.high ? 1 : 0;
}

// The status for two dates that cannot be completed: the coarsest unknown part.
int32_t incompleteStatus(const DateParts& p, const DateParts& q) {
    if (p.month == 0 || q.month == 0) return 8;
    if (p.day == 0 || q.day == 0) return 4;
    return 16;
}

int32_t compared(TMetaFile& instance, IopDateArguments& dates, int32_t d1, int32_t d2,
                 int32_t mode) {
    if (d1 == 0 || d2 == 0) {
        dates.status() = kEmptyDateStatus;
        return kDateEmpty;
    }
    LatestDate latest = latestDate(instance);
    DateParts p = DateParts::of(d1);
    DateParts q = DateParts::of(d2);
    if (!completeIop(p, q, mode, latest)) {
        dates.status() = incompleteStatus(DateParts::of(d1), DateParts::of(d2));
        return kDateUnknown;
    }
    for (int32_t date : {d1, d2}) {
        if (int32_t status = VTi_ValidDate_IOP(DateParts::of(date), latest)) {
            dates.status() = status;
            return kDateError;
        }
    }
    return p.value() < q.value() ? -1 : p.value() == q.value() ? 0 : 1;
}

} // namespace

int32_t call_date_day_iop(TMetaFile& instance) {
    return datePart(instance, Part::Day);
}

int32_t call_date_month_iop(TMetaFile& instance) {
    return datePart(instance, Part::Month);
}

int32_t call_date_year_iop(TMetaFile& instance) {
    return datePart(instance, Part::Year);
}

int32_t call_valid_date_iop(TMetaFile& instance) {
    IopDateArguments dates(instance);
    dates.status() = 0;
    dates.reader().open();
    std::optional<IopDate> date = dates.next();
    if (!date) {
        dates.abandon();
        return 0; // this function answers only yes or no
    }
    dates.reader().close();
    if (date->value == 0) {
        dates.status() = kEmptyDateStatus;
        return 0;
    }
    int32_t status = VTi_ValidDate_IOP(DateParts::of(date->value), latestDate(instance));
    if (status != 0) dates.status() = status;
    return status == 0 ? 1 : 0;
}

int32_t call_datecmp_iop(TMetaFile& instance) {
    IopDateArguments dates(instance);
    ArgumentReader& arguments = dates.reader();
    dates.status() = 0;
    arguments.open();
    std::optional<IopDate> d1 = dates.next();
    if (!d1) return dates.abandon();
    arguments.comma();
    dates.status() = 0;
    std::optional<IopDate> d2 = dates.next();
    if (!d2) return dates.abandon();
    arguments.comma();
    int32_t mode = arguments.count();
    arguments.close();
    return compared(instance, dates, d1->value, d2->value, mode);
}

int32_t call_daydiff_iop(TMetaFile& instance) {
    return scaledDifference(instance, 1);
}

int32_t call_monthdiff_iop(TMetaFile& instance) {
    return scaledDifference(instance, 30);
}

int32_t call_yeardiff_iop(TMetaFile& instance) {
    return scaledDifference(instance, 365);
}

int32_t call_dayinterval_iop(TMetaFile& instance) {
    return interval(instance, 1);
}

int32_t call_monthinterval_iop(TMetaFile& instance) {
    return interval(instance, 30);
}

int32_t call_yearinterval_iop(TMetaFile& instance) {
    return interval(instance, 365);
}

int32_t call_allow_future_date_iop(TMetaFile& instance) {
    ArgumentReader arguments(instance);
    TokenReader& tokens = arguments.interpreter().tokens();
    arguments.open();
    tokens.VTi_GetToken();
    uint8_t kind = tokens.token().kind;
    if (kind != kNumber && kind != kIdentifier)
        instance.lastError().fail(331, "call_allow_future_date_iop");
    tokens.putBack();
    int32_t years = arguments.count();
    if (years < 0) instance.lastError().fail(331, "call_allow_future_date_iop");
    arguments.close();
    instance.builtinLibrary().allowFutureYears(years);
    return 0;
}

} // namespace vetra
