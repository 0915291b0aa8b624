// The date functions of edit logic whose incomplete parts are 00 (missing) and 99 (unknown):
// validation with a detail status for the messages, parts, comparison, and differences and
// intervals in days, months (30 days) and years (365 days).
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_date_day(TMetaFile& instance);
int32_t call_date_month(TMetaFile& instance);
int32_t call_date_year(TMetaFile& instance);
int32_t call_valid_date(TMetaFile& instance);
int32_t call_datecmp(TMetaFile& instance);
int32_t call_daydiff(TMetaFile& instance);
int32_t call_monthdiff(TMetaFile& instance);
int32_t call_yeardiff(TMetaFile& instance);
int32_t call_dayinterval(TMetaFile& instance);
int32_t call_monthinterval(TMetaFile& instance);
int32_t call_yearinterval(TMetaFile& instance);

} // namespace vetra
