// One user operation's hold on the metafile: opened through the engine when the operation
// starts and closed when it ends, so no metafile stays open between operations.
#pragma once

#include "desktop/run/Ravengine.h"

#include <cstdint>
#include <string>

namespace vetra::desktop {

class MetafileSession {
public:
    MetafileSession(const RAVengine& engine, platform::MessageBoxes& messages)
        : engine_(engine), messages_(messages) {}
    ~MetafileSession() { close(); }
    MetafileSession(const MetafileSession&) = delete;
    MetafileSession& operator=(const MetafileSession&) = delete;

    // Does nothing for an empty path; tells the user about a missing file; reports a failed
    // open through ShowError. True when the metafile is open.
    bool open(const std::string& metafilePath);
    void close();
    bool isOpen() const { return mfID_ != -1; }
    std::int32_t mfID() const { return mfID_; }

private:
    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    std::int32_t mfID_ = -1;
};

} // namespace vetra::desktop
