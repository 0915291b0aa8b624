#include "desktop/windows/shell_open.h"

#include "platform/file_services.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vetra::desktop::qt {

namespace {

// xdg-mime answers at once; a desktop that hangs must not hang the program with it.
constexpr int kQueryMilliseconds = 5000;

} // namespace

std::optional<std::string> xdgDefaultApplication(const std::string& mimeType) {
    const QString program = QStandardPaths::findExecutable("xdg-mime");
    if (program.isEmpty()) return std::nullopt;
    QProcess query;
    query.start(program, {"query", "default", QString::fromStdString(mimeType)});
    if (!query.waitForFinished(kQueryMilliseconds)) {
        query.kill();
        query.waitForFinished();
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit) return std::nullopt;
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed().toStdString();
}

int DesktopShellOpen::open(const std::string& documentPath) {
    if (!platform::fileExists(documentPath)) return platform::kShellFileNotFound;
    const QString path = QString::fromStdString(documentPath);
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    if (const auto application = defaultApplication_(mimeType.toStdString());
        application && application->empty())
        return platform::kShellNoAssociation;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? platform::kShellOpened
                                                                : platform::kShellNoAssociation;
}

} // namespace vetra::desktop::qt
