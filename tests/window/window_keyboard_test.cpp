// The keyboard: Tab goes round what the window shows.
#include "WindowRig.h"

#include <QApplication>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <set>

namespace zr::window::qt {
namespace {

using testing::WindowRig;

// At each size Tab from the first control visits only controls shown inside the window and
// comes back to it; Shift+Tab goes back.
TEST(StationWindowKeys, TabGoesRoundTheControlsShown) {
    const std::pair<int, int> sizes[] = {
        {19200, 11200}, {9570, 8000}, {12800, 8777}, {12800, 10810}};
    WindowRig rig;
    QWidget* first = rig.widget("cboCOM");
    for (const auto& [width, height] : sizes) {
        rig.station.size1 = width;
        rig.station.size2 = height;
        rig.front.syncFromStation();
        first->setFocus(Qt::OtherFocusReason);
        std::set<QString> visited;
        for (std::size_t step = 0; step < windowLayout().size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            if (focused == first) {
                break;
            }
            EXPECT_TRUE(rig.front.showsControl(focused->objectName().toStdString()))
                << focused->objectName().toStdString() << " at " << width << "x" << height;
            visited.insert(focused->objectName());
        }
        EXPECT_EQ(QApplication::focusWidget(), first) << width << "x" << height;
        EXPECT_TRUE(visited.count("CmdExit") == 1) << width << "x" << height;
        EXPECT_EQ(visited.count("txtAKey(0)"), height > 10000 ? 1U : 0U) << width << "x" << height;
        // Shift+Tab walks the same round backwards.
        QTest::keyClick(first, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), first) << width << "x" << height;
    }
}

} // namespace
} // namespace zr::window::qt
