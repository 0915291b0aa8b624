#include "profile_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace vetra::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// The name of the section a header line opens. A line that starts with '[' but has no ']' is
// no header; like the Windows functions, it is then read as an ordinary line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const auto close = line.rfind(']');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// A "key=value" line, split at its first '='. Lines without '=' and comment lines (';') hold
// no key.
std::optional<KeyLine> keyLine(std::string_view line) {
    const std::string_view trimmed = trim(line);
    if (!trimmed.empty() && trimmed.front() == ';') return std::nullopt;
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return KeyLine{trim(trimmed.substr(0, equals)), trim(trimmed.substr(equals + 1))};
}

// The Windows functions drop one pair of matching quotes around a value.
std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

// One written argument must stay on one line, or it would break the file's structure.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return std::string(trim(line));
}

std::string sectionHeader(std::string_view section) {
    return "[" + std::string(section) + "]";
}

} // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path_, error);
    if (status.type() == fs::file_type::not_found) return;
    // Directories, devices and pipes are not read: a pipe or /dev/zero would never end.
    writable_ = false;
    if (!fs::is_regular_file(status)) return;
    const auto size = fs::file_size(path_, error);
    if (error || size > kMaxFileSize) return;
    std::ifstream in(path_, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.gcount() != static_cast<std::streamsize>(text.size())) return;
    if (in.peek() != std::ifstream::traits_type::eof()) return; // grew while being read
    writable_ = true;
    parse(text);
}

ProfileFile ProfileFile::fromText(std::string_view text) {
    ProfileFile profile;
    profile.parse(text);
    return profile;
}

void ProfileFile::parse(std::string_view text) {
    if (text.size() > kMaxFileSize) {
        writable_ = false;
        return;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
            endsWithNewline_ = false;
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        start = end + 1;
    }
}

std::size_t ProfileFile::findSection(std::string_view section) const {
    // A section without a name is never found, nor are the lines before the first header.
    if (section.empty()) return lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i]);
        if (name && equalsIgnoringCase(*name, section)) return i;
    }
    return lines_.size();
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && !sectionName(lines_[end]))
        ++end;
    return end;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    const std::size_t header = findSection(section);
    if (header == lines_.size()) return std::string(fallback);
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto entry = keyLine(lines_[i]);
        if (entry && equalsIgnoringCase(entry->key, key))
            return std::string(unquoted(entry->value));
    }
    return std::string(fallback);
}

std::vector<std::string> ProfileFile::sectionValues(std::string_view section) const {
    std::vector<std::string> values;
    const std::size_t header = findSection(section);
    if (header == lines_.size()) return values;
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (const auto entry = keyLine(lines_[i])) values.emplace_back(unquoted(entry->value));
    return values;
}

bool ProfileFile::sectionExists(std::string_view section) const {
    return findSection(section) != lines_.size();
}

void ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    const std::string name = oneLine(section);
    const std::string cleanKey = oneLine(key);
    if (name.empty() || cleanKey.empty()) return;
    std::string line = cleanKey + "=" + oneLine(value);

    const std::size_t header = findSection(name);
    if (header == lines_.size()) {
        lines_.push_back(sectionHeader(name));
        lines_.push_back(std::move(line));
        endsWithNewline_ = true;
        return;
    }
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto entry = keyLine(lines_[i]);
        if (entry && equalsIgnoringCase(entry->key, cleanKey)) {
            lines_[i] = std::move(line);
            return;
        }
    }
    // New keys go after the section's last line that is not blank, so that the blank lines
    // separating it from the next section stay where they are.
    std::size_t at = end;
    while (at > header + 1 && trim(lines_[at - 1]).empty())
        --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void ProfileFile::eraseSection(std::string_view section) {
    const std::string name = oneLine(section);
    if (name.empty()) return;
    std::vector<std::string> kept;
    kept.reserve(lines_.size());
    bool erasing = false;
    for (std::string& line : lines_) {
        if (const auto header = sectionName(line)) erasing = equalsIgnoringCase(*header, name);
        if (!erasing) kept.push_back(std::move(line));
    }
    if (erasing) endsWithNewline_ = true; // the unterminated last line went with the section
    lines_ = std::move(kept);
}

void ProfileFile::rewriteSection(std::string_view section,
                                 const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string name = oneLine(section);
    if (name.empty()) return;
    eraseSection(name);
    std::vector<std::string> written;
    for (const auto& [key, value] : entries) {
        const std::string cleanKey = oneLine(key);
        if (!cleanKey.empty()) written.push_back(cleanKey + "=" + oneLine(value));
    }
    if (written.empty()) return; // as erasing and then writing no key leaves no section
    lines_.push_back(sectionHeader(name));
    lines_.insert(lines_.end(), std::make_move_iterator(written.begin()),
                  std::make_move_iterator(written.end()));
    endsWithNewline_ = true;
}

std::string ProfileFile::text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines_[i];
    }
    if (endsWithNewline_ && !lines_.empty()) text += '\n';
    return text;
}

bool ProfileFile::save() const {
    if (path_.empty() || !writable_) return false;
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text();
    out.close();
    return !out.fail();
}

} // namespace vetra::platform
