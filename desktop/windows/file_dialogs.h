// The file open and save dialogs. Filters are written as "Name|*.ext|Name|*.a;*.b", pairs of a
// description and its patterns; the Qt dialogs get them converted. Tests replace the dialogs.
#pragma once

#include <string>

class QWidget;

namespace vetra::desktop::qt {

struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string folder;           // where the dialog starts
    std::string defaultExtension; // without the dot; added when the user types none
    std::string fileName;         // proposed name, for saving
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file's full path, empty when the dialog was cancelled.
    virtual std::string openFile(const FileDialogRequest& request) = 0;
    virtual std::string saveFile(const FileDialogRequest& request) = 0;
};

// "Name|*.a;*.b|All|*.*" as Qt writes it: "Name (*.a *.b);;All (*)".
std::string qtFilterOf(const std::string& filter);

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    std::string openFile(const FileDialogRequest& request) override;
    std::string saveFile(const FileDialogRequest& request) override;

private:
    std::string run(const FileDialogRequest& request, bool saving);

    QWidget* parent_;
};

} // namespace vetra::desktop::qt
