// Every control has its widget of the right kind, name and place in the tab order; the
// window sizes the station sets show and hide the right areas; the language switch reaches
// the widgets.
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

struct Kind {
    const char* widgetClass;
    std::vector<std::string> names;
};

std::vector<std::string> keyBoxes() {
    std::vector<std::string> names;
    for (const char* row : {"txtAKey", "txtNewAKey", "txtBKey"}) {
        for (int i = 0; i < 6; ++i) {
            names.push_back(std::string(row) + "(" + std::to_string(i) + ")");
        }
    }
    return names;
}

TEST(StationWindow, EveryControlHasAWidgetOfItsKind) {
    WindowRig rig;
    const std::vector<Kind> kinds = {
        {"QLabel", {"lblCaption",  "Label3",   "Label9",        "Label1",       "lblLock",
                    "lblAutoAdd",  "lblSound", "lblAutoRecord", "lblprogramV1", "lblProgramV3",
                    "lblInterval", "lblNote",  "lblUID",        "lblV1Status",  "lblV2Status",
                    "Label2",      "Label10",  "Label8",        "lblv1",        "lblv3",
                    "infoOK",      "infoErr",  "Label6",        "Label4",       "Label5"}},
        {"QAbstractButton",
         {"cmdSearchCOM",
          "sbCOM",
          "sbTCPIP",
          "sbConnect",
          "cmdAdd",
          "cmdDec",
          "ZephraButton1",
          "cmdRecordBlock",
          "cmdReadBack",
          "cmdReadUID",
          "cmdModifykey",
          "cmdSendKeyToController",
          "cmdCalculate_A_Key",
          "CmdExit",
          "cmdV1_AssignAKey",
          "cmd_V1_ModifyKey",
          "cmd_V1_LoadNewKey",
          "cmd_V1_ReadCardCode",
          "cmd_V1_WriteCardCode",
          "cmd_V3_AssignAKey",
          "cmd_V3_AssignAKey_P1",
          "cmd_V3_ModifyAKey",
          "cmd_V3_WriteCardCode",
          "cmd_V2_ReadCardCode",
          "Command2",
          "Command3",
          "Command4",
          "sbBlock",
          "cmdSwitch",
          "sbAKey",
          "sbNewKey",
          "ZephraButton4",
          "Command1"}},
        {"QLineEdit",
         {"txtIP",
          "txtPORT",
          "txtGroupCode",
          "txtCardCode",
          "txtInterval",
          "txtV1_AssignAKey",
          "txtV1_ModifyAKey",
          "txtV1_LoadNewKey",
          "txtV1_ReadCardCode",
          "txtV1_WriteCardCode",
          "txtV2_AssignAKey",
          "txtV2_ModifyAKey",
          "txtReadUID",
          "txtResponseReadCard",
          "txtResponseRecordCard",
          "Text1",
          "txtUID2",
          "txtBlockIDV1",
          "txtBlockIDV2",
          "txtUID",
          "txtV1CardCode",
          "txtV2CardCode",
          "txtUID_Record",
          "txtV1_Record",
          "txtV2_Record"}},
        {"QLineEdit", keyBoxes()},
        {"QCheckBox",
         {"chkLock", "chkAutoAdd", "chkSound", "chkAutoRecord", "chkProgramV1", "chkProgramV3",
          "chkLanguage", "chkBlock", "chkSaveKey"}},
        {"QComboBox", {"cboCOM", "cboProgrammer", "cboBlock", "cboPassword0", "cboPassword1"}},
        {"QScrollBar", {"scrInterval"}},
        {"QPlainTextEdit", {"txtReceive"}},
    };
    for (const auto& kind : kinds) {
        for (const auto& name : kind.names) {
            const QWidget* widget = rig.front.widgetFor(name);
            ASSERT_NE(widget, nullptr) << name;
            EXPECT_TRUE(widget->inherits(kind.widgetClass))
                << name << " is not a " << kind.widgetClass;
            EXPECT_EQ(widget->objectName().toStdString(), name);
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << name;
        }
    }
    EXPECT_FALSE(rig.widget<QComboBox>("cboCOM")->isEditable());
    EXPECT_TRUE(rig.widget<QComboBox>("cboBlock")->isEditable());
    EXPECT_EQ(rig.widget<QComboBox>("cboCOM")->count(), 16);
    EXPECT_EQ(rig.widget<QComboBox>("cboCOM")->itemText(15), "16-COM16");
}

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
         {"CmdExit", "lblNote", "cboProgrammer", "chkLanguage", "sbBlock", "cboBlock"},
         {"txtAKey(0)", "cmdSendKeyToController", "txtReceive", "cmdV1_AssignAKey"}},
        {"chkBlock checked",
         12800,
         10810,
         {"sbBlock", "txtAKey(0)", "txtBKey(5)", "cmdSwitch", "cmdSendKeyToController",
          "cboPassword1"},
         {"txtReceive", "Command1"}},
        {"chkBlock unchecked",
         12800,
         8040,
         {"CmdExit", "infoErr", "lblNote"},
         {"sbBlock", "txtAKey(0)"}},
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

