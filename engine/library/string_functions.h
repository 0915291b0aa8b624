// The string functions of edit logic. Each reads its own arguments (see argument_reader.h) and
// returns an integer or the address of a text: a temporary result text, or its destination.
#pragma once

#include <cstdint>
#include <string_view>

class TMetaFile;

namespace vetra {

int32_t call_strlen(TMetaFile& instance);
int32_t call_at(TMetaFile& instance);
int32_t call_strcmp(TMetaFile& instance);
int32_t call_strcpy(TMetaFile& instance);
int32_t call_strcat(TMetaFile& instance);
int32_t call_fmtstr(TMetaFile& instance);
int32_t call_left(TMetaFile& instance);
int32_t call_right(TMetaFile& instance);
int32_t call_substr(TMetaFile& instance);
int32_t call_trim(TMetaFile& instance);
int32_t call_upper(TMetaFile& instance);
int32_t call_lower(TMetaFile& instance);
int32_t call_val(TMetaFile& instance);
int32_t call_empty(TMetaFile& instance);
int32_t call_justified(TMetaFile& instance);
int32_t call_match(TMetaFile& instance);
int32_t call_inlist(TMetaFile& instance);
// The list test of inlist: 1 when the value, without its outer blanks, equals an item of the
// comma-separated list or lies in one of its numeric ranges "low-high".
int32_t VTi_Inlist(TMetaFile& instance, std::string_view value, std::string_view list);

} // namespace vetra
