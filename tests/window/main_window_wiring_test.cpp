// Each control event of the window reaches the procedure it is named after: a click sends
// that procedure's command (its name in currentCommand, its frame on the link), a key press
// goes through the field's filter, leaving a field runs its check.
#include "support/Hex.h"
#include "support/VirtualPlatform.h"
#include "window/MainWindow.h"

#include <gtest/gtest.h>

namespace zr::window {
namespace {

using zr::testing::hex;

struct WiredWindow {
    testing::VirtualPlatform world;
    MainWindow window{world.services};

    std::string commandAtFirstFrame;

    WiredWindow() {
        window.site.loginKey = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
        window.connType = "COM";
        world.serial.open(1);
        world.serial.onWrite = [this](int, const std::vector<std::uint8_t>&) {
            if (commandAtFirstFrame.empty()) {
                commandAtFirstFrame = window.currentCommand;
            }
        };
    }
    std::string firstFrame() const {
        return world.serial.written.empty() ? "" : hex(world.serial.written.front().bytes);
    }
};

TEST(MainWindowWiring, EveryCommandButtonSendsItsOwnCommand) {
    const std::string ff = "FF FF FF FF FF FF";
    const std::string site = "A0 A1 A2 A3 A4 A5";
    struct Case {
        station::Button MainWindow::*button;
        const char* command;
        std::string frame;
    };
    const Case cases[] = {
        {&MainWindow::cmdReadUID, "ReadUID", "01 00"},
        {&MainWindow::cmdV1_AssignAKey, "V1_Assign_A_Key", "02 03 00"},
        {&MainWindow::cmd_V1_ModifyKey, "V1_Modify_A_Key", "02 02 01"},
        {&MainWindow::cmd_V1_LoadNewKey, "V1_LoadNewAKey", "02 03 01"},
        {&MainWindow::cmd_V1_ReadCardCode, "V1_ReadCardCode", "01 04"},
        {&MainWindow::cmd_V1_WriteCardCode, "V1_WriteCardCode", "06 09 00 02 00 01 00"},
        {&MainWindow::cmd_V3_AssignAKey, "V2_Assign_A_Key", "08 07 20 " + site},
        {&MainWindow::cmd_V3_AssignAKey_P1, "V2_Assign_A_Key", "08 07 20 " + ff},
        {&MainWindow::cmd_V3_ModifyAKey, "V2_Modify_A_Key", "08 08 20 " + ff},
        {&MainWindow::cmd_V3_WriteCardCode, "V2_WriteCardCode", "06 09 00 02 00 01 00"},
        {&MainWindow::cmd_V2_ReadCardCode, "V2_ReadCardCode", "01 0A"},
        {&MainWindow::Command2, "V2_Assign_A_Key", "08 07 20 " + site},
        {&MainWindow::Command3, "V2_Modify_A_Key", "08 08 20 " + ff},
        {&MainWindow::Command4, "V2_WriteCardCode", "06 09 00 02 00 01 00"},
    };
    for (const Case& c : cases) {
        WiredWindow wired;
        (wired.window.*c.button).click();
        SCOPED_TRACE((wired.window.*c.button).name());
        EXPECT_EQ(wired.commandAtFirstFrame, c.command);
        EXPECT_EQ(wired.firstFrame(), c.frame);
    }
}

TEST(MainWindowWiring, FieldEventsRunTheirProcedures) {
    WiredWindow wired;
    MainWindow& w = wired.window;
    w.txtGroupCode.setText("");
    w.txtGroupCode.typeKey('a');
    w.txtGroupCode.typeKey('7');
    EXPECT_EQ(w.txtGroupCode.text(), "7");
    w.txtGroupCode.lostFocus();
    EXPECT_EQ(w.txtGroupCode.text(), "00007");

    w.txtCardCode.setText("00009");
    w.cmdAdd.click();
    EXPECT_EQ(w.txtCardCode.text(), "00010");
    w.cmdDec.click();
    w.cmdDec.click();
    EXPECT_EQ(w.txtCardCode.text(), "00008");

    w.txtNewAKey[4].setText("");
    w.txtNewAKey[4].typeKey('g');
    w.txtNewAKey[4].typeKey('b');
    EXPECT_EQ(w.txtNewAKey[4].text(), "b");
    w.txtNewAKey[4].lostFocus();
    EXPECT_EQ(w.txtNewAKey[4].text(), "B");

    w.txtAKey[0].setText("12");
    w.txtNewAKey[0].setText("34");
    w.cmdSwitch.click();
    EXPECT_EQ(w.txtAKey[0].text(), "34");
    EXPECT_EQ(w.txtNewAKey[0].text(), "12");
}

} // namespace
} // namespace zr::window