TEST(StationWindow, TabOrderFollowsTheLayout) {
    WindowRig rig;
    const char* chain[] = {"cboCOM",  "sbCOM",     "sbTCPIP",      "cmdSearchCOM", "txtIP",
                           "txtPORT", "sbConnect", "txtGroupCode", "txtCardCode",  "cmdAdd"};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        QWidget* next = rig.front.widgetFor(chain[i])->nextInFocusChain();
        while ((next->focusPolicy() & Qt::TabFocus) == 0) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next->objectName().toStdString(), chain[i + 1]);
    }
}

TEST(StationWindow, LanguageRoundTripOnTheWidgets) {
    struct Switched {
        const char* name;
        const char* chinese;
        const char* english;
    };
    const Switched captions[] = {
        {"cmdRecordBlock", "執行寫卡", "Write Card"},
        {"CmdExit", "結束", "Exit"},
        {"sbConnect", "連線", "Connect"},
        {"lblLock", "鎖碼", "Lock System Code"},
        {"lblAutoAdd", "卡號自動累加", "Auto Add Number"},
        {"lblSound", "音效提醒", "Sound Indicate"},
        {"lblAutoRecord", "感應自動錄碼", "Auto Write Card"},
        {"lblprogramV1", "ZR 錄碼Ｖ１", "Program ZR V1"},
        {"lblProgramV3", "ZR 錄碼Ｖ３", "Program ZR V3"},
        {"cmdReadBack", "讀回卡號", "Read Card Number"},
        {"cmdModifykey", "修改卡片 A Key", "Modify Tag A Key"},
        {"cmdSendKeyToController", "修改卡機 A Key", "Modify Controller Key"},
        {"lblUID", "卡片內碼", "Card UID"},
        {"lblV1Status", "Ｖ１卡號", "Card ID_V1"},
        {"lblV2Status", "Ｖ３卡號", "Card ID_V3"},
        {"lblInterval", "錄碼速度", "Speed"},
        {"Label4", "寫入卡片", "Card Type"},
        {"Label5", "新密碼", "New Password"},
    };
    const auto text = [](QWidget* widget) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            return label->text();
        }
        return qobject_cast<QAbstractButton*>(widget)->text();
    };
    WindowRig rig;
    auto* language = rig.widget<QCheckBox>("chkLanguage");
    EXPECT_EQ(language->text(), "English");
    for (const bool english : {true, false}) {
        QTest::mouseClick(language, Qt::LeftButton, {}, QPoint(6, language->height() / 2));
        EXPECT_EQ(rig.station.chkLanguage.value(), english ? 1 : 0);
        EXPECT_EQ(rig.front.windowTitle(),
                  english ? "ZR - Card Recording System V2.1555" : "ZR-錄碼系統 20160919");
        for (const auto& caption : captions) {
            EXPECT_EQ(text(rig.front.widgetFor(caption.name)),
                      QString::fromUtf8(english ? caption.english : caption.chinese))
                << caption.name;
        }
        auto* password0 = rig.widget<QComboBox>("cboPassword0");
        auto* password1 = rig.widget<QComboBox>("cboPassword1");
        ASSERT_EQ(password0->count(), 2);
        ASSERT_EQ(password1->count(), 1);
        EXPECT_EQ(password0->itemText(1), english ? "1-Recorded Card" : "1-已錄碼");
        EXPECT_EQ(password1->currentText(), english ? "1-Password 1" : "1-第１組密碼");
        EXPECT_EQ(password0->currentIndex(), 0);
        // The check box beside a label is named by it, in the language shown.
        EXPECT_EQ(rig.widget("chkLock")->accessibleName(), english ? "Lock System Code" : "鎖碼");
    }
}

} // namespace
} // namespace zr::window::qt
