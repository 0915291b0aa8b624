// The Qt layers as the program uses them: the message box shows its caption and text and
// answers with the button the user presses; the help window shows the installed pages and
// follows their links, with Back and Contents, without a web browser.
#include "desktop/windows/help_viewer.h"
#include "desktop/windows/message_boxes.h"
#include "tests/support/scratch_directory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
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

TEST(HelpWindowTest, ShowsThePagesAndFollowsTheirLinks) {
    ScratchDirectory help;
    const std::string contents =
        help.write("index.html", "<h1>Contents</h1><a href=\"batch.html\">Batch</a>").string();
    const std::string batch = help.write("batch.html", "<h1>Batch runs</h1>").string();
    desktop::qt::HelpWindow window(contents);
    EXPECT_FALSE(window.show((help.path() / "none.html").string()));
    EXPECT_EQ(window.window(), nullptr);

    ASSERT_TRUE(window.show(batch));
    ASSERT_NE(window.window(), nullptr);
    EXPECT_TRUE(window.window()->isVisible());
    EXPECT_TRUE(window.browser()->toPlainText().contains("Batch runs"));
    window.window()->findChild<QPushButton*>("helpContents")->click();
    EXPECT_TRUE(window.browser()->toPlainText().contains("Contents"));
    auto* back = window.window()->findChild<QPushButton*>("helpBack");
    EXPECT_TRUE(back->isEnabled());
    window.browser()->setSource(QUrl("batch.html")); // a link, relative to the page shown
    EXPECT_TRUE(window.browser()->toPlainText().contains("Batch runs"));
    back->click();
    EXPECT_TRUE(window.browser()->toPlainText().contains("Contents"));
    window.window()->close();
}

} // namespace
} // namespace vetra::testing
