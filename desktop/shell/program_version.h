// The program's version text and build time, as the window caption, the About box, the run
// log and the run record show them.
#pragma once

namespace vetra::desktop {

inline constexpr const char* kProgramVersion = "1.2.8";
inline constexpr const char* kBuildDate = __DATE__;
inline constexpr const char* kBuildTime = __TIME__;

} // namespace vetra::desktop
