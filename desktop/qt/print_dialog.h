// The platform's print dialog. "&Print..." only shows it: the main window has nothing to
// print; reports are printed from the report viewer.
#pragma once

class QWidget;

namespace vetra::desktop::qt {

class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    virtual void show() = 0;
};

class QtPrintDialog : public PrintDialog {
public:
    explicit QtPrintDialog(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void show() override;

private:
    QWidget* parent_;
};

} // namespace vetra::desktop::qt
