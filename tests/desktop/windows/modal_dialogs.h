// Modal dialogs in window tests: a dialog shown with exec() runs its own event loop, so what a
// user would do in it is scheduled beforehand and runs once the dialog is the active modal
// window. What was scheduled but never ran ends with the script, so it cannot act on a later
// test's dialog.
#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vetra::testing {

class ModalDialogScript {
public:
    template <typename Dialog> void whenShown(std::function<void(Dialog&)> act) {
        auto* timer = new QTimer(&owner_);
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) return;
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        });
        timer->start();
    }

private:
    QObject owner_;
};

} // namespace vetra::testing
