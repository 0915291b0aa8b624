// externaldll: calls the entry point of an external library that edit logic names.
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_externaldll(TMetaFile& instance);

} // namespace vetra
