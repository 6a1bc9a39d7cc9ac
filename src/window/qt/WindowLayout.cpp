// The window's layout. The areas are cut so that the window sizes the station sets show
// exactly the intended parts: 9570 x 8000 (sbBlock) the operator's area alone; 12800 x 8777
// (administrator unlock) adds the administrator's column and the block row; a height of 10810
// (chkBlock checked) adds the block and key rows, 8040 hides them again; the design size 19200 x
// 11200 shows everything, the single commands, the card-form note and the traffic view on the
// right included. No control crosses the edge of any of these sizes that shows it (the window
// leaves out a control it would cut), and every text fits its box in its font in both
// languages (tests/window/window_fit_test.cpp).
#include "window/qt/WindowLayout.h"

#include <string_view>

namespace zr::window::qt {
namespace {

std::vector<Place> buildLayout() {
    using F = FontKind;
    std::vector<Place> places = {
        // Operator's area: x 120..9330, y 105..7495 (the client area of sbBlock's size is 9450 x
        // 7550).
        {"lblCaption", 120, 150, 560, 285},
        {"cboCOM", 720, 120, 1500, 345, F::Normal, "lblCaption"},
        {"sbCOM", 2340, 105, 1000, 375},
        {"sbTCPIP", 3420, 105, 1000, 375},
        {"cmdSearchCOM", 4500, 105, 1700, 375},
        {"Label3", 120, 630, 700, 285},
        {"txtIP", 840, 600, 1900, 345, F::Normal, "Label3"},
        {"Label9", 2820, 630, 600, 285},
        {"txtPORT", 3420, 600, 1000, 345, F::Normal, "Label9"},
        {"sbConnect", 4500, 585, 1700, 375},
        {"txtGroupCode", 120, 1080, 2200, 630, F::CardNumber, "", "Group code"},
        {"Label1", 2340, 1080, 300, 630, F::CardNumber},
        {"txtCardCode", 2660, 1080, 2200, 630, F::CardNumber, "", "Card code"},
        {"cmdAdd", 4980, 1080, 700, 630},
        {"cmdDec", 5760, 1080, 700, 630},
        {"chkLock", 120, 1830, 360, 360, F::Normal, "lblLock"},
        {"lblLock", 540, 1867, 2600, 285},
        {"chkBlock", 3300, 1830, 1900, 360},
        {"chkAutoAdd", 120, 2220, 360, 360, F::Normal, "lblAutoAdd"},
        {"lblAutoAdd", 540, 2257, 2600, 285},
        {"chkSound", 120, 2610, 360, 360, F::Normal, "lblSound"},
        {"lblSound", 540, 2647, 2600, 285},
        {"chkAutoRecord", 120, 3000, 360, 360, F::Normal, "lblAutoRecord"},
        {"lblAutoRecord", 540, 3037, 2600, 285},
        {"chkProgramV1", 5400, 1830, 360, 360, F::Normal, "lblprogramV1"},
        {"lblprogramV1", 5820, 1867, 2600, 285},
        {"chkProgramV3", 5400, 2220, 360, 360, F::Normal, "lblProgramV3"},
        {"lblProgramV3", 5820, 2257, 2600, 285},
        {"cmdRecordBlock", 120, 3570, 2700, 720, F::WorkButton},
        {"cmdReadBack", 2920, 3570, 2700, 720, F::WorkButton},
        {"cmdReadUID", 5720, 3570, 1900, 720, F::WorkButton},
        {"CmdExit", 7720, 3570, 1600, 720, F::WorkButton},
        {"lblUID", 120, 4410, 1500, 330},
        {"txtUID2", 1700, 4410, 2800, 345, F::Normal, "lblUID"},
        {"lblV1Status", 120, 4800, 1500, 330},
        {"txtBlockIDV1", 1700, 4800, 2800, 345, F::Normal, "lblV1Status"},
        {"lblV2Status", 120, 5190, 1500, 330},
        {"txtBlockIDV2", 1700, 5190, 2800, 345, F::Normal, "lblV2Status"},
        // The alarm line under the register panel, two lines: an alarm stays until acknowledged.
        {"lblAlarm", 4600, 5265, 3420, 540},
        {"cmdAlarmAck", 8080, 5345, 1240, 375},
        // Two lines of the message font and a small margin each.
        {"infoOK", 120, 5820, 9200, 810, F::Message},
        {"infoErr", 120, 6685, 9200, 810, F::Message},
        // Administrator's column: x 9600..12200.
        {"ZephraButton1", 9600, 105, 2600, 375},
        {"cboProgrammer", 9600, 540, 2600, 345, F::Normal, "ZephraButton1"},
        {"lblInterval", 9600, 1020, 1000, 285},
        {"txtInterval", 10650, 990, 800, 345, F::Normal, "lblInterval"},
        {"scrInterval", 9600, 1440, 2600, 285, F::Normal, "lblInterval"},
        {"chkLanguage", 9600, 1860, 2600, 360},
        // Block row: y 7650..8025 (the unlock shows it); key rows: y 8400..10280.
        {"sbBlock", 120, 7650, 1100, 375},
        {"cboBlock", 1300, 7665, 2900, 345, F::Normal, "sbBlock"},
        {"Label6", 4300, 7695, 1700, 285},
        {"chkSaveKey", 6000, 7650, 360, 360, F::Normal, "Label6"},
        {"cmdCalculate_A_Key", 6500, 7650, 1400, 375},
    };
    const char* rows[3][2] = {
        {"sbAKey", "txtAKey"}, {"sbNewKey", "txtNewAKey"}, {"ZephraButton4", "txtBKey"}};
    for (int row = 0; row < 3; ++row) {
        const int y = 8400 + row * 450;
        places.push_back({rows[row][0], 120, y, 1100, 375});
        for (int box = 0; box < 6; ++box) {
            places.push_back({std::string(rows[row][1]) + "(" + std::to_string(box) + ")",
                              1300 + box * 520, y + 15, 460, 345, F::Normal, rows[row][0]});
        }
        if (row == 0) {
            places.push_back({"cmdSwitch", 4480, 8400, 600, 825, F::Normal, "", "Swap A keys"});
        }
    }
    const std::vector<Place> tail = {
        {"Label4", 5300, 8430, 1400, 285},
        {"cboPassword0", 6750, 8400, 2400, 345, F::Normal, "Label4"},
        {"Label5", 5300, 8880, 1400, 285},
        {"cboPassword1", 6750, 8850, 2400, 345, F::Normal, "Label5"},
        // Inside the 9450 twips sbBlock's width leaves.
        {"cmdModifykey", 5300, 9780, 1950, 500},
        {"cmdSendKeyToController", 7330, 9780, 2000, 500},
        // Single commands and their status flags: x 12840..15800.
        {"cmdV1_AssignAKey", 12840, 120, 2300, 375},
        {"txtV1_AssignAKey", 15200, 135, 600, 345, F::Normal, "cmdV1_AssignAKey"},
        {"cmd_V1_ModifyKey", 12840, 540, 2300, 375},
        {"txtV1_ModifyAKey", 15200, 555, 600, 345, F::Normal, "cmd_V1_ModifyKey"},
        {"cmd_V1_LoadNewKey", 12840, 960, 2300, 375},
        {"txtV1_LoadNewKey", 15200, 975, 600, 345, F::Normal, "cmd_V1_LoadNewKey"},
        {"cmd_V1_ReadCardCode", 12840, 1380, 2300, 375},
        {"txtV1_ReadCardCode", 15200, 1395, 600, 345, F::Normal, "cmd_V1_ReadCardCode"},
        {"cmd_V1_WriteCardCode", 12840, 1800, 2300, 375},
        {"txtV1_WriteCardCode", 15200, 1815, 600, 345, F::Normal, "cmd_V1_WriteCardCode"},
        {"cmd_V3_AssignAKey_P1", 12840, 2220, 2300, 375},
        {"txtReadUID", 15200, 2235, 600, 345, F::Normal, "", "ReadUID status"},
        {"cmd_V3_AssignAKey", 12840, 2640, 2300, 375},
        {"txtV2_AssignAKey", 15200, 2655, 600, 345, F::Normal, "cmd_V3_AssignAKey"},
        {"cmd_V3_ModifyAKey", 12840, 3060, 2300, 375},
        {"txtV2_ModifyAKey", 15200, 3075, 600, 345, F::Normal, "cmd_V3_ModifyAKey"},
        {"cmd_V3_WriteCardCode", 12840, 3480, 2300, 375},
        {"txtResponseRecordCard", 15200, 3495, 600, 345, F::Normal, "cmd_V3_WriteCardCode"},
        {"cmd_V2_ReadCardCode", 12840, 3900, 2300, 375},
        {"txtResponseReadCard", 15200, 3915, 600, 345, F::Normal, "cmd_V2_ReadCardCode"},
        {"Command2", 12840, 4320, 2300, 375},
        {"Text1", 15200, 4335, 600, 345, F::Normal, "", "Spare status"},
        {"Command3", 12840, 4740, 2300, 375},
        {"Command4", 12840, 5160, 2300, 375},
        // Results: x 15900..19000.
        {"Label2", 15900, 150, 1100, 285},
        {"txtUID", 17050, 120, 1900, 345, F::Normal, "Label2"},
        {"Label10", 15900, 570, 1100, 285},
        {"txtV1CardCode", 17050, 540, 1900, 345, F::Normal, "Label10"},
        {"Label8", 15900, 990, 1100, 285},
        {"txtV2CardCode", 17050, 960, 1900, 345, F::Normal, "Label8"},
        {"lblv1", 15900, 1410, 500, 285, F::Normal, "", "V1 lock"},
        {"txtV1_Record", 16450, 1380, 2500, 345, F::Normal, "", "V1 card written last"},
        {"lblv3", 15900, 1830, 500, 285, F::Normal, "", "V3 lock"},
        {"txtV2_Record", 16450, 1800, 2500, 345, F::Normal, "", "V3 card written last"},
        {"txtUID_Record", 16450, 2220, 2500, 345, F::Normal, "", "UID written last"},
        {"Command1", 15900, 2700, 3050, 375},
        // The card-form note in its four lines, wider than the administrator's column could
        // ever be: the full width shows it.
        {"lblNote", 9600, 5650, 7560, 1110},
        // Traffic view.
        {"txtReceive", 12840, 6850, 6120, 3450, F::Traffic, "", "Traffic"},
    };
    places.insert(places.end(), tail.begin(), tail.end());
    const std::vector<Place>& runs = runControlsLayout();
    places.insert(places.end(), runs.begin(), runs.end());
    return places;
}

} // namespace

const std::vector<Place>& windowLayout() {
    static const std::vector<Place> layout = buildLayout();
    return layout;
}

} // namespace zr::window::qt
