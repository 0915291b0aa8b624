// Exported frame calls: open, close, version, the open-file and id lists, the last engine
// error, the show-edit-name switch and the messages callback.
#include "engine/api/caller_buffer.h"
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>

using vetra::dispatch;
using vetra::engineProcess;

namespace {

constexpr std::string_view kVersion = "4.0.1.8";

// A failed construction carries its code as decimal text; a text that is not a positive
// number means the instance itself could not be set up.
int32_t openFailureResult(const char* text) {
    int32_t code = 0;
    std::string_view view(text);
    auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), code);
    if (error != std::errc() || end == view.data() || code <= 0) return -3;
    return code;
}

} // namespace

int32_t VTx_Init(int32_t* mfID, const char* path, char* version, intptr_t owner,
                 VT_EditsMessagesCallback callback) {
    if (mfID == nullptr) return -3;
    *mfID = -1;
    try {
        std::unique_ptr<TMetaFile> metafile;
        try {
            metafile = std::make_unique<TMetaFile>(path, version, callback, owner);
        } catch (const vetra::EngineFailure& failure) {
            return openFailureResult(failure.what());
        }
        // The id is chosen when the open instance is added, under the table's lock, so that
        // hosts opening metafiles on several threads at once receive distinct ids.
        *mfID = engineProcess().metafiles().add(
            std::move(metafile), [](TMetaFile& added, int32_t id) { added.VTi_SetmfID(id); });
        return 0;
    } catch (...) {
        return -3;
    }
}

int32_t VT_Init(const char* path, char* version) {
    if (engineProcess().metafiles().find(0) != nullptr) return 0;
    int32_t id = -1;
    return VTx_Init(&id, path, version, 0, nullptr);
}

int32_t VTx_Exit(int32_t mfID) {
    std::unique_ptr<TMetaFile> metafile = engineProcess().metafiles().take(mfID);
    if (!metafile) return 0;
    return metafile->close();
}

int32_t VT_Exit(void) {
    return VTx_Exit(0);
}

int32_t VTx_GetLastEngineError(int32_t mfID) {
    return dispatch(mfID, [](TMetaFile& mf) { return mf.lastEngineError(); });
}

int32_t VTx_GetOpenFileList(const char** names, int32_t n) {
    if (names == nullptr) return 0;
    auto& table = engineProcess().metafiles();
    auto& listed = engineProcess().listedFileNames();
    try {
        for (int32_t i = 0; i < n; ++i)
            names[i] = table.read(i, [&listed](const TMetaFile* metafile) {
                return metafile != nullptr ? listed.lasting(metafile->VTi_GetMetaFileName())
                                           : nullptr;
            });
    } catch (...) {
        return -3; // no memory left to keep a name
    }
    return 0;
}

int32_t VTx_GetmfIDList(int32_t* ids, int32_t n) {
    if (ids == nullptr) return 0;
    auto& table = engineProcess().metafiles();
    for (int32_t i = 0; i < n; ++i)
        ids[i] = table.read(i, [](const TMetaFile* metafile) {
            return metafile != nullptr ? metafile->VTi_GetmfID() : -1;
        });
    return 0;
}

int32_t VTx_GetVersion(char* buffer, int32_t length) {
    if (buffer == nullptr || length < static_cast<int32_t>(kVersion.size()) + 1) return 37;
    vetra::copyToCaller(buffer, length, kVersion);
    return 0;
}

int32_t VTx_GetShowEditName(int32_t mfID, char* value) {
    return dispatch(mfID, [value](TMetaFile& mf) {
        if (value != nullptr) *value = mf.showEditName();
        return 0;
    });
}

int32_t VTx_SetShowEditName(int32_t mfID, int32_t value) {
    return dispatch(mfID, [value](TMetaFile& mf) {
        mf.setShowEditName(value);
        return 0;
    });
}

int32_t VTx_SetEditsMessagesCallback(int32_t mfID, intptr_t owner,
                                     VT_EditsMessagesCallback callback) {
    return dispatch(mfID, [owner, callback](TMetaFile& mf) {
        mf.lastError().guard(52, "VTi_SetEditsMessagesCallback",
                             [&] { mf.VTi_SetEditsMessagesCallback(owner, callback); });
        return 0;
    });
}
