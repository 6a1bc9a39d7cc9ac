// Reading a card without writing it: the operator's read-back and the automatic loop's
// new-card probe.
#include "protocol/Senders.h"
#include "recording/Recorder.h"

namespace zr::recording {
namespace {

constexpr std::int32_t kPauseAfterUidMs = 200; // elapsed > 200, so at least 201 ms

} // namespace

// The V1 read is the same in the read-back and the probe.
void Recorder::readV1() {
    logStep("AssignCardType");
    protocol::SendV1LoginFixedKey(link_);
    logStep("LoadNewKey");
    protocol::SendV1SelectType1(link_);
    logStep("ReadCardCode");
    protocol::SendV1ReadCardCode(link_);
}

std::optional<ReadBackResult> Recorder::readBack() {
    station::Station& s = station_;
    s.txtUID2.setText("");
    s.txtBlockIDV1.setText("");
    s.txtBlockIDV2.setText("");
    if (!link_.linkUp()) {
        return std::nullopt;
    }
    ReadBackResult result;
    logStep("cmdReadUID_Click");
    if (protocol::SendReadUid(link_)) {
        result.uidRead = true;
        result.uid = s.txtUID.text();
        std::int32_t pause = kPauseAfterUidMs;
        link_.DelayWithEvents(pause);
        readV1();
        const V3Layout v3 = readV3Layout();
        result.v1Read = s.txtV1_ReadCardCode.text() == "OK";
        result.v1Number = result.v1Read ? s.txtBlockIDV1.text() : std::string();
        result.v3Read = v3.layoutsOwn && !v3.number.empty();
        result.v3Number = result.v3Read ? v3.number : std::string();
    }
    if (sink_ != nullptr) {
        sink_->recordReadBack(result);
    }
    return result;
}

void Recorder::ProbeNewCard() {
    station::Station& s = station_;
    if (!link_.linkUp()) {
        return;
    }
    logStep("cmdReadUID_Click");
    if (!protocol::SendReadUid(link_) || s.txtUID.text() == s.txtUID_Record.text()) {
        return;
    }
    s.txtBlockIDV1.setText("");
    s.txtBlockIDV2.setText("");
    if (s.chkProgramV1.checked()) {
        readV1();
    }
    if (s.chkProgramV3.checked()) {
        logStep("ChipV2_AssignAKey");
        protocol::SendV2LoginFixedKey(link_);
        logStep("ChipV2_ModifyAKey");
        protocol::SendV2ModifyKey(link_);
        logStep("ReadBlockCardCode");
        protocol::SendV2ReadCardCode(link_);
    }
}

} // namespace zr::recording
