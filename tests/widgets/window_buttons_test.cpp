// The main window's button factory makes skinned buttons in the window's three themes.
#include "QtTestApp.h"
#include "widgets/qt/ZephraButton.h"
#include "window/qt/ButtonFactory.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

TEST(WindowButtons, FactoryMakesSkinnedButtonsInThemesThreeFourAndSeven) {
    test::application();
    QWidget window;
    struct Case {
        const char* name;
        int theme;
    };
    for (const Case& c :
         {Case{"sbBlock", 4}, Case{"sbAKey", 4}, Case{"ZephraButton1", 4}, Case{"sbCOM", 7},
          Case{"sbConnect", 7}, Case{"cmdReadUID", 3}, Case{"CmdExit", 3}}) {
        station::Button control{c.name};
        control.caption = "Read";
        control.foreColor = 0x00C000;
        int clicks = 0;
        auto view = window::qt::makeButton(control, &window, [&clicks] { ++clicks; });
        auto* button = dynamic_cast<ZephraButton*>(view->widget());
        ASSERT_NE(button, nullptr) << c.name;
        EXPECT_EQ(button->model().Theme(), c.theme) << c.name;
        view->show(control);
        EXPECT_EQ(button->model().Caption(), "Read");
        EXPECT_EQ(button->model().ForeColor(), 0x00C000U);
        button->resize(100, 30);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(button, &event);
        }
        EXPECT_EQ(clicks, 1) << c.name;
    }
    station::Button swap{"cmdSwitch"};
    auto view = window::qt::makeButton(swap, &window, [] {});
    const auto& model = dynamic_cast<ZephraButton*>(view->widget())->model();
    EXPECT_TRUE(model.Icon());
    EXPECT_EQ(model.Theme(), 3);
}

} // namespace
} // namespace zr::widgets
