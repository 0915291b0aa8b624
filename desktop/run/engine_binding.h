// RAVengine, the desktop program's binding of the engine library: the library loaded by file name,
// its entry points resolved by name into one table through which every engine call goes, and
// ShowError, the one report of a failed engine call.
#pragma once

#include "desktop/run/engine_entry_points.h"
#include "platform/dynamic_library.h"
#include "platform/message_boxes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vetra::desktop {

class RAVengine {
public:
    // Loads the library by its file name through the platform's standard search (the
    // programs find it beside themselves through their run path).
    RAVengine();
    // Loads the library from an explicit path; used by hosts that keep it elsewhere.
    explicit RAVengine(const std::string& libraryFile);
    ~RAVengine();
    RAVengine(const RAVengine&) = delete;
    RAVengine& operator=(const RAVengine&) = delete;

    static constexpr const char* kLibraryName = "VETRA40";

    bool loaded() const { return loaded_; }
    const EngineEntryPoints& api() const { return api_; }
    // The entry points the library does not export, in resolution order.
    const std::vector<std::string>& missingEntryPoints() const { return missing_; }
    const std::string& loadError() const { return library_->error(); }

    // "VETRA40.dll version " and the text of VTx_GetVersion, asked with a buffer of
    // `bufferSize` characters; empty when the engine refuses.
    std::string versionText(int bufferSize = 16) const;
    // The engine's own version number alone ("4.0.1.8"); empty when it cannot be read.
    std::string versionNumber(int bufferSize = 16) const;

private:
    void resolveAll();

    std::unique_ptr<platform::DynamicLibrary> library_;
    bool loaded_ = false;
    EngineEntryPoints api_;
    std::vector<std::string> missing_;
};

// Reports a failed engine call in a message box captioned "Internal Engine Error": the
// catalogue text of `code`, the call's `label`, and the caller's source file and line. With
// no label the failure is not the engine's and the engine is not asked.
void ShowError(const RAVengine& engine, platform::MessageBoxes& messages, int32_t code,
               const char* label, const char* sourceFile, int line);

// The text ShowError shows, cut to 510 characters.
std::string engineErrorText(const RAVengine& engine, int32_t code, const char* label,
                            const char* sourceFile, int line);

} // namespace vetra::desktop
