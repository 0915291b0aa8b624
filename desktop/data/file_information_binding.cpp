#include "desktop/data/file_information_binding.h"

#include <algorithm>

namespace vetra::desktop {

namespace {

// The texts come from outside the program, so neither may run past its field even when the
// library leaves out the terminator.
template <std::size_t N> std::string textInField(const char (&field)[N]) {
    return std::string(field, std::find(field, field + N, '\0'));
}

} // namespace

RAVfilecheck::RAVfilecheck(const std::string& fileName) : library_(fileName) {
    if (!library_.loaded()) return;
    kzGet_kznaaccr_dll_info_ =
        reinterpret_cast<DllInfoFunction*>(library_.resolve("kzGet_kznaaccr_dll_info"));
    kzGet_naaccr_file_info_ =
        reinterpret_cast<FileInfoFunction*>(library_.resolve("kzGet_naaccr_file_info"));
    loaded_ = kzGet_kznaaccr_dll_info_ != nullptr && kzGet_naaccr_file_info_ != nullptr;
}

std::string RAVfilecheck::dllInfoText() const {
    if (!loaded_) return {};
    kznaaccr_dll_info record{};
    kzGet_kznaaccr_dll_info_(&record);
    return textInField(record.version) + ", " + textInField(record.description);
}

} // namespace vetra::desktop
