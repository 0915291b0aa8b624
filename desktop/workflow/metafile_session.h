// One user operation's hold on the metafile: opened through the engine when the operation
// starts and closed when it ends, so no metafile stays open between operations. The folders
// edit logic may load external libraries from go to the engine right after each opening; with
// none given the engine is told nothing, and then allows no folder.
#pragma once

#include "desktop/run/engine_binding.h"

#include <cstdint>
#include <string>
#include <utility>

namespace vetra::desktop {

// The text under the caption "The Metafile Requested Was Not Found": the path and what to do.
std::string metafileMissingText(const std::string& metafilePath);

class MetafileSession {
public:
    // `externalLibraryFolders` are absolute and separated by ':'; empty allows none.
    MetafileSession(const RAVengine& engine, platform::MessageBoxes& messages,
                    std::string externalLibraryFolders)
        : engine_(engine), messages_(messages),
          externalLibraryFolders_(std::move(externalLibraryFolders)) {}
    ~MetafileSession() { close(); }
    MetafileSession(const MetafileSession&) = delete;
    MetafileSession& operator=(const MetafileSession&) = delete;

    // Does nothing for an empty path; tells the user about a missing file; reports a failed
    // open, or external library folders the engine did not take, through ShowError. True when
    // the metafile is open.
    bool open(const std::string& metafilePath);
    void close();
    bool isOpen() const { return mfID_ != -1; }
    std::int32_t mfID() const { return mfID_; }

private:
    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    std::string externalLibraryFolders_;
    std::int32_t mfID_ = -1;
};

} // namespace vetra::desktop
