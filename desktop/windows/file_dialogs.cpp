#include "desktop/windows/file_dialogs.h"

#include <QFileDialog>
#include <vector>

namespace vetra::desktop::qt {

namespace {

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find(separator, begin)) != std::string::npos; begin = end + 1)
        parts.push_back(text.substr(begin, end - begin));
    parts.push_back(text.substr(begin));
    return parts;
}

// "*.*" means every file, also those without a dot in their name.
std::string qtPatterns(const std::string& patterns) {
    std::string result;
    for (const auto& pattern : splitAt(patterns, ';'))
        result += (result.empty() ? "" : " ") + (pattern == "*.*" ? std::string("*") : pattern);
    return result;
}

} // namespace

std::string qtFilterOf(const std::string& filter) {
    const auto parts = splitAt(filter, '|');
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        result += (result.empty() ? "" : ";;") + parts[i] + " (" + qtPatterns(parts[i + 1]) + ")";
    return result;
}

std::string QtFileDialogs::openFile(const FileDialogRequest& request) {
    return run(request, false);
}

std::string QtFileDialogs::saveFile(const FileDialogRequest& request) {
    return run(request, true);
}

std::string QtFileDialogs::run(const FileDialogRequest& request, bool saving) {
    QFileDialog dialog(parent_, QString::fromStdString(request.title),
                       QString::fromStdString(request.folder),
                       QString::fromStdString(qtFilterOf(request.filter)));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // Large enough that the file list's columns show whole names, sizes and dates.
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(900, 560)));
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace vetra::desktop::qt
