#include "builtin_library.h"

#include "engine/library/date_functions.h"
#include "engine/library/date_functions_iop.h"
#include "engine/library/external_functions.h"
#include "engine/library/function_names.h"
#include "engine/library/lookup_functions.h"
#include "engine/library/message_functions.h"
#include "engine/library/record_functions.h"
#include "engine/library/string_functions.h"
#include "engine/library/user_functions.h"
#include "engine/library/variable_functions.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
#include <string>
#include <utility>

namespace vetra {

namespace {

struct NamedFunction {
    std::string_view name;
    BuiltinFunction function;
};

constexpr NamedFunction kImplemented[] = {
    {"at", call_at},
    {"empty", call_empty},
    {"justified", call_justified},
    {"left", call_left},
    {"lower", call_lower},
    {"right", call_right},
    {"strcat", call_strcat},
    {"strcmp", call_strcmp},
    {"strcpy", call_strcpy},
    {"strlen", call_strlen},
    {"substr", call_substr},
    {"trim", call_trim},
    {"upper", call_upper},
    {"val", call_val},
    {"fmtstr", call_fmtstr},
    {"match", call_match},
    {"inlist", call_inlist},
    {"set_flag", call_set_flag},
    {"check_flag", call_check_flag},
    {"clear_all_flags", call_clear_all_flags},
    {"increment_flag", call_increment_flag},
    {"set_error", call_set_error},
    {"save_error_text", call_save_error_text},
    {"set_warning", call_set_warning},
    {"save_warning_text", call_save_warning_text},
    {"save_text", call_save_text},
    {"error_msg", call_error_msg},
    {"error_text", call_error_text},
    {"puts", call_puts},
    {"print", call_print},
    {"show", call_show},
    {"putch", call_putch},
    {"getche", call_getche},
    {"getnum", call_getnum},
    {"trace", call_trace},
    {"quit", call_quit},
    {"use", call_use},
    {"read", call_read},
    {"usr1", call_usr<0>},
    {"usr2", call_usr<1>},
    {"usr3", call_usr<2>},
    {"usr4", call_usr<3>},
    {"usr5", call_usr<4>},
    {"usr6", call_usr<5>},
    {"usr7", call_usr<6>},
    {"usr8", call_usr<7>},
    {"usr9", call_usr<8>},
    {"usr10", call_usr<9>},
    {"date_day", call_date_day},
    {"date_month", call_date_month},
    {"date_year", call_date_year},
    {"valid_date", call_valid_date},
    {"datecmp", call_datecmp},
    {"daydiff", call_daydiff},
    {"monthdiff", call_monthdiff},
    {"yeardiff", call_yeardiff},
    {"dayinterval", call_dayinterval},
    {"monthinterval", call_monthinterval},
    {"yearinterval", call_yearinterval},
    {"date_day_iop", call_date_day_iop},
    {"date_month_iop", call_date_month_iop},
    {"date_year_iop", call_date_year_iop},
    {"valid_date_iop", call_valid_date_iop},
    {"datecmp_iop", call_datecmp_iop},
    {"daydiff_iop", call_daydiff_iop},
    {"monthdiff_iop", call_monthdiff_iop},
    {"yeardiff_iop", call_yeardiff_iop},
    {"dayinterval_iop", call_dayinterval_iop},
    {"monthinterval_iop", call_monthinterval_iop},
    {"yearinterval_iop", call_yearinterval_iop},
    {"allow_future_date_iop", call_allow_future_date_iop},
    {"getfield", call_getfield},
    {"putfield", call_putfield},
    {"copyrecord", call_copyrecord},
    {"recordempty", call_recordempty},
    {"setvar", call_setvar},
    {"getvar", call_getvar},
    {"nameexpr", call_nameexpr},
    {"lookup", call_lookup},
    {"rlookup", call_rlookup},
    {"ilookup", call_ilookup},
    {"binlookup", call_binlookup},
    {"externaldll", call_externaldll},
};

// Each function at the index its name has in the table that compiled logic refers to.
constexpr std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> buildTable() {
    std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> table{};
    for (const NamedFunction& entry : kImplemented)
        for (size_t i = 0; i < kLibraryFunctionNames.size(); ++i)
            if (kLibraryFunctionNames[i] == entry.name) table[i] = entry.function;
    return table;
}

// Compared by name: a function's address is not a constant in every build (sanitizers).
constexpr bool everyFunctionImplemented() {
    for (std::string_view name : kLibraryFunctionNames) {
        bool found = false;
        for (const NamedFunction& entry : kImplemented)
            found = found || entry.name == name;
        if (!found) return false;
    }
    return true;
}
static_assert(everyFunctionImplemented(), "every function of the table has an implementation");

} // namespace

const std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> kBuiltinFunctions = buildTable();

BuiltinLibrary::BuiltinLibrary(TMetaFile& instance) : instance_(instance) {
    slots_[1] = raiseErrorsSlot;
    slots_[3] = checkFlagsSlot;
}

void BuiltinLibrary::startRun() {
    instance_.runs().current().messageOverride = 0;
    futureYears_ = 0;
}

int32_t BuiltinLibrary::call(int32_t index) {
    return kBuiltinFunctions[static_cast<size_t>(index)](instance_);
}

} // namespace vetra
