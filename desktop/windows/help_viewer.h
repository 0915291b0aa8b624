// The program's help: HTML pages shown in a help window of the program's own, with their links,
// Back, Forward and Contents, so help works on a desktop without a web browser. Tests replace
// the viewer.
#pragma once

#include <memory>
#include <string>

class QWidget;
class QDialog;
class QTextBrowser;

namespace vetra::desktop::qt {

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the page at `htmlPath`; false when there is no such page.
    virtual bool show(const std::string& htmlPath) = 0;
};

class HelpWindow : public HelpViewer {
public:
    // `contentsPath` is the page "Contents" goes back to.
    explicit HelpWindow(std::string contentsPath, QWidget* parent = nullptr);
    ~HelpWindow() override;
    void setParent(QWidget* parent) { parent_ = parent; }
    bool show(const std::string& htmlPath) override;
    // The window, once a page has been shown; nothing before.
    QDialog* window() const { return window_.get(); }
    QTextBrowser* browser() const { return browser_; }

private:
    void create();

    std::string contentsPath_;
    QWidget* parent_;
    std::unique_ptr<QDialog> window_;
    QTextBrowser* browser_ = nullptr;
};

} // namespace vetra::desktop::qt
