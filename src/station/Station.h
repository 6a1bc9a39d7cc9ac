#pragma once

#include "platform/Platform.h"
#include "station/ControlArray.h"
#include "station/Controls.h"
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
// link selection, language). The subsystems work on it through its public members; the
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
    void cboCOM_Click();
    void sbCOM_Click();
    void sbTCPIP_Click();
    void sbConnect_Click();
    void cboProgrammer_Click();
    void chkLanguage_Click();
    void scrInterval_Change();
    void ApplyLanguage();
    // False when the store could not be written (it then keeps the previous set).
    bool SaveStationSettings();

    // --- Services the subsystems share ---------------------------------------------------
    bool english() const { return chkLanguage.value() != 0; }
    // The text for the language chosen at this moment.
    const char* say(const char* chinese, const char* english) const;
    // A success message in infoOK (infoErr emptied), or an error in infoErr (infoOK emptied).
    void showOK(std::string text);
    void showErr(std::string text);
    // Adds a line at the top of the traffic view.
    void addTrafficLine(std::string_view line);
    // Sends a request frame on the link that connType selects; nothing for any other value.
    void sendFrame(const std::vector<std::uint8_t>& frame);
    // Appends a line to the traffic log file while the window is large enough.
    void WriteTrafficLog(std::string& text);
    // Pumps events until more than `ms` milliseconds have passed.
    void DelayWithEvents(std::int32_t& ms);
    // Pumps events once, sleeping until an event or the tick `wakeAt`.
    void pump(std::uint32_t wakeAt) { platform_.loop.pumpEvents(wakeAt); }
    std::uint32_t tickCount() const { return platform_.loop.tickCount(); }
    // True once more than `limitMs` milliseconds have passed since the tick `start`.
    bool elapsedBeyond(std::uint32_t start, double limitMs) const;
    // Pumps events once, sleeping at most until elapsedBeyond(start, limitMs) holds.
    void pumpWithin(std::uint32_t start, double limitMs);
    // The one wait of the station: pumps events until `done` holds (true) or more than the
    // limit has passed since the call (false). The limit is read afresh on every pass, so a
    // changed txtInterval counts at once. Sleeps between events; never spins.
    bool waitWithEvents(const std::function<double()>& limitMs,
                        const std::function<bool()>& done = {});
    bool waitWithEvents(double limitMs, const std::function<bool()>& done = {});
    platform::Platform& platform() { return platform_; }
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
    std::string currentCommand;
    std::int16_t retryCount = 0;
    std::string lastWrittenUid;
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

    // --- Controls --------------------------------------------------------------------------
    // Link
    Label lblCaption{"lblCaption"};
    ComboBox cboCOM{"cboCOM"};
    Button cmdSearchCOM{"cmdSearchCOM"};
    Label Label3{"Label3"};
    TextBox txtIP{"txtIP"};
    Label Label9{"Label9"};
    TextBox txtPORT{"txtPORT"};
    Button sbCOM{"sbCOM"};
    Button sbTCPIP{"sbTCPIP"};
    Button sbConnect{"sbConnect"};
    // Card number and options
    TextBox txtGroupCode{"txtGroupCode"};
    Label Label1{"Label1"};
    TextBox txtCardCode{"txtCardCode"};
    Button cmdAdd{"cmdAdd"};
    Button cmdDec{"cmdDec"};
    CheckBox chkLock{"chkLock"};
    Label lblLock{"lblLock"};
    CheckBox chkAutoAdd{"chkAutoAdd"};
    Label lblAutoAdd{"lblAutoAdd"};
    CheckBox chkSound{"chkSound"};
    Label lblSound{"lblSound"};
    CheckBox chkAutoRecord{"chkAutoRecord"};
    Label lblAutoRecord{"lblAutoRecord"};
    CheckBox chkProgramV1{"chkProgramV1"};
    Label lblprogramV1{"lblprogramV1"};
    CheckBox chkProgramV3{"chkProgramV3"};
    Label lblProgramV3{"lblProgramV3"};
    ComboBox cboProgrammer{"cboProgrammer"};
    Button ZephraButton1{"ZephraButton1"};
    Label lblInterval{"lblInterval"};
    TextBox txtInterval{"txtInterval"};
    ScrollBar scrInterval{"scrInterval"};
    TimerControl timerAutoRecord{"timerAutoRecord"};
    CheckBox chkLanguage{"chkLanguage"};
    Label lblNote{"lblNote"};
    // Work buttons
    Button cmdRecordBlock{"cmdRecordBlock"};
    CheckBox chkBlock{"chkBlock"};
    Button cmdReadBack{"cmdReadBack"};
    Button cmdReadUID{"cmdReadUID"};
    Button cmdModifykey{"cmdModifykey"};
    Button cmdSendKeyToController{"cmdSendKeyToController"};
    Button cmdCalculate_A_Key{"cmdCalculate_A_Key"};
    Button CmdExit{"CmdExit"};
    // Single-command buttons and their status flags
    Button cmdV1_AssignAKey{"cmdV1_AssignAKey"};
    Button cmd_V1_ModifyKey{"cmd_V1_ModifyKey"};
    Button cmd_V1_LoadNewKey{"cmd_V1_LoadNewKey"};
    Button cmd_V1_ReadCardCode{"cmd_V1_ReadCardCode"};
    Button cmd_V1_WriteCardCode{"cmd_V1_WriteCardCode"};
    Button cmd_V3_AssignAKey{"cmd_V3_AssignAKey"};
    Button cmd_V3_AssignAKey_P1{"cmd_V3_AssignAKey_P1"};
    Button cmd_V3_ModifyAKey{"cmd_V3_ModifyAKey"};
    Button cmd_V3_WriteCardCode{"cmd_V3_WriteCardCode"};
    Button cmd_V2_ReadCardCode{"cmd_V2_ReadCardCode"};
    Button Command2{"Command2"};
    Button Command3{"Command3"};
    Button Command4{"Command4"};
    TextBox txtV1_AssignAKey{"txtV1_AssignAKey"};
    TextBox txtV1_ModifyAKey{"txtV1_ModifyAKey"};
    TextBox txtV1_LoadNewKey{"txtV1_LoadNewKey"};
    TextBox txtV1_ReadCardCode{"txtV1_ReadCardCode"};
    TextBox txtV1_WriteCardCode{"txtV1_WriteCardCode"};
    TextBox txtV2_AssignAKey{"txtV2_AssignAKey"};
    TextBox txtV2_ModifyAKey{"txtV2_ModifyAKey"};
    TextBox txtReadUID{"txtReadUID"};
    TextBox txtResponseReadCard{"txtResponseReadCard"};
    TextBox txtResponseRecordCard{"txtResponseRecordCard"};
    TextBox Text1{"Text1"};
    // Results
    Label lblUID{"lblUID"};
    TextBox txtUID2{"txtUID2"};
    Label lblV1Status{"lblV1Status"};
    TextBox txtBlockIDV1{"txtBlockIDV1"};
    Label lblV2Status{"lblV2Status"};
    TextBox txtBlockIDV2{"txtBlockIDV2"};
    Label Label2{"Label2"};
    TextBox txtUID{"txtUID"};
    Label Label10{"Label10"};
    TextBox txtV1CardCode{"txtV1CardCode"};
    Label Label8{"Label8"};
    TextBox txtV2CardCode{"txtV2CardCode"};
    TextBox txtUID_Record{"txtUID_Record"};
    TextBox txtV1_Record{"txtV1_Record"};
    TextBox txtV2_Record{"txtV2_Record"};
    Label lblv1{"lblv1"};
    Label lblv3{"lblv3"};
    Label infoOK{"infoOK"};
    Label infoErr{"infoErr"};
    // Keys
    Button sbBlock{"sbBlock"};
    ComboBox cboBlock{"cboBlock"};
    ControlArray<TextBox, 6> txtAKey{"txtAKey"};
    ControlArray<TextBox, 6> txtNewAKey{"txtNewAKey"};
    ControlArray<TextBox, 6> txtBKey{"txtBKey"};
    Button cmdSwitch{"cmdSwitch"};
    Label Label6{"Label6"};
    CheckBox chkSaveKey{"chkSaveKey"};
    Button sbAKey{"sbAKey"};
    Button sbNewKey{"sbNewKey"};
    Button ZephraButton4{"ZephraButton4"};
    Label Label4{"Label4"};
    ComboBox cboPassword0{"cboPassword0"};
    Label Label5{"Label5"};
    ComboBox cboPassword1{"cboPassword1"};
    // Traffic
    TextBox txtReceive{"txtReceive"};
    Button Command1{"Command1"};

  private:
    void setDesignValues();
    void wireShellEvents();
    void registerControls();
    void fillBlockList();
    void restoreKeys();
    std::string setting(const std::string& key, const std::string& defaultValue) const;
    void saveSetting(const std::string& key, const std::string& value);
    int integerSetting(const std::string& key, int defaultValue, int minValue, int maxValue) const;

    platform::Platform& platform_;
    std::unique_ptr<platform::Timer> autoRecordTimer_;
    std::map<std::string, Control*, std::less<>> controls_;
    std::function<void()> onEnd_;
    bool ended_ = false;
};

} // namespace zr::station
