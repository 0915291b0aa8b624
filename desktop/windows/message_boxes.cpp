#include "desktop/windows/message_boxes.h"

#include <QMessageBox>

namespace vetra::desktop::qt {

namespace {

QMessageBox::StandardButtons standardButtons(platform::MessageButtons buttons) {
    switch (buttons) {
    case platform::MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case platform::MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case platform::MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// A box closed without a button gives its negative answer.
platform::MessageAnswer answerOf(int button, platform::MessageButtons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return platform::MessageAnswer::Ok;
    case QMessageBox::Yes:
        return platform::MessageAnswer::Yes;
    case QMessageBox::No:
        return platform::MessageAnswer::No;
    case QMessageBox::Cancel:
        return platform::MessageAnswer::Cancel;
    default:
        break;
    }
    switch (buttons) {
    case platform::MessageButtons::YesNo:
        return platform::MessageAnswer::No;
    case platform::MessageButtons::OkCancel:
        return platform::MessageAnswer::Cancel;
    case platform::MessageButtons::Ok:
        break;
    }
    return platform::MessageAnswer::Ok;
}

} // namespace

platform::MessageAnswer QtMessageBoxes::show(const std::string& text, const std::string& caption,
                                             platform::MessageButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), standardButtons(buttons), parent_);
    return answerOf(box.exec(), buttons);
}

} // namespace vetra::desktop::qt
