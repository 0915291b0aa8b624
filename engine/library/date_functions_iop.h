// The _iop date functions of edit logic, for dates whose unknown day or month is blank: parts,
// validation, comparison, and differences and intervals in days, months (30 days) and years
// (365 days). Their dates are read as IopDateArguments and judged against today, which
// allow_future_date_iop may move on by some years for the rest of the running edit.
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_date_day_iop(TMetaFile& instance);
int32_t call_date_month_iop(TMetaFile& instance);
int32_t call_date_year_iop(TMetaFile& instance);
int32_t call_valid_date_iop(TMetaFile& instance);
int32_t call_datecmp_iop(TMetaFile& instance);
int32_t call_daydiff_iop(TMetaFile& instance);
int32_t call_monthdiff_iop(TMetaFile& instance);
int32_t call_yeardiff_iop(TMetaFile& instance);
int32_t call_dayinterval_iop(TMetaFile& instance);
int32_t call_monthinterval_iop(TMetaFile& instance);
int32_t call_yearinterval_iop(TMetaFile& instance);
int32_t call_allow_future_date_iop(TMetaFile& instance);

} // namespace vetra
