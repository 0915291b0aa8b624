#include "desktop/qt/shell_open.h"

#include "platform/file_services.h"

#include <QDesktopServices>
#include <QUrl>

namespace vetra::desktop::qt {

int DesktopShellOpen::open(const std::string& documentPath) {
    if (!platform::fileExists(documentPath)) return platform::kShellFileNotFound;
    const QUrl document = QUrl::fromLocalFile(QString::fromStdString(documentPath));
    return QDesktopServices::openUrl(document) ? platform::kShellOpened
                                               : platform::kShellNoAssociation;
}

} // namespace vetra::desktop::qt
