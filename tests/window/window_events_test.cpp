// Operator events on the widgets run the station's procedures, and what the station
// changes shows in the widgets, also while a command waits.
#include "WindowRig.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace zr::window::qt {
namespace {

using testing::WindowRig;

TEST(StationWindowEvents, ClicksRunTheirProcedures) {
    WindowRig rig;
    QTest::mouseClick(rig.widget("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(rig.station.txtCardCode.text(), "00002");
    EXPECT_EQ(rig.widget<QLineEdit>("txtCardCode")->text(), "00002");

    rig.station.addTrafficLine("1 ReadUID");
    rig.front.syncFromStation();
    EXPECT_EQ(rig.widget<QPlainTextEdit>("txtReceive")->toPlainText(), "1 ReadUID\n");
    QTest::mouseClick(rig.widget("Command1"), Qt::LeftButton);
    EXPECT_EQ(rig.station.txtReceive.text(), "");
    EXPECT_EQ(rig.widget<QPlainTextEdit>("txtReceive")->toPlainText(), "");

    // The TCP link: the port list is disabled, the address boxes enabled; nothing answers.
    QTest::mouseClick(rig.widget("sbTCPIP"), Qt::LeftButton);
    EXPECT_EQ(rig.station.connType, "TCPIP");
    EXPECT_FALSE(rig.widget("cboCOM")->isEnabled());
    EXPECT_TRUE(rig.widget("txtIP")->isEnabled());
    EXPECT_EQ(rig.widget("sbTCPIP")->palette().color(QPalette::ButtonText), QColor(255, 0, 0));

    QTest::mouseClick(rig.widget("sbBlock"), Qt::LeftButton);
    EXPECT_EQ(rig.station.size1, 9570);
    EXPECT_EQ(rig.front.width(), std::lround((9570 - kFrameWidthTwips) / 15.0));
}

TEST(StationWindowEvents, ListsCheckBoxesAndTheScrollBarRaiseTheirEvents) {
    WindowRig rig;
    // COM3 does not exist: choosing it closes COM1 and the caption turns red.
    auto* ports = rig.widget<QComboBox>("cboCOM");
    ports->setCurrentIndex(2);
    emit ports->activated(2);
    EXPECT_EQ(rig.station.cboCOM.listIndex(), 2);
    EXPECT_FALSE(rig.world.serial.isOpen());
    EXPECT_EQ(rig.widget("sbCOM")->palette().color(QPalette::ButtonText), QColor(255, 0, 0));

    auto* programmer = rig.widget<QComboBox>("cboProgrammer");
    emit programmer->activated(0);
    EXPECT_EQ(rig.world.settings.values["ProgrammerType"], "0");

    QTest::mouseClick(rig.widget("chkAutoAdd"), Qt::LeftButton);
    EXPECT_EQ(rig.station.chkAutoAdd.value(), 1);

    rig.widget<QScrollBar>("scrInterval")->setValue(550);
    EXPECT_EQ(rig.station.txtInterval.text(), "550");
    EXPECT_EQ(rig.widget<QLineEdit>("txtInterval")->text(), "550");

    auto* block = rig.widget<QComboBox>("cboBlock");
    block->lineEdit()->selectAll();
    QTest::keyClicks(block->lineEdit(), "Sec 9");
    EXPECT_EQ(rig.station.cboBlock.text, "Sec 9");
}

TEST(StationWindowEvents, KeyPressesPassTheKeyFilterAndLeavingABoxRunsItsLostFocus) {
    WindowRig rig;
    ASSERT_TRUE(rig.front.isActiveWindow());
    auto* box = rig.widget<QLineEdit>("txtAKey(0)");
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, "g1xa");
    EXPECT_EQ(rig.station.txtAKey[0].text(), "1a");
    EXPECT_EQ(box->text(), "1a");
    EXPECT_EQ(rig.station.focusedControl, "txtAKey(0)");
    rig.widget("txtAKey(1)")->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.station.focusedControl, "txtAKey(1)");
    EXPECT_EQ(rig.station.txtAKey[0].text(), "1A");
    EXPECT_EQ(box->text(), "1A");

    // Digits only in the card number, five at most.
    auto* group = rig.widget<QLineEdit>("txtGroupCode");
    group->setFocus(Qt::MouseFocusReason);
    group->selectAll();
    QTest::keyClicks(group, "12a3456");
    EXPECT_EQ(rig.station.txtGroupCode.text(), "12345");

    auto* address = rig.widget<QLineEdit>("txtIP");
    rig.station.txtIP.enabled = true;
    rig.front.syncFromStation();
    address->setFocus(Qt::MouseFocusReason);
    address->selectAll();
    QTest::keyClicks(address, "10.0.0.7");
    EXPECT_EQ(rig.station.txtIP.text(), "10.0.0.7");
}

TEST(StationWindowEvents, DoubleClickOnTheCaptionAsksForTheAdministratorCode) {
    for (const char* answer : {"Mavrolint", "mavrolint"}) {
        WindowRig rig;
        rig.world.desktop.answers.push_back(answer);
        QTest::mouseDClick(rig.widget("lblCaption"), Qt::LeftButton);
        ASSERT_EQ(rig.world.desktop.inputBoxes.size(), 1U);
        const bool unlocked = std::string(answer) == "mavrolint";
        EXPECT_EQ(rig.station.size1, unlocked ? 12800 : 19200);
        EXPECT_EQ(rig.front.height(),
                  std::lround(((unlocked ? 8777 : 11200) - kFrameHeightTwips) / 15.0));
    }
    WindowRig rig;
    rig.station.addTrafficLine("x");
    QTest::mouseDClick(rig.widget<QPlainTextEdit>("txtReceive")->viewport(), Qt::LeftButton);
    EXPECT_EQ(rig.station.txtReceive.text(), "");
}

} // namespace
} // namespace zr::window::qt
