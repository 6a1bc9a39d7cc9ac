#include "window/MainWindow.h"

#include "base/CardNumber.h"
#include "keys/KeyProcedures.h"
#include "protocol/PortSearch.h"
#include "protocol/Senders.h"
#include "recording/CardNumberFields.h"
#include "recording/CardRuns.h"

namespace zr::window {

MainWindow::MainWindow(platform::Platform& platform) : Station(platform) {
    wireEvents();
}

void MainWindow::wireEvents() {
    timerAutoRecord.onTimer = [this] { timerAutoRecord_Timer(); };
    chkAutoRecord.onClick = [this] { chkAutoRecord_Click(); };
    chkBlock.onClick = [this] { chkBlock_Click(); };

    const std::pair<station::Button*, void (MainWindow::*)()> clicks[] = {
        {&cmdRecordBlock, &MainWindow::cmdRecordBlock_Click},
        {&cmdReadBack, &MainWindow::cmdReadBack_Click},
        {&cmdReadUID, &MainWindow::cmdReadUID_Click},
        {&cmdV1_AssignAKey, &MainWindow::cmdV1_AssignAKey_Click},
        {&cmd_V1_ModifyKey, &MainWindow::cmd_V1_ModifyKey_Click},
        {&cmd_V1_LoadNewKey, &MainWindow::cmd_V1_LoadNewKey_Click},
        {&cmd_V1_ReadCardCode, &MainWindow::cmd_V1_ReadCardCode_Click},
        {&cmd_V1_WriteCardCode, &MainWindow::cmd_V1_WriteCardCode_Click},
        {&cmd_V3_AssignAKey, &MainWindow::cmd_V3_AssignAKey_Click},
        {&cmd_V3_AssignAKey_P1, &MainWindow::cmd_V3_AssignAKey_P1_Click},
        {&cmd_V3_ModifyAKey, &MainWindow::cmd_V3_ModifyAKey_Click},
        {&cmd_V3_WriteCardCode, &MainWindow::cmd_V3_WriteCardCode_Click},
        {&cmd_V2_ReadCardCode, &MainWindow::cmd_V2_ReadCardCode_Click},
        {&Command2, &MainWindow::Command2_Click},
        {&Command3, &MainWindow::Command3_Click},
        {&Command4, &MainWindow::Command4_Click},
        {&cmdSearchCOM, &MainWindow::cmdSearchCOM_Click},
        {&cmdAdd, &MainWindow::cmdAdd_Click},
        {&cmdDec, &MainWindow::cmdDec_Click},
        {&cmdSwitch, &MainWindow::cmdSwitch_Click},
        {&cmdCalculate_A_Key, &MainWindow::cmdCalculate_A_Key_Click},
        {&cmdSendKeyToController, &MainWindow::cmdSendKeyToController_Click},
    };
    for (const auto& [button, procedure] : clicks) {
        button->onClick = [this, handler = procedure] { (this->*handler)(); };
    }
    lblCaption.onDblClick = [this] { lblCaption_DblClick(); };

    txtGroupCode.onKeyPress = [this](int key) { return txtGroupCode_KeyPress(key); };
    txtCardCode.onKeyPress = [this](int key) { return txtCardCode_KeyPress(key); };
    txtGroupCode.onLostFocus = [this] { txtGroupCode_LostFocus(); };
    txtCardCode.onLostFocus = [this] { txtCardCode_LostFocus(); };
    txtRunTarget.onLostFocus = [this] { txtRunTarget_LostFocus(); };

    for (std::size_t i = 0; i < 6; ++i) {
        txtAKey[i].onKeyPress = [this, i](int key) { return txtAKey_KeyPress(i, key); };
        txtNewAKey[i].onKeyPress = [this, i](int key) { return txtNewAKey_KeyPress(i, key); };
        txtBKey[i].onKeyPress = [this, i](int key) { return txtBKey_KeyPress(i, key); };
        txtAKey[i].onLostFocus = [this, i] { txtAKey_LostFocus(i); };
        txtNewAKey[i].onLostFocus = [this, i] { txtNewAKey_LostFocus(i); };
        txtBKey[i].onLostFocus = [this, i] { txtBKey_LostFocus(i); };
    }
}

void MainWindow::cmdRecordBlock_Click() {
    recorder_.cmdRecordBlock_Click();
}
void MainWindow::cmdReadBack_Click() {
    recorder_.cmdReadBack_Click();
}
void MainWindow::ProbeNewCard() {
    recorder_.ProbeNewCard();
}
void MainWindow::chkBlock_Click() {
    recorder_.chkBlock_Click();
}
void MainWindow::chkAutoRecord_Click() {
    recorder_.chkAutoRecord_Click();
}
void MainWindow::timerAutoRecord_Timer() {
    recorder_.timerAutoRecord_Timer();
}

// A button's click runs its command and leaves the outcome to the status flag and messages.
void MainWindow::runCommand(bool (*sender)(protocol::ProgrammerLink&)) {
    recorder_.runCommand([this, sender] { sender(link_); });
}
void MainWindow::cmdReadUID_Click() {
    runCommand(protocol::SendReadUid);
}
void MainWindow::cmdV1_AssignAKey_Click() {
    runCommand(protocol::SendV1SelectType0);
}
void MainWindow::cmd_V1_ModifyKey_Click() {
    runCommand(protocol::SendV1ModifyKey);
}
void MainWindow::cmd_V1_LoadNewKey_Click() {
    runCommand(protocol::SendV1SelectType1);
}
void MainWindow::cmd_V1_ReadCardCode_Click() {
    runCommand(protocol::SendV1ReadCardCode);
}
void MainWindow::cmd_V1_WriteCardCode_Click() {
    runCommand(protocol::SendV1WriteCardCode);
}
void MainWindow::cmd_V3_AssignAKey_Click() {
    runCommand(protocol::SendV2LoginFixedKey);
}
void MainWindow::cmd_V3_AssignAKey_P1_Click() {
    runCommand(protocol::SendV2LoginTypedKey);
}
void MainWindow::cmd_V3_ModifyAKey_Click() {
    runCommand(protocol::SendV2ModifyKey);
}
void MainWindow::cmd_V3_WriteCardCode_Click() {
    runCommand(protocol::SendV2WriteCardCode);
}
void MainWindow::cmd_V2_ReadCardCode_Click() {
    recorder_.runCommand([this] { protocol::SendV2ReadCardCode(link_); });
}
void MainWindow::Command2_Click() {
    runCommand(protocol::SendV2LoginFixedKey);
}
void MainWindow::Command3_Click() {
    runCommand(protocol::SendV2ModifyKey);
}
void MainWindow::Command4_Click() {
    runCommand(protocol::SendV2WriteCardCode);
}
void MainWindow::cmdSearchCOM_Click() {
    recorder_.runOwnLinkCommand([this] { protocol::cmdSearchCOM_Click(link_); });
}

int MainWindow::txtGroupCode_KeyPress(int keyAscii) {
    return base::FilterDigitKey(keyAscii);
}
int MainWindow::txtCardCode_KeyPress(int keyAscii) {
    return base::FilterDigitKey(keyAscii);
}
void MainWindow::txtGroupCode_LostFocus() {
    recording::codeFieldLostFocus(*this, txtGroupCode, txtCardCode);
}
void MainWindow::txtCardCode_LostFocus() {
    recording::codeFieldLostFocus(*this, txtCardCode, txtGroupCode);
}
void MainWindow::txtRunTarget_LostFocus() {
    recording::txtRunTarget_LostFocus(*this);
}
// The step buttons and the key swap are disabled while a write runs; a click that was on its
// way when they were is not carried out either.
void MainWindow::cmdAdd_Click() {
    if (cmdAdd.enabled) {
        recording::cmdAdd_Click(*this);
    }
}
void MainWindow::cmdDec_Click() {
    if (cmdDec.enabled) {
        recording::cmdDec_Click(*this);
    }
}

int MainWindow::txtAKey_KeyPress(std::size_t, int keyAscii) {
    return base::FilterHexKey(keyAscii);
}
int MainWindow::txtNewAKey_KeyPress(std::size_t, int keyAscii) {
    return base::FilterHexKey(keyAscii);
}
int MainWindow::txtBKey_KeyPress(std::size_t, int keyAscii) {
    return base::FilterHexKey(keyAscii);
}
void MainWindow::txtAKey_LostFocus(std::size_t index) {
    keys::keyBoxLostFocus(txtAKey[index]);
}
void MainWindow::txtNewAKey_LostFocus(std::size_t index) {
    keys::keyBoxLostFocus(txtNewAKey[index]);
}
void MainWindow::txtBKey_LostFocus(std::size_t index) {
    keys::keyBoxLostFocus(txtBKey[index]);
}
void MainWindow::cmdSwitch_Click() {
    if (cmdSwitch.enabled) {
        keys::cmdSwitch_Click(txtAKey, txtNewAKey);
    }
}
void MainWindow::lblCaption_DblClick() {
    keys::lblCaption_DblClick(*this);
}
void MainWindow::cmdCalculate_A_Key_Click() {
    keys::cmdCalculate_A_Key_Click(*this);
}
void MainWindow::cmdSendKeyToController_Click() {
    recorder_.runOwnLinkCommand([this] { protocol::cmdSendKeyToController_Click(link_); });
}

} // namespace zr::window
