// "&Print..." of the main window: the platform's print dialog, then what the current tab shows,
// drawn on one sheet. Reports are printed from the report viewer, page by page.
#pragma once

class QPrinter;
class QWidget;

namespace vetra::desktop::qt {

class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    // Prints `content` as it is drawn on screen after the user confirms the print dialog;
    // false when the dialog was cancelled or the printer could not be started.
    virtual bool print(QWidget& content) = 0;
};

class QtPrintDialog : public PrintDialog {
public:
    explicit QtPrintDialog(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    bool print(QWidget& content) override;

private:
    QWidget* parent_;
};

// Draws `content` on the printer's page, scaled down to fit it whole and never scaled up.
bool printWidget(QWidget& content, QPrinter& printer);

} // namespace vetra::desktop::qt
