// Today's date from the local clock, as the edit language sees it.
#pragma once

#include <cstdint>

namespace vetra {

// CCYYMMDD, for example 20261209.
int32_t localDateCcyymmdd();

} // namespace vetra
