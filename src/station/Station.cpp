#include "station/Station.h"

#include "base/TextRules.h"

#include <initializer_list>

namespace zr::station {

Station::Station(platform::Platform& platform) : platform_(platform) {
    autoRecordTimer_ = platform_.loop.createTimer([this] {
        if (timerAutoRecord.isEnabled() && timerAutoRecord.onTimer) {
            timerAutoRecord.onTimer();
        }
    });
    timerAutoRecord.onSchedule = [this](int intervalMs) {
        if (intervalMs > 0) {
            autoRecordTimer_->start(intervalMs);
        } else {
            autoRecordTimer_->stop();
        }
    };
    setDesignValues();
    wireShellEvents();
}

Station::~Station() = default;

void Station::setDesignValues() {
    Caption = "ZR-錄碼系統 20160919";
    for (int n = 1; n <= 16; ++n) {
        cboCOM.addItem(std::to_string(n) + "-COM" + std::to_string(n));
    }
    lblCaption.caption = "COM";
    txtIP.setText("192.168.000.120");
    txtPORT.setText("101");
    sbCOM.caption = "COM";
    sbTCPIP.caption = "TCPIP";
    sbBlock.caption = "BLOCK";
    Label3.caption = "TCPIP";
    Label9.caption = "PORT";
    txtGroupCode.maxLength = 5;
    txtGroupCode.setText("00002");
    txtCardCode.maxLength = 5;
    txtCardCode.setText("00001");
    Label1.caption = ":";
    cmdAdd.caption = "+1";
    cmdDec.caption = "-1";
    chkLanguage.caption = "English";
    cboProgrammer.addItem("Model P1 programmer");
    cboProgrammer.addItem("Model P2 programmer");
    ZephraButton1.caption = "錄碼機";
    timerAutoRecord.enabled = false;
    timerAutoRecord.setInterval(1000);
    txtInterval.setText("300");
    scrInterval.min = 50;
    scrInterval.max = 1000;
    scrInterval.smallChange = 50;
    scrInterval.largeChange = 50;
    scrInterval.setValue(300);
    chkBlock.caption = "進階功能";
    cmdAlarmAck.visible = false;
    prgRun.visible = false;
    chkBlock.setValue(1);
    cboBlock.freeText = true;
    cboBlock.text = "cboBlock";
    for (std::size_t i = 0; i < 6; ++i) {
        for (auto* row : {&txtAKey, &txtNewAKey, &txtBKey}) {
            (*row)[i].maxLength = 2;
            (*row)[i].setText("FF");
        }
    }
    for (TextBox* flag :
         {&txtV1_AssignAKey, &txtV1_ModifyAKey, &txtV1_LoadNewKey, &txtV1_ReadCardCode,
          &txtV1_WriteCardCode, &txtV2_AssignAKey, &txtV2_ModifyAKey, &txtReadUID,
          &txtResponseReadCard, &txtResponseRecordCard, &Text1}) {
        flag->setText("09");
    }
    infoOK.caption = "OK";
    infoErr.caption = "Error";
    infoOK.foreColor = rgb(0, 192, 0);
    infoErr.foreColor = rgb(255, 0, 0);
    infoOK.backColor = rgb(64, 64, 64);
    infoErr.backColor = rgb(64, 64, 64);
    Label2.caption = "卡片 UID";
    Label6.caption = "暫存 BLOCK KEY";
    Label8.caption = "V2 Card ID";
    Label10.caption = "V1 Card ID";
    sbAKey.caption = "A Key";
    sbNewKey.caption = "New Key";
    ZephraButton4.caption = "B KEY";
    cmdSearchCOM.caption = "自動搜尋COM";
    cmdCalculate_A_Key.caption = "算 key";
    Command1.caption = "清除接收區";
    Command2.caption = "Command2";
    Command3.caption = "Command3";
    Command4.caption = "Command4";
    cmdReadUID.caption = "讀UID";
    cmdV1_AssignAKey.caption = "V1登錄原密碼";
    cmd_V1_ModifyKey.caption = "V1改新密碼";
    cmd_V1_LoadNewKey.caption = "V1登錄新密碼";
    cmd_V1_ReadCardCode.caption = "V1讀取卡號";
    cmd_V1_WriteCardCode.caption = "V1寫入卡號";
    cmd_V3_AssignAKey_P1.caption = "V3舊型卡機登錄原密碼";
    cmd_V3_AssignAKey.caption = "V3登錄原密碼";
    cmd_V3_ModifyAKey.caption = "V3改新密碼";
    cmd_V3_WriteCardCode.caption = "V3寫入卡號";
    cmd_V2_ReadCardCode.caption = "回讀卡號";
    lblNote.caption =
        "此版本錄碼系統，卡片訂購時需指定「二代防拷」，且卡片前5碼為下面號碼可達到完全防拷\r\n"
        "方扣  ZR-00001:XXXXX ~ 00100:XXXXX\r\n"
        "圓扣  ZR-00101:XXXXX ~ 00200:XXXXX\r\n"
        "白卡  ZR-00201:XXXXX ~ 00250:XXXXX     錄碼時需依卡片上之流水號錄碼才能正常使用!!";
}

void Station::wireShellEvents() {
    cmdAlarmAck.onClick = [this] { cmdAlarmAck_Click(); };
    chkVerify.onClick = [this] { saveSetting("Verify", std::to_string(chkVerify.value())); };
    cboProgrammer.onClick = [this] { cboProgrammer_Click(); };
    chkLanguage.onClick = [this] { chkLanguage_Click(); };
    scrInterval.onChange = [this] { scrInterval_Change(); };
    Command1.onClick = [this] { Command1_Click(); };
    txtReceive.onDblClick = [this] { txtReceive_DblClick(); };
    sbBlock.onClick = [this] { sbBlock_Click(); };
    CmdExit.onClick = [this] { CmdExit_Click(); };
}

Control* Station::findControl(std::string_view name) {
    return registry_.find(name);
}

const char* Station::say(const char* chinese, const char* englishText) const {
    return english() ? englishText : chinese;
}

void Station::showOK(std::string text) {
    infoOK.caption = std::move(text);
    infoErr.caption.clear();
}

void Station::showErr(std::string text) {
    infoErr.caption = std::move(text);
    infoOK.caption.clear();
}

void Station::raiseAlarm(AlarmText alarm) {
    alarmLine_.raise(std::move(alarm));
    showAlarmLine();
}

void Station::noteFailure(AlarmText reason) {
    alarmLine_.noteFailure(std::move(reason));
    showAlarmLine();
}

void Station::clearFailure() {
    alarmLine_.clearFailure();
    showAlarmLine();
}

void Station::cmdAlarmAck_Click() {
    alarmLine_.acknowledge();
    showAlarmLine();
}

void Station::showAlarmLine() {
    const auto text = alarmLine_.shown(english());
    lblAlarm.caption = text.value_or("");
    cmdAlarmAck.visible = text.has_value();
}

void Station::addTrafficLine(std::string_view line) {
    std::string updated(line);
    updated += "\r\n";
    updated += txtReceive.text();
    txtReceive.setText(std::move(updated));
}

void Station::WriteTrafficLog(std::string& text) {
    if (text.empty() || size1 < 10000) {
        return;
    }
    platform_.trafficLog.appendLine(text);
}

double Station::intervalMs() const {
    return base::numericValue(txtInterval.text());
}

void Station::Command1_Click() {
    txtReceive.setText("");
}

void Station::txtReceive_DblClick() {
    txtReceive.setText("");
}

void Station::sbBlock_Click() {
    size1 = 9570;
    size2 = 8000;
}

void Station::CenterWindow() {
    if (minimized) {
        return;
    }
    top = (platform_.desktop.screenHeightTwips() - size2) / 2;
    left = (platform_.desktop.screenWidthTwips() - size1) / 2;
}

void Station::scrInterval_Change() {
    txtInterval.setText(std::to_string(scrInterval.value()));
}

} // namespace zr::station
