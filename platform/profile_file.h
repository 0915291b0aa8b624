// Profile (INI) files with the reading and writing rules of the Windows private-profile
// functions, which the desktop program's configuration files were written for: sections in
// square brackets, "key=value" lines, section names and keys compared without regard to ASCII
// case, the first of duplicate sections and of duplicate keys winning.
//
// This is where INI bytes enter the program, so any file is accepted: a missing file is an empty
// profile, and binary bytes, NULs, lines without sections or endless lines are read as text
// without fault. Writing keeps every line it does not change as it was (comments, unknown
// sections, order); lines are read with LF or CRLF ends and written with LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vetra::platform {

class ProfileFile {
public:
    // A configuration file is a few kilobytes. A larger file than this is not one of ours: it is
    // read as an empty profile and save() refuses to overwrite it, so nothing is lost.
    static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

    // Reads the file at `path`; a missing or unreadable file gives an empty profile.
    explicit ProfileFile(std::string path);
    // A profile parsed from `text`, not tied to a file: save() fails, text() gives the result.
    static ProfileFile fromText(std::string_view text);

    // The value of `key` in `section`: blanks around it trimmed, one pair of matching double or
    // single quotes around it removed. `fallback` when the key or the section does not exist.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback = {}) const;
    // The values of the section's "key=value" lines in file order, each read as readString
    // reads it; the text after the first '=' is the value.
    std::vector<std::string> sectionValues(std::string_view section) const;
    bool sectionExists(std::string_view section) const;

    // Replaces the line of the key's first occurrence, or adds the key to the end of the
    // section, or adds the section to the end of the file. Line breaks in the arguments become
    // blanks, so one call writes one line. An empty section or key is not written.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Removes every section of that name: its header and the lines up to the next header.
    void eraseSection(std::string_view section);
    // Erases the section and appends it anew at the end with one "key=value" line per entry,
    // in order; without entries the section is only erased. Unlike repeated writeString calls, keys
    // are not matched against each other, so keys that contain '=' or differ only in case all
    // survive.
    void rewriteSection(std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& entries);

    // The file's lines without their line ends, for readers that scan the text themselves.
    const std::vector<std::string>& lines() const { return lines_; }
    // The profile as it would be saved.
    std::string text() const;
    // Writes text() to the file; false when it could not be written, when the profile was
    // parsed from text, or when the file existed but could not be read whole.
    bool save() const;

private:
    ProfileFile() = default;
    void parse(std::string_view text);
    // The first section of that name: the index of its header line, or lines_.size().
    std::size_t findSection(std::string_view section) const;
    // The index of the first line after the section whose header is at `header`.
    std::size_t sectionEnd(std::size_t header) const;

    std::string path_;
    std::vector<std::string> lines_;
    bool endsWithNewline_ = true;
    // False when the file exists but was not read whole; save() then leaves it alone.
    bool writable_ = true;
};

} // namespace vetra::platform
