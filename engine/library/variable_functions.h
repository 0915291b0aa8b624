// The variable built-ins: setvar and getvar exchange named texts with the host through the
// engine variable store; nameexpr reads one of the running edit's own variables by name.
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_setvar(TMetaFile& instance);
int32_t call_getvar(TMetaFile& instance);
int32_t call_nameexpr(TMetaFile& instance);

} // namespace vetra
