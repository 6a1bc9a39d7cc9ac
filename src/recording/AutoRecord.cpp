// The automatic recording loop: one tick a second probes the card on the programmer and
// writes every card that is not the one written last.
#include "recording/Recorder.h"

namespace zr::recording {
namespace {

// A link that dropped is opened again by the loop itself, at once and then at this pace, so a
// bench whose programmer restarts goes on without the operator.
constexpr std::uint32_t kReconnectEveryMs = 2000;

} // namespace

bool Recorder::linkUpOrReconnect() {
    station::Station& s = station_;
    if (link_.linkUp()) {
        lastReconnect_.reset();
        return true;
    }
    const std::uint32_t now = s.tickCount();
    if (!lastReconnect_ || platform::ticksSince(*lastReconnect_, now) >= kReconnectEveryMs) {
        lastReconnect_ = now;
        if (link_.reconnectLink()) {
            return true;
        }
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
    if (linkUpOrReconnect() && s.chkBlock.checked()) {
        ProbeNewCard();
        if (s.txtUID.text() != s.txtUID_Record.text()) {
            writeCard();
        }
    }
    // Unchecking automatic recording during the tick stops the loop here.
    s.timerAutoRecord.setEnabled(s.chkAutoRecord.checked());
}

} // namespace zr::recording
