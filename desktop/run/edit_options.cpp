#include "desktop/run/edit_options.h"

namespace vetra::desktop {

int optionCodeOfRow(const EditOptionRow& row) {
    if (row.marked[kUseEditSetOptions]) return 512;
    if (row.marked[kSuppressEdit]) return 8;
    if (row.marked[kNoSkips]) return 0;
    return (row.marked[kSkipEmpty] ? 1 : 0) + (row.marked[kSkipFail] ? 2 : 0);
}

const char* runLogLabelOfRow(const EditOptionRow& row) {
    if (row.marked[kSuppressEdit]) return "VT_SUPPRESS";
    if (row.marked[kSkipEmpty] && row.marked[kSkipFail]) return "VT_SKIPEMPTY and VT_SKIPFAIL";
    if (row.marked[kSkipEmpty]) return "VT_SKIPEMPTY";
    if (row.marked[kSkipFail]) return "VT_SKIPFAIL";
    return "NONE";
}

} // namespace vetra::desktop
