// Checking an edit set against the bound record layout: every field an edit of the set uses
// that the layout lacks is reported to the host's callback, with the field's name from the
// data dictionary.
#pragma once

#include "engine/api/vetra40.h"
#include "engine/store/metafile_directory.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vetra {

// The local numbers of layout `layoutNumber`, from the buffer field table.
std::vector<int32_t> layoutLocalNumbers(const MetafileStream& stream, const InternalTables& tables,
                                        int32_t layoutNumber);

// Reports each field of each member edit of the named edit set that is not among
// `layoutFields`. An edit set without a record or member list reports nothing.
void reportFieldsMissingFromLayout(const MetafileStream& stream, const InternalTables& tables,
                                   std::string_view editSetName,
                                   const std::vector<int32_t>& layoutFields, intptr_t owner,
                                   VT_CheckFieldCallback callback);

} // namespace vetra
