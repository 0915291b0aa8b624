#include "desktop/workflow/metafile_session.h"

#include "platform/file_services.h"

namespace vetra::desktop {

std::string metafileMissingText(const std::string& metafilePath) {
    return metafilePath +
           "\n\nNo metafile is at this path: it may have been moved, renamed or deleted.  Choose "
           "one with \"Select Metafile\" on the \"Metafile Selections\" tab, or a configuration "
           "that names one.";
}

namespace {

// The engine variable that lists the folders edit logic may load external libraries from.
constexpr const char* kExternalLibraryFoldersVariable = "_EXTERNALDLL_FOLDERS";

} // namespace

bool MetafileSession::open(const std::string& metafilePath) {
    close();
    if (metafilePath.empty()) return false;
    if (!platform::fileExists(metafilePath)) {
        messages_.show(metafileMissingText(metafilePath), "The Metafile Requested Was Not Found");
        return false;
    }
    char version[32] = "";
    std::int32_t id = -1;
    const std::int32_t status =
        engine_.api().VTx_Init(&id, metafilePath.c_str(), version, 0, nullptr);
    if (status != 0) {
        ShowError(engine_, messages_, status, "VTx_Init", "Unit1", __LINE__);
        return false;
    }
    mfID_ = id;
    if (externalLibraryFolders_.empty()) return true;
    const std::int32_t folders = engine_.api().VTx_SetVar(id, kExternalLibraryFoldersVariable,
                                                          externalLibraryFolders_.c_str());
    if (folders != 0) {
        ShowError(engine_, messages_, folders, "VTx_SetVar", "Unit1", __LINE__);
        close();
        return false;
    }
    return true;
}

void MetafileSession::close() {
    if (mfID_ == -1) return;
    const std::int32_t status = engine_.api().VTx_Exit(mfID_);
    if (status != 0) ShowError(engine_, messages_, status, "VTx_Exit", "Unit1", __LINE__);
    mfID_ = -1;
}

} // namespace vetra::desktop
