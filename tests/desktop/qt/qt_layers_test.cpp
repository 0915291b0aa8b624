// The Qt layers as the program uses them: the message box shows its caption and text and
// answers with the button the user presses.
#include "desktop/qt/message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace vetra::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;

struct SeenBox {
    QString title;
    QString text;
    int buttons = 0;
};

// Presses `button` in the message box as soon as it is shown, noting what the box showed.
void pressWhenShown(QMessageBox::StandardButton button, SeenBox& seen) {
    QTimer::singleShot(0, [button, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        seen = {box->windowTitle(), box->text(), static_cast<int>(box->standardButtons())};
        box->button(button)->click();
    });
}

TEST(QtMessageBoxesTest, ShowsCaptionAndTextAndGivesTheAnswer) {
    desktop::qt::QtMessageBoxes boxes;
    SeenBox seen;
    pressWhenShown(QMessageBox::No, seen);
    EXPECT_EQ(boxes.show("Is that\nwhat you want?", "Resetting Options", MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(seen.title, "Resetting Options");
    EXPECT_EQ(seen.text, "Is that\nwhat you want?");
    EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));

    pressWhenShown(QMessageBox::Yes, seen);
    EXPECT_EQ(boxes.show("?", "", MessageButtons::YesNo), MessageAnswer::Yes);
    pressWhenShown(QMessageBox::Cancel, seen);
    EXPECT_EQ(boxes.show("?", "", MessageButtons::OkCancel), MessageAnswer::Cancel);
    pressWhenShown(QMessageBox::Ok, seen);
    EXPECT_EQ(boxes.show("Datafile does not exist.", "Problem With Data File", MessageButtons::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Ok));
}

} // namespace
} // namespace vetra::testing
