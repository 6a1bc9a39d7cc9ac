#pragma once

#include "platform/Platform.h"
#include "station/AlarmLine.h"
#include "station/ControlArray.h"
#include "station/Controls.h"
#include "station/RunState.h"
#include "station/SiteKeys.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zr::station {

inline constexpr Colour kLinkUp = 0x00C000;
inline constexpr Colour kLinkDown = 0x0000FF;
inline constexpr Colour kLinkUnused = 0x808080;

// The station: the window-level fields and every control of the window as plain values,
// the platform services, and the procedures of the station shell (start-up, settings,
// language). The subsystems work on it through its public members; the
// window front end and the script driver only read and raise its controls.
class Station {
  public:
    explicit Station(platform::Platform& platform);
    virtual ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // --- Shell procedures --------------------------------------------------------------
    void Form_Load();
    void CmdExit_Click();
    void Command1_Click();
    void txtReceive_DblClick();
    void sbBlock_Click();
    void CenterWindow();
    void cboProgrammer_Click();
    void chkLanguage_Click();
    void scrInterval_Change();
    void ApplyLanguage();
    // cboOrder's first entry, "(no order)", in the language chosen (added when the list is
    // empty); the choice stays.
    void relabelNoOrder();
    // False when the store could not be written (it then keeps the previous set).
    bool SaveStationSettings();
    // Stores one setting at once (the link controls keep the chosen link this way).
    void saveSetting(const std::string& key, const std::string& value);

    // --- Services the subsystems share ---------------------------------------------------
    bool english() const { return chkLanguage.value() != 0; }
    // The text for the language chosen at this moment.
    const char* say(const char* chinese, const char* english) const;
    // A success message in infoOK (infoErr emptied), or an error in infoErr (infoOK emptied).
    void showOK(std::string text);
    void showErr(std::string text);
    // The alarm line: an alarm that stays until acknowledged, the reason of the last failed
    // attempt (until a card is written), and the acknowledge button's click.
    void raiseAlarm(AlarmText alarm);
    void noteFailure(AlarmText reason);
    void clearFailure();
    void cmdAlarmAck_Click();
    // Shows the run on prgRun ("37 / 500") and lblRunStatus (skipped numbers, pace, time
    // left, or the completion text); while an order is taken, the order instead (showOrder).
    void showRun();
    // The order on prgRun ("1,234 / 5,000") and lblRunStatus (void cards, cards per hour over
    // every bench, time left).
    void showOrder();
    // Adds a line at the top of the traffic view.
    void addTrafficLine(std::string_view line);
    // Appends a line to the traffic log file while the window is large enough.
    void WriteTrafficLog(std::string& text);
    std::uint32_t tickCount() const { return platform_.loop.tickCount(); }
    platform::Platform& platform() { return platform_; }
    const platform::Platform& platform() const { return platform_; }
    // The value of txtInterval, read afresh, in milliseconds.
    double intervalMs() const;
    // Gives the focus to a control (the window front end moves the caret there).
    void setFocus(const Control& control) { focusedControl = control.name(); }

    // The control with this name ("txtAKey(3)" for a box of a control array), or null.
    Control* findControl(std::string_view name);
    bool ended() const { return ended_; }
    // What ends the program after CmdExit has saved and closed (the owner quits its loop).
    void setEndHandler(std::function<void()> handler) { onEnd_ = std::move(handler); }

    // --- Window-level fields ---------------------------------------------------------------
    std::string connType;
    std::string lastWrittenUid;
    const AlarmLine& alarms() const { return alarmLine_; }
    // The run of cards the operator set a target for (kept in the settings).
    RunState run;
    // The order the bench works (set by the register, never kept in the station's settings).
    OrderState order;
    // The site's fixed keys and masks (set by the owner before Form_Load).
    SiteKeys site;

    // Window geometry in twips. Size 1 is the width, size 2 the height.
    std::string Caption;
    int size1 = 19200;
    int size2 = 11200;
    int left = 0;
    int top = 0;
    bool minimized = false;
    bool shown = false;
    std::string focusedControl;

  private:
    // Declared before the controls: each registers itself here as it is made.
    ControlRegistry registry_;

  public:
    // Every control, in the order of the declarations below.
    const std::vector<Control*>& controls() const { return registry_.all(); }

