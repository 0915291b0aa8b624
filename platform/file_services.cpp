#include "file_services.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace vetra::platform {

namespace fs = std::filesystem;

std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string executableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return withTrailingSeparator(fs::current_path(error).string());
    return withTrailingSeparator(executable.parent_path().string());
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

bool folderExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

bool createFolders(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}

std::string systemErrorText(int errorNumber) {
    return std::strerror(errorNumber);
}

std::optional<std::string> folderUnusable(const std::string& path, bool forWriting) {
    if (path.empty()) return "no folder is named";
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return systemErrorText(errno);
    if (!S_ISDIR(status.st_mode)) return systemErrorText(ENOTDIR);
    if (::access(path.c_str(), R_OK | X_OK) != 0) return systemErrorText(errno);
    if (!forWriting) return std::nullopt;
    std::string probe = withTrailingSeparator(path) + ".ravelo-write-test-XXXXXX";
    const int descriptor = ::mkstemp(probe.data());
    if (descriptor < 0) return systemErrorText(errno);
    ::close(descriptor);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

std::optional<std::string> fileModificationText(const std::string& path) {
    std::error_code error;
    const auto written = fs::last_write_time(path, error);
    if (error) return std::nullopt;
    const auto systemTime = std::chrono::file_clock::to_sys(written);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(systemTime);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    const auto length = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, length);
}

unsigned processorCount() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : count;
}

std::string processorArchitecture() {
    struct utsname names {};
    if (::uname(&names) != 0) return "unknown";
    return names.machine;
}

} // namespace vetra::platform
