// The desktop services of the windowed station: modal boxes and tones.
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace zr::platform {
namespace {

// Answers the modal box as soon as it is open and its own event loop runs.
template <typename Box, typename Answer> void answerNextBox(Answer answer) {
    auto* poll = new QTimer(QApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* box = qobject_cast<Box*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*box);
        }
    });
    poll->start(5);
}

TEST(QtDesktop, InputBoxGivesTheAnswerAndEmptyOnCancel) {
    QtDesktop desktop;
    answerNextBox<QInputDialog>([](QInputDialog& box) {
        EXPECT_EQ(box.labelText(), "Administrator Code");
        EXPECT_EQ(box.windowTitle(), "Admin");
        box.setTextValue("mavrolint");
        box.accept();
    });
    EXPECT_EQ(desktop.inputBox("Administrator Code", "Admin", ""), "mavrolint");

    answerNextBox<QInputDialog>([](QInputDialog& box) {
        box.setTextValue("typed, then cancelled");
        box.reject();
    });
    EXPECT_EQ(desktop.inputBox("Administrator Code", "Admin", ""), "");
}

TEST(QtDesktop, MessageBoxShowsBothLinesAndReturnsOnOk) {
    QtDesktop desktop;
    QString shown;
    answerNextBox<QMessageBox>([&shown](QMessageBox& box) {
        shown = box.text();
        box.button(QMessageBox::Ok)->click();
    });
    desktop.messageBox("卡號錯誤\r\nWrong number", "ZR");
    EXPECT_EQ(shown, "卡號錯誤\nWrong number");
    EXPECT_GT(desktop.screenWidthTwips(), 0);
}

TEST(QtDesktop, YesNoBoxIsYesOnlyOnYes) {
    QtDesktop desktop;
    const struct {
        QMessageBox::StandardButton press;
        bool yes;
    } cases[] = {{QMessageBox::Yes, true}, {QMessageBox::No, false}};
    for (const auto& c : cases) {
        answerNextBox<QMessageBox>([&c](QMessageBox& box) {
            EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()),
                      box.button(QMessageBox::No));
            box.button(c.press)->click();
        });
        EXPECT_EQ(desktop.askYesNo("卡號已登錄\r\nAlready registered", "ZR"), c.yes);
    }
    answerNextBox<QMessageBox>([](QMessageBox& box) { box.reject(); });
    EXPECT_FALSE(desktop.askYesNo("Closed without an answer", "ZR"));
}

// With or without an audio device, a tone lasts its length.
TEST(QtToneGenerator, ToneTakesItsLength) {
    QtToneGenerator tone;
    QElapsedTimer clock;
    clock.start();
    tone.beep(2000, 120);
    EXPECT_GE(clock.elapsed(), 120);
}

} // namespace
} // namespace zr::platform
