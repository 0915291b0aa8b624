// Documents opened by the desktop's program for their kind, as its file manager would open them.
#pragma once

#include "platform/shell_open.h"

namespace vetra::desktop::qt {

class DesktopShellOpen : public platform::ShellOpen {
public:
    int open(const std::string& documentPath) override;
};

} // namespace vetra::desktop::qt
