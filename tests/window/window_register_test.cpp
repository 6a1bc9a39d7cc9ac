// The card register's panel in the window: the off notice in both languages.
#include "WindowRig.h"
#include "platform/sql/QtDatabase.h"
#include "register/RegisterSettings.h"
#include "register/RegisterSink.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::window::qt {
namespace {

using testing::WindowRig;

TEST(RegisterPanel, SaysTheRegisterIsOffInBothLanguages) {
    WindowRig rig;
    const reg::RegisterPanel off;
    rig.front.setRegisterPanel(&off);
    const RegisterPanelView& view = rig.front.registerPanel();
    rig.station.chkLanguage.setValue(0);
    rig.front.syncFromStation();
    EXPECT_EQ(view.heading()->text(), "卡片登錄未開啟");
    EXPECT_TRUE(view.heading()->isVisible());
    EXPECT_FALSE(view.list()->isVisible());
    rig.station.chkLanguage.setValue(1);
    rig.front.syncFromStation();
    EXPECT_EQ(view.heading()->text(), "Card register is off");

    // A window with no register behind it shows no panel at all.
    rig.front.setRegisterPanel(nullptr);
    EXPECT_FALSE(view.heading()->isVisible());
}

} // namespace
} // namespace zr::window::qt
