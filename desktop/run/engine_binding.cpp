#include "desktop/run/engine_binding.h"

#include <cstdio>

namespace vetra::desktop {

namespace {

constexpr std::size_t kShownTextLimit = 510;

template <class... Arguments> std::string formatted(const char* format, Arguments... arguments) {
    const int length = std::snprintf(nullptr, 0, format, arguments...);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, arguments...);
    return text;
}

} // namespace

RAVengine::RAVengine() : RAVengine(platform::sharedLibraryFileName(kLibraryName)) {}

RAVengine::RAVengine(const std::string& libraryFile)
    : library_(std::make_unique<platform::DynamicLibrary>(libraryFile)) {
    if (!library_->loaded()) return;
    loaded_ = true;
    resolveAll();
}

RAVengine::~RAVengine() {
    loaded_ = false;
}

void RAVengine::resolveAll() {
#define RAV_RESOLVE_ENTRY_POINT(name)                                                              \
    api_.name = reinterpret_cast<decltype(&::name)>(library_->resolve(#name));                     \
    if (api_.name == nullptr) missing_.emplace_back(#name);
    RAV_ENGINE_ENTRY_POINTS(RAV_RESOLVE_ENTRY_POINT)
#undef RAV_RESOLVE_ENTRY_POINT
}

std::string RAVengine::versionNumber(int bufferSize) const {
    if (!loaded_ || api_.VTx_GetVersion == nullptr || bufferSize < 1) return {};
    std::string buffer(static_cast<std::size_t>(bufferSize), '\0');
    if (api_.VTx_GetVersion(buffer.data(), bufferSize) != 0) return {};
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string RAVengine::versionText(int bufferSize) const {
    const std::string number = versionNumber(bufferSize);
    if (number.empty()) return {};
    return std::string(kLibraryName) + ".dll version " + number;
}

std::string engineErrorText(const RAVengine& engine, int32_t code, const char* label,
                            const char* sourceFile, int line) {
    std::string text;
    if (label == nullptr) {
        text = formatted("ERROR (not from Vetra) at line %d of \n %s", line, sourceFile);
    } else {
        char message[100] = "";
        char function[50] = "";
        const auto describe = engine.api().VTerr_GetEngineErrorMessage;
        const int32_t status =
            describe != nullptr ? describe(code, message, sizeof message, function, sizeof function)
                                : -1;
        if (status != 0) {
            text = formatted("ERROR getting Vetra results in ShowError(), line %d of %s.\nCall "
                             "to ShowError() came from %d of %s.",
                             __LINE__, "Ravengine", line, sourceFile);
        } else {
            text = formatted("ERROR %d from API call %s, engine function %s \n at line %d of "
                             "%s \n %s",
                             code, label, function, line, sourceFile, message);
        }
    }
    if (text.size() > kShownTextLimit) text.resize(kShownTextLimit);
    return text;
}

void ShowError(const RAVengine& engine, platform::MessageBoxes& messages, int32_t code,
               const char* label, const char* sourceFile, int line) {
    messages.show(engineErrorText(engine, code, label, sourceFile, line), "Internal Engine Error");
}

} // namespace vetra::desktop
