#pragma once

#include "protocol/ProgrammerLink.h"
#include "recording/Recorder.h"
#include "station/Station.h"

#include <cstddef>
#include <string>

namespace zr::window {

// The station object with every event procedure of the window. The procedures are thin:
// each hands its work to the subsystem that owns it.
class MainWindow : public station::Station {
  public:
    explicit MainWindow(platform::Platform& platform);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Where write attempts and read-backs are recorded (a card register); none by default.
    void setCardRecordSink(recording::CardRecordSink* sink) { recorder_.setSink(sink); }
    // The conversation with the programmer (the command in flight, the open requests).
    protocol::ProgrammerLink& link() { return link_; }
    const protocol::ProgrammerLink& link() const { return link_; }

    // Recording
    void cmdRecordBlock_Click();
    void cmdReadBack_Click();
    void ProbeNewCard();
    void chkBlock_Click();
    void chkAutoRecord_Click();
    void timerAutoRecord_Timer();

    // Single-command and test buttons
    void cmdReadUID_Click();
    void cmdV1_AssignAKey_Click();
    void cmd_V1_ModifyKey_Click();
    void cmd_V1_LoadNewKey_Click();
    void cmd_V1_ReadCardCode_Click();
    void cmd_V1_WriteCardCode_Click();
    void cmd_V3_AssignAKey_Click();
    void cmd_V3_AssignAKey_P1_Click();
    void cmd_V3_ModifyAKey_Click();
    void cmd_V3_WriteCardCode_Click();
    void cmd_V2_ReadCardCode_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void cmdSearchCOM_Click();

    // Card number entry
    int txtGroupCode_KeyPress(int keyAscii);
    int txtCardCode_KeyPress(int keyAscii);
    void txtGroupCode_LostFocus();
    void txtCardCode_LostFocus();
    void txtRunTarget_LostFocus();
    void cmdAdd_Click();
    void cmdDec_Click();

    // Keys
    int txtAKey_KeyPress(std::size_t index, int keyAscii);
    int txtNewAKey_KeyPress(std::size_t index, int keyAscii);
    int txtBKey_KeyPress(std::size_t index, int keyAscii);
    void txtAKey_LostFocus(std::size_t index);
    void txtNewAKey_LostFocus(std::size_t index);
    void txtBKey_LostFocus(std::size_t index);
    void cmdSwitch_Click();
    void lblCaption_DblClick();
    void cmdCalculate_A_Key_Click();
    void cmdSendKeyToController_Click();

  private:
    void wireEvents();
    // A button's programmer command, unless a workflow or another command waits.
    void runCommand(bool (*sender)(protocol::ProgrammerLink&));

    protocol::ProgrammerLink link_{*this};
    recording::Recorder recorder_{*this, link_};
};

} // namespace zr::window
