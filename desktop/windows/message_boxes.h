// Message boxes shown as Qt dialogs: the caption is the dialog's window title.
#pragma once

#include "platform/message_boxes.h"

class QWidget;

namespace vetra::desktop::qt {

class QtMessageBoxes : public platform::MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the dialogs are centred on; the main window sets itself once it exists.
    void setParent(QWidget* parent) { parent_ = parent; }

    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons) override;

private:
    QWidget* parent_;
};

} // namespace vetra::desktop::qt
