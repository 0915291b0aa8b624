// The NAACCR file-information library. Only the two entry points are visible outside it; the
// build hides every other symbol.
#include "desktop/file_information/naaccr_file_information.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#define KZNAACCR_EXPORT __attribute__((visibility("default")))

namespace {

constexpr char kVersion[] = "1.0.0";
constexpr char kDescription[] = "NAACCR fixed-width records: type, version and length";
constexpr int kVersionColumn = 17; // columns 17 to 19 of every NAACCR record layout

static_assert(sizeof kVersion <= sizeof(kznaaccr_dll_info::version));
static_assert(sizeof kDescription <= sizeof(kznaaccr_dll_info::description));
static_assert(sizeof(kznaaccr_dll_info) == 112);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Devices and pipes are refused: they have no first record and could block or never end.
std::unique_ptr<std::FILE, FileCloser> openRegularFile(const char* path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return nullptr;
    return std::unique_ptr<std::FILE, FileCloser>(std::fopen(path, "rb"));
}

} // namespace

extern "C" KZNAACCR_EXPORT int kzGet_kznaaccr_dll_info(void* record) {
    if (record == nullptr) return -1;
    auto* info = static_cast<kznaaccr_dll_info*>(record);
    std::memcpy(info->version, kVersion, sizeof kVersion);
    std::memcpy(info->description, kDescription, sizeof kDescription);
    return 0;
}

extern "C" KZNAACCR_EXPORT int kzGet_naaccr_file_info(const char* path, kznaaccr_file_info* info) {
    if (path == nullptr || info == nullptr) return -1;
    *info = kznaaccr_file_info{};
    const auto file = openRegularFile(path);
    if (!file) return -1;

    int64_t length = 0;
    for (int c; length < KZNAACCR_MAX_LINE && (c = std::fgetc(file.get())) != EOF;) {
        ++length;
        if (length == 1) info->record_type = static_cast<char>(c);
        if (length >= kVersionColumn && length < kVersionColumn + 3)
            info->naaccr_version[length - kVersionColumn] = static_cast<char>(c);
        if (c == '\n') break;
    }
    if (std::ferror(file.get())) return -1;
    info->record_length = length;
    if (length < kVersionColumn + 2) {
        std::memset(info->naaccr_version, 0, sizeof info->naaccr_version);
        return 1;
    }
    return 0;
}
