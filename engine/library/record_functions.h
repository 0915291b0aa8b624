// The record built-ins: read and write fields of the bound layouts by number, copy one
// layout's fields into another, and test whether a layout's record is blank.
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_getfield(TMetaFile& instance);
int32_t call_putfield(TMetaFile& instance);
int32_t call_copyrecord(TMetaFile& instance);
int32_t call_recordempty(TMetaFile& instance);

} // namespace vetra
