#include "file_services.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

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

unsigned processorType() {
#if defined(__x86_64__)
    return 8664; // the number the platform's system information gives an x86-64 processor
#elif defined(__i386__)
    return 586;
#else
    return 0;
#endif
}

} // namespace vetra::platform
