#include "desktop/windows/help_viewer.h"

#include "platform/file_services.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vetra::desktop::qt {

HelpWindow::HelpWindow(std::string contentsPath, QWidget* parent)
    : contentsPath_(std::move(contentsPath)), parent_(parent) {}

HelpWindow::~HelpWindow() = default;

// The window stays open beside the main window (not modal), so the user can read while working.
void HelpWindow::create() {
    window_ = std::make_unique<QDialog>(parent_);
    window_->setObjectName("helpWindow");
    window_->setWindowTitle("Ravelo Help");
    window_->setModal(false);
    browser_ = new QTextBrowser(window_.get());
    browser_->setObjectName("helpBrowser");
    browser_->setOpenExternalLinks(true);

    auto* back = new QPushButton("Back", window_.get());
    back->setObjectName("helpBack");
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    auto* forward = new QPushButton("Forward", window_.get());
    forward->setObjectName("helpForward");
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    auto* contents = new QPushButton("Contents", window_.get());
    contents->setObjectName("helpContents");
    auto* close = new QPushButton("Close", window_.get());
    close->setObjectName("helpClose");
    QObject::connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    QObject::connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    QObject::connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    QObject::connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    QObject::connect(contents, &QPushButton::clicked, browser_, [this] {
        browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(contentsPath_)));
    });
    QObject::connect(close, &QPushButton::clicked, window_.get(), &QDialog::close);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {back, forward, contents})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(window_.get());
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    window_->resize(760, 620);
}

bool HelpWindow::show(const std::string& htmlPath) {
    if (!platform::fileExists(htmlPath)) return false;
    if (!window_) create();
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(htmlPath)));
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

} // namespace vetra::desktop::qt
