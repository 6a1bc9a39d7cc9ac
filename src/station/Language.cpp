// The captions that follow the interface language.
#include "station/Station.h"

namespace zr::station {

void Station::chkLanguage_Click() {
    ApplyLanguage();
}

void Station::ApplyLanguage() {
    struct SwitchedCaption {
        Label* control; // buttons are labels with a click
        const char* chinese;
        const char* english;
    };
    const SwitchedCaption captions[] = {
        {&cmdRecordBlock, "執行寫卡", "Write Card"},
        {&CmdExit, "結束", "Exit"},
        {&sbConnect, "連線", "Connect"},
        {&lblLock, "鎖碼", "Lock System Code"},
        {&lblAutoAdd, "卡號自動累加", "Auto Add Number"},
        {&lblSound, "音效提醒", "Sound Indicate"},
        {&lblAutoRecord, "感應自動錄碼", "Auto Write Card"},
        {&lblprogramV1, "ZR 錄碼Ｖ１", "Program ZR V1"},
        {&lblProgramV3, "ZR 錄碼Ｖ３", "Program ZR V3"},
        {&cmdReadBack, "讀回卡號", "Read Card Number"},
        {&cmdModifykey, "修改卡片 A Key", "Modify Tag A Key"},
        {&cmdSendKeyToController, "修改卡機 A Key", "Modify Controller Key"},
        {&lblUID, "卡片內碼", "Card UID"},
        {&lblV1Status, "Ｖ１卡號", "Card ID_V1"},
        {&lblV2Status, "Ｖ３卡號", "Card ID_V3"},
        {&lblInterval, "錄碼速度", "Speed"},
        {&Label4, "寫入卡片", "Card Type"},
        {&Label5, "新密碼", "New Password"},
        {&cmdAlarmAck, "確認", "Acknowledge"},
        {&lblVerify, "寫後讀回驗證", "Verify each card"},
        {&lblRunTarget, "批次末號", "Run to card"},
        {&lblOrder, "訂單", "Order"},
    };

    cboPassword0.clear();
    cboPassword1.clear();
    const bool inEnglish = english();
    Caption = inEnglish ? "ZR - Card Recording System V2.1555" : "ZR-錄碼系統 20160919";
    for (const auto& entry : captions) {
        entry.control->caption = inEnglish ? entry.english : entry.chinese;
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
    relabelNoOrder();
    showAlarmLine();
    showRun();
}

} // namespace zr::station
