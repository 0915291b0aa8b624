#include "external_library_path.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Why a folder or library (`what`) may not be trusted: another user could replace what it
// holds. Empty when it may.
std::string untrustedBecause(const struct stat& status, const std::string& what) {
    if (status.st_uid != geteuid() && status.st_uid != 0) return what + " belongs to another user";
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return what + " may be written by group or others";
    return {};
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The refusal for the file `name` that exists in the open folder `folder` (shown as
// `shown`), or empty with `*file` open on it.
std::string openCandidate(const FileDescriptor& folder, const std::string& name,
                          const std::string& shown, const fs::path& metafile,
                          FileDescriptor* file) {
    FileDescriptor opened(
        openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!opened) {
        if (errno == ELOOP) return shown + " is a symbolic link";
        return shown + " cannot be opened";
    }
    struct stat status {};
    if (fstat(opened.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return shown + " is not a regular file";
    if (std::string reason = untrustedBecause(status, shown); !reason.empty()) return reason;
    struct stat metafileStatus {};
    if (stat(metafile.c_str(), &metafileStatus) == 0 && sameFile(status, metafileStatus))
        return shown + " is the metafile itself";
    *file = std::move(opened);
    return {};
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
    return folders;
}

std::vector<std::string> libraryFileNames(std::string_view name) {
    if (endsWithIgnoringCase(name, ".so")) return {std::string(name)};
    if (!endsWithIgnoringCase(name, ".dll")) return {};
    std::string base(name.substr(0, name.size() - 4));
    return {base + ".so", "lib" + base + ".so", "lib" + lowerCase(base) + ".so"};
}

ExternalLibraryLookup openExternalLibrary(std::string_view name,
                                          const std::vector<fs::path>& folders,
                                          const fs::path& metafile) {
    ExternalLibraryLookup lookup;
    std::string quoted = "'" + std::string(name.substr(0, 64)) + "'";
    if (folders.empty()) {
        lookup.refusal = "no folder allows external libraries (the host names them in " +
                         std::string(kExternalFoldersVariable) + ")";
        return lookup;
    }
    if (name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        lookup.refusal = "the library name " + quoted + " is not a file name";
        return lookup;
    }
    std::vector<std::string> names = libraryFileNames(name);
    if (names.empty()) {
        lookup.refusal = "the library name " + quoted + " does not end in .so";
        return lookup;
    }
    for (const fs::path& folderPath : folders) {
        FileDescriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat status {};
        if (!folder || fstat(folder.get(), &status) != 0) continue; // a missing folder
        std::string untrusted = untrustedBecause(status, "the folder " + folderPath.string());
        for (const std::string& file : names) {
            if (faccessat(folder.get(), file.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) != 0) continue;
            lookup.shownPath = (folderPath / file).string();
            lookup.refusal = !untrusted.empty() ? untrusted
                                                : openCandidate(folder, file, lookup.shownPath,
                                                                metafile, &lookup.file);
            return lookup;
        }
    }
    lookup.refusal = "no library " + quoted + " in the allowed folders";
    return lookup;
}

} // namespace vetra
