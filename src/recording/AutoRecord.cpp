// The automatic recording loop: one tick a second probes the card on the programmer and
// writes every card that is not the one written last.
#include "recording/Recorder.h"

namespace zr::recording {

bool Recorder::linkUpOrShowMessage() {
    station::Station& s = station_;
    if (linkUp(s)) {
        return true;
    }
    if (s.connType == "COM") {
        s.showErr(s.say("COM Port 通訊錯誤！\r\n請確認連線及放置卡片！",
                        "COM Port Error！\r\nPlease Check Connect Setting And Card!"));
    } else {
        s.showErr(s.say("TCPIP 通訊錯誤！\r\n請確認連線及放置卡片！",
                        "TCPIP Error！\r\nPlease Check Connect Setting And Card!"));
    }
    return false;
}

void Recorder::timerAutoRecord_Timer() {
    const BusyScope scope(*this);
    if (!scope.entered()) {
        return;
    }
    station::Station& s = station_;
    s.txtReceive.setText("");
    s.timerAutoRecord.setEnabled(false);
    if (linkUpOrShowMessage() && s.chkBlock.checked()) {
        ProbeNewCard();
        if (s.txtUID.text() != s.txtUID_Record.text()) {
            writeCard();
        }
    }
    // Unchecking automatic recording during the tick stops the loop here.
    s.timerAutoRecord.setEnabled(s.chkAutoRecord.checked());
}

} // namespace zr::recording
