// The program's version text and build time, as the window caption, the About box, the run
// log and the run record show them.
#pragma once

namespace vetra::desktop {

inline constexpr const char* kProgramVersion = "1.2.8";
// When the program was built: defined in one place so that every part of it agrees.
extern const char* const kBuildDate;
extern const char* const kBuildTime;

} // namespace vetra::desktop
