// The program's help, HTML pages shown by the desktop's web browser. Tests replace the viewer.
#pragma once

#include <string>

namespace vetra::desktop::qt {

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the page at `htmlPath`; false when nothing could show it.
    virtual bool show(const std::string& htmlPath) = 0;
};

class BrowserHelpViewer : public HelpViewer {
public:
    bool show(const std::string& htmlPath) override;
};

} // namespace vetra::desktop::qt
