// The window shows the station's design values and indicators, and the window sizes the
// station sets show and hide the right areas.
#include "WindowRig.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <vector>

namespace zr::window::qt {
namespace {

using testing::WindowRig;

TEST(StationWindow, DesignValuesAndStartUpLooksShow) {
    WindowRig rig;
    EXPECT_EQ(rig.widget<QLineEdit>("txtAKey(3)")->text(), "FF");
    EXPECT_EQ(rig.widget<QLineEdit>("txtAKey(3)")->maxLength(), 2);
    EXPECT_EQ(rig.widget<QLineEdit>("txtGroupCode")->text(), "00001");
    EXPECT_EQ(rig.widget<QLabel>("infoOK")->text(), "OK");
    EXPECT_EQ(rig.widget<QLabel>("infoErr")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(rig.widget<QLabel>("infoErr")->palette().color(QPalette::Window), QColor(64, 64, 64));
    EXPECT_EQ(rig.widget<QCheckBox>("chkSound")->palette().color(QPalette::Window),
              QColor(15, 60, 115));
    EXPECT_EQ(rig.widget<QCheckBox>("chkAutoRecord")->palette().color(QPalette::Window),
              QColor(25, 76, 133));
    // COM1 opened at start-up: its button's caption is green, TCPIP's grey.
    EXPECT_EQ(rig.widget<QAbstractButton>("sbCOM")->palette().color(QPalette::ButtonText),
              QColor(0, 192, 0));
    EXPECT_EQ(rig.widget<QAbstractButton>("sbTCPIP")->palette().color(QPalette::ButtonText),
              QColor(128, 128, 128));
    EXPECT_FALSE(rig.widget<QLineEdit>("txtIP")->isEnabled());
    EXPECT_TRUE(rig.widget<QCheckBox>("chkBlock")->isChecked());
    EXPECT_EQ(rig.widget<QComboBox>("cboBlock")->currentText(), "32 - Sec  8 BLOCK 32");
    EXPECT_EQ(rig.widget<QComboBox>("cboProgrammer")->currentIndex(), 1);
    EXPECT_EQ(rig.widget<QScrollBar>("scrInterval")->value(), 300);
    EXPECT_TRUE(rig.front.isVisible());
    EXPECT_EQ(rig.front.windowTitle(), "ZR-錄碼系統 20160919");
    // Centred on the 28800 x 16200 twips screen: left 4800, top 2500 twips.
    EXPECT_EQ(rig.front.pos(), QPoint(320, 167));
}

// The status indicators' three looks: neutral, failure, success.
TEST(StationWindow, IndicatorsShowTheLookTheStationPaints) {
    struct Look {
        station::Colour back;
        station::Colour fore;
        QColor fill;
        QColor text;
    };
    const Look looks[] = {{0xFFFFFF, 0x000000, Qt::white, Qt::black},
                          {0x0000FF, 0xFFFFFF, QColor(255, 0, 0), Qt::white},
                          {0x00FF00, 0x000000, QColor(0, 255, 0), Qt::black}};
    WindowRig rig;
    for (const auto& look : looks) {
        rig.station.lblV2Status.backColor = look.back;
        rig.station.lblV2Status.foreColor = look.fore;
        rig.front.syncFromStation();
        const QPalette palette = rig.widget("lblV2Status")->palette();
        EXPECT_EQ(palette.color(QPalette::Window), look.fill);
        EXPECT_EQ(palette.color(QPalette::WindowText), look.text);
    }
}

// Which areas each window size shows, in twips as the station sets them.
TEST(StationWindow, WindowSizesShowAndHideTheirAreas) {
    struct Case {
        const char* what;
        int size1;
        int size2;
        std::vector<std::string> shown;
        std::vector<std::string> hidden;
    };
    const std::vector<Case> cases = {
        {"design size",
         19200,
         11200,
         {"CmdExit", "lblNote", "cboBlock", "txtBKey(5)", "txtReceive", "Command4"},
         {}},
        {"sbBlock",
         9570,
         8000,
         {"cmdRecordBlock", "CmdExit", "infoErr", "txtCardCode", "cmdSearchCOM"},
         {"lblNote", "cboProgrammer", "cboBlock", "txtAKey(0)", "txtReceive", "cmdV1_AssignAKey"}},
        {"unlock",
         12800,
         8777,
         {"CmdExit", "cboProgrammer", "chkLanguage", "sbBlock", "cboBlock"},
         {"txtAKey(0)", "cmdSendKeyToController", "txtReceive", "cmdV1_AssignAKey", "lblNote"}},
        {"chkBlock checked",
         12800,
         10810,
         {"sbBlock", "txtAKey(0)", "txtBKey(5)", "cmdSwitch", "cmdSendKeyToController",
          "cboPassword1"},
         {"txtReceive", "Command1"}},
        {"chkBlock unchecked",
         12800,
         8040,
         {"CmdExit", "infoErr", "cboProgrammer"},
         {"sbBlock", "txtAKey(0)"}},
        {"sbBlock, then chkBlock checked",
         9570,
         10810,
         {"sbBlock", "txtBKey(5)", "cboPassword1", "cmdModifykey", "cmdSendKeyToController"},
         {"cboProgrammer", "lblNote"}},
    };
    WindowRig rig;
    for (const auto& c : cases) {
        rig.station.size1 = c.size1;
        rig.station.size2 = c.size2;
        rig.front.syncFromStation();
        for (const auto& name : c.shown) {
            EXPECT_TRUE(rig.front.showsControl(name)) << c.what << ": " << name;
        }
        for (const auto& name : c.hidden) {
            EXPECT_FALSE(rig.front.showsControl(name)) << c.what << ": " << name;
        }
    }
}

} // namespace
} // namespace zr::window::qt
