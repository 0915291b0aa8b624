// Documents opened by the desktop's program for their kind, as its file manager would open them.
// Handing a document over succeeds as far as the desktop knows even when no program is set for
// its kind (xdg-open then fails later, where nobody sees it), so the program set for the kind is
// asked first and a kind without one is reported as such.
#pragma once

#include "platform/shell_open.h"

#include <functional>
#include <optional>
#include <string>

namespace vetra::desktop::qt {

// The desktop entry set to open files of `mimeType`, as `xdg-mime query default` tells it: empty
// when none is set, nothing when the desktop cannot be asked (no xdg-mime installed).
std::optional<std::string> xdgDefaultApplication(const std::string& mimeType);

class DesktopShellOpen : public platform::ShellOpen {
public:
    using DefaultApplication = std::function<std::optional<std::string>(const std::string&)>;

    explicit DesktopShellOpen(DefaultApplication defaultApplication = xdgDefaultApplication)
        : defaultApplication_(std::move(defaultApplication)) {}
    int open(const std::string& documentPath) override;

private:
    DefaultApplication defaultApplication_;
};

} // namespace vetra::desktop::qt
