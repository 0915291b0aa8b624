#include "desktop/qt/help_viewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace vetra::desktop::qt {

bool BrowserHelpViewer::show(const std::string& htmlPath) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(htmlPath)));
}

} // namespace vetra::desktop::qt
