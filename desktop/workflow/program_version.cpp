#include "desktop/workflow/program_version.h"

namespace vetra::desktop {

const char* const kBuildDate = __DATE__;
const char* const kBuildTime = __TIME__;

} // namespace vetra::desktop
