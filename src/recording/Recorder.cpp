#include "recording/Recorder.h"

#include "protocol/Senders.h"
#include "recording/AttemptReasons.h"
#include "recording/LinkReasons.h"

namespace zr::recording {
namespace {

constexpr station::Colour kWhite = 0xFFFFFF;
constexpr station::Colour kBlack = 0x000000;
constexpr station::Colour kRed = 0x0000FF;
constexpr station::Colour kGreen = 0x00FF00;

constexpr int kProgrammerP1 = 0;
constexpr int kProgrammerP2 = 1;

constexpr int kHeightWithWriteButton = 10810;
constexpr int kHeightWithoutWriteButton = 8040;

} // namespace

void paintIndicator(station::Label& indicator, IndicatorLook look) {
    switch (look) {
    case IndicatorLook::Neutral:
        indicator.backColor = kWhite;
        indicator.foreColor = kBlack;
        return;
    case IndicatorLook::Failure:
        indicator.backColor = kRed;
        indicator.foreColor = kWhite;
        return;
    case IndicatorLook::Success:
        indicator.backColor = kGreen;
        indicator.foreColor = kBlack;
        return;
    }
}

Recorder::V3Login Recorder::loginV3ByModel() {
    bool answered = false;
    if (station_.cboProgrammer.listIndex() == kProgrammerP1) {
        logStep("V2_AssignAKey_P1");
        answered = protocol::SendV2LoginTypedKey(link_);
    } else if (station_.cboProgrammer.listIndex() == kProgrammerP2) {
        logStep("V2_AssignAKey");
        answered = protocol::SendV2LoginFixedKey(link_);
    } else {
        return V3Login::NotDue;
    }
    if (!answered) {
        return V3Login::Unanswered;
    }
    return station_.txtV2_AssignAKey.text() == "OK" ? V3Login::Accepted : V3Login::Refused;
}

Recorder::V3Layout Recorder::readV3Layout() {
    station::Station& s = station_;
    const V3Login login = loginV3ByModel();
    logStep("V2_ModifyAKey");
    protocol::SendV2ModifyKey(link_);
    logStep("V2_ReadCardCode");
    protocol::SendV2ReadCardCode(link_);
    V3Layout read;
    read.layoutsOwn = login == V3Login::Accepted;
    read.answered = !s.txtResponseReadCard.text().empty();
    read.number = s.txtResponseReadCard.text() == "OK" ? s.txtBlockIDV2.text() : std::string();
    if (!read.layoutsOwn) {
        // Whatever came back may be another layout's number: it is not shown as V3's.
        s.txtBlockIDV2.setText("");
    }
    return read;
}

void Recorder::logStep(const char* label) {
    std::string text = label;
    station_.WriteTrafficLog(text);
}

void Recorder::cmdRecordBlock_Click() {
    const BusyScope scope(*this);
    if (scope.entered()) {
        writeCard();
    }
}

void Recorder::cmdReadBack_Click() {
    const BusyScope scope(*this);
    if (!scope.entered()) {
        return;
    }
    // The read-back empties its fields first, also on a closed link.
    if (readBack()) {
        noteUnanswered();
        return;
    }
    linkOpenOrNoted();
}

// A command the programmer left without an answer of its own gets no reply message, so the
// alarm line says what happened.
void Recorder::runCommand(const std::function<void()>& command) {
    const BusyScope scope(*this);
    if (!scope.entered() || !linkOpenOrNoted()) {
        return;
    }
    command();
    noteUnanswered();
}

void Recorder::runOwnLinkCommand(const std::function<void()>& command) {
    const BusyScope scope(*this);
    if (scope.entered()) {
        command();
    }
}

// A click on a closed link would otherwise end without a frame, a traffic line or a message.
// The reason takes the alarm line's one slot, so repeated clicks never pile up.
bool Recorder::linkOpenOrNoted() {
    if (link_.linkUp()) {
        return true;
    }
    station_.noteFailure(linkClosedReason(link_));
    return false;
}

void Recorder::noteUnanswered() {
    const auto& replies = link_.requests.replies();
    if (replies.sends == 0 || replies.answers > 0) {
        return;
    }
    if (const auto reason = commandFailureReason(link_.currentCommand, ProgrammerAnswer::Silent)) {
        station_.noteFailure(*reason);
    }
}

void Recorder::chkAutoRecord_Click() {
    station_.timerAutoRecord.setEnabled(station_.chkAutoRecord.checked());
}

void Recorder::chkBlock_Click() {
    const bool advanced = station_.chkBlock.checked();
    station_.cmdRecordBlock.visible = advanced;
    station_.size2 = advanced ? kHeightWithWriteButton : kHeightWithoutWriteButton;
}

} // namespace zr::recording