    // --- Controls --------------------------------------------------------------------------
    // Link
    Label lblCaption{registry_, "lblCaption"};
    ComboBox cboCOM{registry_, "cboCOM"};
    Button cmdSearchCOM{registry_, "cmdSearchCOM"};
    Label Label3{registry_, "Label3"};
    TextBox txtIP{registry_, "txtIP"};
    Label Label9{registry_, "Label9"};
    TextBox txtPORT{registry_, "txtPORT"};
    Button sbCOM{registry_, "sbCOM"};
    Button sbTCPIP{registry_, "sbTCPIP"};
    Button sbConnect{registry_, "sbConnect"};
    // Card number and options
    TextBox txtGroupCode{registry_, "txtGroupCode"};
    Label Label1{registry_, "Label1"};
    TextBox txtCardCode{registry_, "txtCardCode"};
    Button cmdAdd{registry_, "cmdAdd"};
    Button cmdDec{registry_, "cmdDec"};
    CheckBox chkLock{registry_, "chkLock"};
    Label lblLock{registry_, "lblLock"};
    CheckBox chkAutoAdd{registry_, "chkAutoAdd"};
    Label lblAutoAdd{registry_, "lblAutoAdd"};
    CheckBox chkSound{registry_, "chkSound"};
    Label lblSound{registry_, "lblSound"};
    CheckBox chkAutoRecord{registry_, "chkAutoRecord"};
    Label lblAutoRecord{registry_, "lblAutoRecord"};
    CheckBox chkProgramV1{registry_, "chkProgramV1"};
    Label lblprogramV1{registry_, "lblprogramV1"};
    CheckBox chkProgramV3{registry_, "chkProgramV3"};
    Label lblProgramV3{registry_, "lblProgramV3"};
    ComboBox cboProgrammer{registry_, "cboProgrammer"};
    Button ZephraButton1{registry_, "ZephraButton1"};
    Label lblInterval{registry_, "lblInterval"};
    TextBox txtInterval{registry_, "txtInterval"};
    ScrollBar scrInterval{registry_, "scrInterval"};
    TimerControl timerAutoRecord{registry_, "timerAutoRecord"};
    CheckBox chkLanguage{registry_, "chkLanguage"};
    Label lblNote{registry_, "lblNote"};
    // Work buttons
    Button cmdRecordBlock{registry_, "cmdRecordBlock"};
    CheckBox chkBlock{registry_, "chkBlock"};
    Button cmdReadBack{registry_, "cmdReadBack"};
    Button cmdReadUID{registry_, "cmdReadUID"};
    Button cmdModifykey{registry_, "cmdModifykey"};
    Button cmdSendKeyToController{registry_, "cmdSendKeyToController"};
    Button cmdCalculate_A_Key{registry_, "cmdCalculate_A_Key"};
    Button CmdExit{registry_, "CmdExit"};
    // Single-command buttons and their status flags
    Button cmdV1_AssignAKey{registry_, "cmdV1_AssignAKey"};
    Button cmd_V1_ModifyKey{registry_, "cmd_V1_ModifyKey"};
    Button cmd_V1_LoadNewKey{registry_, "cmd_V1_LoadNewKey"};
    Button cmd_V1_ReadCardCode{registry_, "cmd_V1_ReadCardCode"};
    Button cmd_V1_WriteCardCode{registry_, "cmd_V1_WriteCardCode"};
    Button cmd_V3_AssignAKey{registry_, "cmd_V3_AssignAKey"};
    Button cmd_V3_AssignAKey_P1{registry_, "cmd_V3_AssignAKey_P1"};
    Button cmd_V3_ModifyAKey{registry_, "cmd_V3_ModifyAKey"};
    Button cmd_V3_WriteCardCode{registry_, "cmd_V3_WriteCardCode"};
    Button cmd_V2_ReadCardCode{registry_, "cmd_V2_ReadCardCode"};
    Button Command2{registry_, "Command2"};
    Button Command3{registry_, "Command3"};
    Button Command4{registry_, "Command4"};
    TextBox txtV1_AssignAKey{registry_, "txtV1_AssignAKey"};
    TextBox txtV1_ModifyAKey{registry_, "txtV1_ModifyAKey"};
    TextBox txtV1_LoadNewKey{registry_, "txtV1_LoadNewKey"};
    TextBox txtV1_ReadCardCode{registry_, "txtV1_ReadCardCode"};
    TextBox txtV1_WriteCardCode{registry_, "txtV1_WriteCardCode"};
    TextBox txtV2_AssignAKey{registry_, "txtV2_AssignAKey"};
    TextBox txtV2_ModifyAKey{registry_, "txtV2_ModifyAKey"};
    TextBox txtReadUID{registry_, "txtReadUID"};
    TextBox txtResponseReadCard{registry_, "txtResponseReadCard"};
    TextBox txtResponseRecordCard{registry_, "txtResponseRecordCard"};
    TextBox Text1{registry_, "Text1"};
    // Results
    Label lblUID{registry_, "lblUID"};
    TextBox txtUID2{registry_, "txtUID2"};
    Label lblV1Status{registry_, "lblV1Status"};
    TextBox txtBlockIDV1{registry_, "txtBlockIDV1"};
    Label lblV2Status{registry_, "lblV2Status"};
    TextBox txtBlockIDV2{registry_, "txtBlockIDV2"};
    Label Label2{registry_, "Label2"};
    TextBox txtUID{registry_, "txtUID"};
    Label Label10{registry_, "Label10"};
    TextBox txtV1CardCode{registry_, "txtV1CardCode"};
    Label Label8{registry_, "Label8"};
    TextBox txtV2CardCode{registry_, "txtV2CardCode"};
    TextBox txtUID_Record{registry_, "txtUID_Record"};
    TextBox txtV1_Record{registry_, "txtV1_Record"};
    TextBox txtV2_Record{registry_, "txtV2_Record"};
    Label lblv1{registry_, "lblv1"};
    Label lblv3{registry_, "lblv3"};
    Label infoOK{registry_, "infoOK"};
    Label infoErr{registry_, "infoErr"};
    Label lblAlarm{registry_, "lblAlarm"};
    Button cmdAlarmAck{registry_, "cmdAlarmAck"};
    // Runs of cards and verification
    CheckBox chkVerify{registry_, "chkVerify"};
    Label lblVerify{registry_, "lblVerify"};
    Label lblRunTarget{registry_, "lblRunTarget"};
    TextBox txtRunTarget{registry_, "txtRunTarget"};
    ProgressBar prgRun{registry_, "prgRun"};
    Label lblRunStatus{registry_, "lblRunStatus"};
    // The order the bench works: "(no order)" first, then the register's open orders.
    Label lblOrder{registry_, "lblOrder"};
    ComboBox cboOrder{registry_, "cboOrder"};
    // Keys
    Button sbBlock{registry_, "sbBlock"};
    ComboBox cboBlock{registry_, "cboBlock"};
    ControlArray<TextBox, 6> txtAKey{registry_, "txtAKey"};
    ControlArray<TextBox, 6> txtNewAKey{registry_, "txtNewAKey"};
    ControlArray<TextBox, 6> txtBKey{registry_, "txtBKey"};
    Button cmdSwitch{registry_, "cmdSwitch"};
    Label Label6{registry_, "Label6"};
    CheckBox chkSaveKey{registry_, "chkSaveKey"};
    Button sbAKey{registry_, "sbAKey"};
    Button sbNewKey{registry_, "sbNewKey"};
    Button ZephraButton4{registry_, "ZephraButton4"};
    Label Label4{registry_, "Label4"};
    ComboBox cboPassword0{registry_, "cboPassword0"};
    Label Label5{registry_, "Label5"};
    ComboBox cboPassword1{registry_, "cboPassword1"};
    // Traffic
    TextBox txtReceive{registry_, "txtReceive"};
    Button Command1{registry_, "Command1"};

  private:
    void setDesignValues();
    void showAlarmLine();
    void wireShellEvents();
    void fillBlockList();
    void restoreKeys();
    void restoreRun();
    void addRunSettings(platform::SettingValues& values) const;
    std::string setting(const std::string& key, const std::string& defaultValue) const;
    int integerSetting(const std::string& key, int defaultValue, int minValue, int maxValue) const;

    platform::Platform& platform_;
    std::unique_ptr<platform::Timer> autoRecordTimer_;
    AlarmLine alarmLine_;
    std::function<void()> onEnd_;
    bool ended_ = false;
};

} // namespace zr::station
