// The captions that follow the interface language.
#include "station/Station.h"

namespace zr::station {
namespace {

struct SwitchedCaption {
    Label Station::*control;
    const char* chinese;
    const char* english;
};

// Buttons are labels with a click, so one table serves both.
constexpr SwitchedCaption kLabelCaptions[] = {
    {&Station::lblLock, "鎖碼", "Lock System Code"},
    {&Station::lblAutoAdd, "卡號自動累加", "Auto Add Number"},
    {&Station::lblSound, "音效提醒", "Sound Indicate"},
    {&Station::lblAutoRecord, "感應自動錄碼", "Auto Write Card"},
    {&Station::lblprogramV1, "ZR 錄碼Ｖ１", "Program ZR V1"},
    {&Station::lblProgramV3, "ZR 錄碼Ｖ３", "Program ZR V3"},
    {&Station::lblUID, "卡片內碼", "Card UID"},
    {&Station::lblV1Status, "Ｖ１卡號", "Card ID_V1"},
    {&Station::lblV2Status, "Ｖ３卡號", "Card ID_V3"},
    {&Station::lblInterval, "錄碼速度", "Speed"},
    {&Station::Label4, "寫入卡片", "Card Type"},
    {&Station::Label5, "新密碼", "New Password"},
};

struct SwitchedButton {
    Button Station::*control;
    const char* chinese;
    const char* english;
};

constexpr SwitchedButton kButtonCaptions[] = {
    {&Station::cmdRecordBlock, "執行寫卡", "Write Card"},
    {&Station::CmdExit, "結束", "Exit"},
    {&Station::sbConnect, "連線", "Connect"},
    {&Station::cmdReadBack, "讀回卡號", "Read Card Number"},
    {&Station::cmdModifykey, "修改卡片 A Key", "Modify Tag A Key"},
    {&Station::cmdSendKeyToController, "修改卡機 A Key", "Modify Controller Key"},
};

} // namespace

void Station::chkLanguage_Click() {
    ApplyLanguage();
}

void Station::ApplyLanguage() {
    cboPassword0.clear();
    cboPassword1.clear();
    const bool inEnglish = english();
    Caption = inEnglish ? "ZR - Card Recording System V2.1555" : "ZR-錄碼系統 20160919";
    for (const auto& entry : kLabelCaptions) {
        (this->*entry.control).caption = inEnglish ? entry.english : entry.chinese;
    }
    for (const auto& entry : kButtonCaptions) {
        (this->*entry.control).caption = inEnglish ? entry.english : entry.chinese;
    }
    if (inEnglish) {
        cboPassword0.addItem("0-Empty Card");
        cboPassword0.addItem("1-Recorded Card");
        cboPassword1.addItem("1-Password 1");
    } else {
        cboPassword0.addItem("0-空白卡");
        cboPassword0.addItem("1-已錄碼");
        cboPassword1.addItem("1-第１組密碼");
    }
    cboPassword0.setListIndex(0);
    cboPassword1.setListIndex(0);
}

} // namespace zr::station
