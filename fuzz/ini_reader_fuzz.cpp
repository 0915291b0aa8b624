// Fuzzes the profile-file layer with arbitrary file contents: lookups with names taken from the
// input and with fixed names, writing, erasing and rewriting sections, and serialising. A
// written key must read back, an erased or rewritten section must be gone or hold exactly its
// new lines, and the serialised text must read the same again.
#include "platform/profile_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vetra::platform::ProfileFile;

// The input's first line, so that lookups also use names that the file itself contains.
std::string firstLine(std::string_view input) {
    const std::string_view line = input.substr(0, input.find('\n'));
    return std::string(line.substr(0, 64));
}

void exercise(const ProfileFile& profile, const std::string& name) {
    (void)profile.readString(name, name, "fallback");
    (void)profile.sectionValues(name);
    (void)profile.sectionExists(name);
    (void)profile.readString("Metafiles", "SkipEmpty");
    (void)profile.sectionValues("EditSets");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string name = firstLine(input);
    ProfileFile profile = ProfileFile::fromText(input);
    exercise(profile, name);

    profile.writeString("Fuzz", "Key", "value");
    if (profile.readString("fuzz", "KEY") != "value") __builtin_trap();
    profile.writeString(name, name, name);
    profile.eraseSection(name);

    profile.eraseSection("Fuzz");
    if (profile.sectionExists("Fuzz")) __builtin_trap();
    const std::vector<std::string> expected{"1", "x=2"};
    profile.rewriteSection("List", {{"a", "1"}, {"a", "x=2"}});
    if (profile.sectionValues("list") != expected) __builtin_trap();

    const ProfileFile reread = ProfileFile::fromText(profile.text());
    exercise(reread, name);
    if (reread.sectionValues("List") != expected || reread.sectionExists("Fuzz")) __builtin_trap();
    return 0;
}
