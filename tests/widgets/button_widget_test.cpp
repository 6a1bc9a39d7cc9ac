// The widget on the offscreen platform: Qt's key, mouse and focus events reach the model.
#include "QtTestApp.h"
#include "widgets/qt/ZephraButton.h"

#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

struct ButtonWidget : ::testing::Test {
    void SetUp() override {
        window.resize(300, 200);
        button = new ZephraButton("sbConnect", &window);
        button->setGeometry(20, 20, 100, 30);
        QObject::connect(button, &QAbstractButton::clicked, [this] { ++clicks; });
        button->setMessageHandler([this](const std::string& text, const std::string&, MessageIcon) {
            messages.push_back(text);
        });
        window.show();
    }

    void key(QEvent::Type type, int qtKey, const QString& text = {}) {
        QKeyEvent event(type, qtKey, Qt::NoModifier, text);
        QCoreApplication::sendEvent(button, &event);
    }
    void mouse(QEvent::Type type, QPointF at = {10, 10}) {
        QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(button, &event);
    }
    void runFor(int ms) {
        QEventLoop wait;
        QTimer::singleShot(ms, &wait, &QEventLoop::quit);
        wait.exec();
    }

    // Constructed before the window, which needs it.
    QApplication& app = test::application();
    QWidget window;
    ZephraButton* button = nullptr;
    int clicks = 0;
    std::vector<std::string> messages;
};

TEST_F(ButtonWidget, SpacePressesWithoutClickingAndEnterClicks) {
    key(QEvent::KeyPress, Qt::Key_Space, " ");
    EXPECT_TRUE(button->model().IsPressed());
    key(QEvent::KeyRelease, Qt::Key_Space, " ");
    EXPECT_FALSE(button->model().IsPressed());
    EXPECT_EQ(clicks, 0);
    key(QEvent::KeyPress, Qt::Key_Return, "\r");
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonWidget, LeftClickInsideClicksAndDisabledRaisesNothing) {
    mouse(QEvent::MouseButtonPress);
    EXPECT_TRUE(button->model().IsPressed());
    mouse(QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 1);
    mouse(QEvent::MouseButtonPress);
    mouse(QEvent::MouseButtonRelease, {150, 10}); // released outside
    EXPECT_EQ(clicks, 1);

    button->model().SetEnabled(false);
    mouse(QEvent::MouseButtonPress);
    mouse(QEvent::MouseButtonRelease);
    key(QEvent::KeyPress, Qt::Key_Return, "\r");
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->model().IsPressed());
}

TEST_F(ButtonWidget, FocusAndRefusedIconGoThroughTheHost) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(button, &in);
    EXPECT_TRUE(button->model().HasFocus());
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(button, &out);
    EXPECT_FALSE(button->model().HasFocus());
    button->model().SetIconSource("a.bmp");
    button->model().SetIcon(true);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].substr(0, 17), "Incorrect Source!");
    EXPECT_FALSE(button->model().Icon());
}

TEST_F(ButtonWidget, TextPaletteFontAndEnabledOfTheQtButtonReachTheModel) {
    button->setText("COM");
    button->grab(); // paints
    EXPECT_EQ(button->model().Caption(), "COM");
    button->model().SetCaption("TCPIP");
    EXPECT_EQ(button->text(), "TCPIP");

    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, QColor(0, 192, 0));
    button->setPalette(palette);
    EXPECT_EQ(button->model().ForeColor(), 0x00C000U);
    button->setFont(QFont("DejaVu Sans", 11));
    EXPECT_EQ(button->model().Font().size, 11.0);

    button->setEnabled(false);
    EXPECT_FALSE(button->model().Enabled());
    button->setEnabled(true);
    EXPECT_TRUE(button->model().Enabled());
    // An ampersand is drawn, not taken as an access key.
    button->setText("R&W");
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_W, Qt::AltModifier, "w");
    QCoreApplication::sendEvent(&window, &alt);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ButtonWidget, HoverPollFollowsTheCursor) {
    QCursor::setPos(button->mapToGlobal(QPoint(50, 15)));
    runFor(120);
    if (QCursor::pos() != button->mapToGlobal(QPoint(50, 15))) {
        GTEST_SKIP() << "this platform does not move the cursor";
    }
    EXPECT_TRUE(button->model().IsHovering());
    QCursor::setPos(window.mapToGlobal(QPoint(250, 150)));
    runFor(120);
    EXPECT_FALSE(button->model().IsHovering());
}

} // namespace
} // namespace zr::widgets
