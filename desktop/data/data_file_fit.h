// Whether an inspected data file can be checked with the chosen record layout. A file that
// inspection understood may still be no NAACCR file at all (any text file has a first line),
// or one written for another layout; running it would check misaligned columns and bury the
// user in failures that mean nothing, so such a file is refused before a run can start.
#pragma once

#include "desktop/data/data_file_inspection.h"
#include "desktop/data/field_description.h"

#include <optional>
#include <string>

namespace vetra::desktop {

// Nothing when the file fits; otherwise the one message that names the file and everything
// about it that does not fit. `layoutRecordLength` 0 means no layout is chosen yet, and then
// only that the file holds records is checked. The record type and the NAACCR version are
// checked where the layout's fields place them as NAACCR does: item 10 in column 1 and item
// 50 in columns 17 to 19.
std::optional<std::string> dataFileMisfit(const DataFileInfo& info, const std::string& layoutName,
                                          std::int64_t layoutRecordLength,
                                          const LayoutFieldList& layoutFields);

} // namespace vetra::desktop
