// The file and folder services the desktop program needs beyond the standard library: where
// the program lives, creating folders, a file's size and date, and the machine's processors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vetra::platform {

// The folder of the running executable, with a trailing separator.
std::string executableFolder();

// The folder with a trailing separator, added when missing; an empty folder stays empty.
std::string withTrailingSeparator(std::string folder);

// The folder part of a path, with its trailing separator; empty when the path has none.
std::string folderOf(const std::string& path);
// The file name part of a path.
std::string fileNameOf(const std::string& path);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
// Creates the folder and any missing parents; true when it exists afterwards.
bool createFolders(const std::string& path);

// Why a folder cannot be used, in the system's own words ("No such file or directory",
// "Permission denied", "Read-only file system", ...); nothing when it can. A folder the
// program writes into must take a new file (a file is created there and removed again, which
// is the only test that also catches a read-only file system or a full quota); one it only
// reads from must be a folder it may list and enter.
std::optional<std::string> folderUnusable(const std::string& path, bool forWriting);

// The system's text for an error number, as strerror gives it.
std::string systemErrorText(int errorNumber);

std::optional<std::uint64_t> fileSize(const std::string& path);
// The file's last modification time as the user's locale writes a date and time.
std::optional<std::string> fileModificationText(const std::string& path);

unsigned processorCount();
// The processor architecture by its name on this system ("x86_64", "aarch64", ...).
std::string processorArchitecture();

} // namespace vetra::platform
