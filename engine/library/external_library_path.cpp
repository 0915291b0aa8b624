#include "external_library_path.h"

#include <algorithm>
#include <cctype>

namespace vetra {

namespace fs = std::filesystem;

namespace {

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The canonical path of `candidate` when it is a regular file inside `folder` (canonical).
std::optional<std::string> insideFolder(const fs::path& folder, const fs::path& candidate) {
    std::error_code error;
    fs::path resolved = fs::canonical(candidate, error);
    if (error || !fs::is_regular_file(resolved, error) || error) return std::nullopt;
    std::string prefix = folder.string();
    if (!prefix.ends_with('/')) prefix += '/';
    std::string text = resolved.string();
    if (!text.starts_with(prefix)) return std::nullopt;
    return text;
}

} // namespace

std::vector<fs::path> allowedLibraryFolders(std::string_view setting, const fs::path& metafile) {
    fs::path metafileFolder = fs::absolute(metafile).parent_path();
    std::vector<fs::path> folders;
    size_t start = 0;
    while (start <= setting.size()) {
        size_t end = std::min(setting.find(':', start), setting.size());
        std::string_view folder = setting.substr(start, end - start);
        if (!folder.empty()) folders.push_back(metafileFolder / fs::path(folder));
        start = end + 1;
    }
    if (folders.empty()) folders.push_back(metafileFolder);
    return folders;
}

std::vector<std::string> libraryFileNames(std::string_view name) {
    std::vector<std::string> names{std::string(name)};
    if (endsWithIgnoringCase(name, ".dll")) {
        std::string base(name.substr(0, name.size() - 4));
        names.push_back(base + ".so");
        names.push_back("lib" + base + ".so");
        names.push_back("lib" + lowerCase(base) + ".so");
    }
    return names;
}

std::optional<std::string> resolveExternalLibrary(std::string_view name,
                                                  const std::vector<fs::path>& folders) {
    if (name.empty() || name.find('\0') != std::string_view::npos) return std::nullopt;
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::path canonicalFolder = fs::canonical(folder, error);
        if (error) continue;
        for (const std::string& file : libraryFileNames(name))
            if (auto found = insideFolder(canonicalFolder, canonicalFolder / fs::path(file)))
                return found;
    }
    return std::nullopt;
}

} // namespace vetra
