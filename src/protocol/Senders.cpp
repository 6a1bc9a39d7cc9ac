#include "protocol/Senders.h"

#include "base/CardNumber.h"
#include "keys/ControllerFrame.h"
#include "protocol/CommandNames.h"
#include "protocol/Exchange.h"
#include "protocol/Frames.h"

#include <string>

namespace zr::protocol {
namespace {

constexpr std::int32_t kReadDelayMs = 200;
constexpr std::uint32_t kReadUidLimitMs = 300;
constexpr std::uint32_t kLoadNewKeyLimitMs = 300;
constexpr std::uint32_t kV2ReadLimitMs = 250;

std::function<std::optional<Frame>()> fixed(Frame frame) {
    return [frame = std::move(frame)]() -> std::optional<Frame> { return frame; };
}

// A frame from the current A key boxes; a box that is not one byte is refused aloud.
std::function<std::optional<Frame>()>
typedKey(station::Station& station, KeyFrameResult (*frameFromBoxes)(const keys::KeyBoxes&)) {
    return [&station, frameFromBoxes]() -> std::optional<Frame> {
        keys::KeyBoxes boxes;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            boxes[i] = station.txtAKey[i].text();
        }
        const KeyFrameResult frame = frameFromBoxes(boxes);
        if (!frame) {
            station.showErr(keys::keyBoxErrorMessage(frame.error(), keys::KeyRow::CurrentAKey,
                                                     station.english()));
            return std::nullopt;
        }
        return frame.value();
    };
}

// The write frame from the card number fields; the lock state is shown in `lockCaption`.
std::function<std::optional<Frame>()> cardNumber(station::Station& station,
                                                 station::Label& lockCaption) {
    return [&station, &lockCaption]() -> std::optional<Frame> {
        lockCaption.caption = std::to_string(station.chkLock.value());
        const auto payload = base::encodeCardNumber(
            station.txtGroupCode.text(), station.txtCardCode.text(), station.chkLock.checked());
        if (!payload) {
            station.showErr(std::string(base::cardNumberOutOfRangeMessage(station.english())));
            return std::nullopt;
        }
        return writeCardCodeFrame(*payload);
    };
}

// A key change answered "NO" lets the sequence go on, but the operator learns it failed.
void reportKeyChange(station::Station& station, bool answered, const station::TextBox& flag) {
    if (answered && flag.text() == "OK") {
        station.showOK("修改卡片 KEY 成功");
    } else {
        station.showErr(station.say("修改卡片 KEY 失敗!", "Modify Key Fault!"));
    }
}

} // namespace

bool SendV2LoginFixedKey(ProgrammerLink& link) {
    station::Station& station = link.station();
    return sendShared(link, {.name = command::kV2AssignAKey,
                             .flag = station.txtV2_AssignAKey,
                             .earlyExit = EarlyExit::OkOrNo,
                             .limit = ReplyLimit::interval(),
                             .buildFrame = fixed(v2LoginFixedKeyFrame(station.site.loginKey)),
                             .successOn = EarlyExit::OkOrNo});
}

bool SendV2LoginTypedKey(ProgrammerLink& link) {
    station::Station& station = link.station();
    return sendShared(link, {.name = command::kV2AssignAKey,
                             .flag = station.txtV2_AssignAKey,
                             .earlyExit = EarlyExit::OkOrNo,
                             .limit = ReplyLimit::interval(),
                             .buildFrame = typedKey(station, v2LoginTypedKeyFrame),
                             .successOn = EarlyExit::OkOrNo});
}

bool SendV2ModifyKey(ProgrammerLink& link) {
    station::Station& station = link.station();
    const auto build = typedKey(station, v2ModifyKeyFrame);
    if (!build()) {
        return false;
    }
    const bool changed = sendShared(link, {.name = command::kV2ModifyAKey,
                                           .flag = station.txtV2_ModifyAKey,
                                           .earlyExit = EarlyExit::Ok,
                                           .limit = ReplyLimit::interval(),
                                           .buildFrame = build,
                                           .successOn = EarlyExit::OkOrNo});
    reportKeyChange(station, changed, station.txtV2_ModifyAKey);
    return changed;
}

bool SendV2WriteCardCode(ProgrammerLink& link) {
    station::Station& station = link.station();
    return sendShared(link, {.name = command::kV2WriteCardCode,
                             .flag = station.txtResponseRecordCard,
                             .earlyExit = EarlyExit::Ok,
                             .limit = ReplyLimit::interval(),
                             .buildFrame = cardNumber(station, station.lblv3),
                             .successOn = EarlyExit::Ok});
}

void SendV2ReadCardCode(ProgrammerLink& link) {
    station::Station& station = link.station();
    const CountedCommand read{.name = command::kV2ReadCardCode,
                              .flag = station.txtResponseReadCard,
                              .label = command::kLabelV2ReadCardCode,
                              .earlyExit = EarlyExit::Ok,
                              .limit = ReplyLimit::fixed(kV2ReadLimitMs),
                              .delayBeforeMs = kReadDelayMs,
                              .emptyFlagBeforeDelay = true};
    // A "NO" leaves the field as it is, so an earlier card's number must not be there.
    station.txtBlockIDV2.setText("");
    if (!sendCounted(link, read, v2ReadCardCodeFrame())) {
        SendV2ModifyKey(link);
    }
}

bool SendReadUid(ProgrammerLink& link) {
    return sendCounted(link,
                       {.name = command::kReadUid,
                        .flag = link.station().txtReadUID,
                        .label = command::kLabelReadUid,
                        .earlyExit = EarlyExit::Ok,
                        .limit = ReplyLimit::fixed(kReadUidLimitMs),
                        .onlyLatestReply = true},
                       readUidFrame());
}

bool SendV1SelectType0(ProgrammerLink& link) {
    return sendCounted(link,
                       {.name = command::kV1AssignAKey,
                        .flag = link.station().txtV1_AssignAKey,
                        .label = command::kLabelAssignCardType0,
                        .earlyExit = EarlyExit::Ok,
                        .limit = ReplyLimit::interval()},
                       v1SelectTypeFrame(0));
}

bool SendV1SelectType1(ProgrammerLink& link) {
    return sendCounted(link,
                       {.name = command::kV1LoadNewAKey,
                        .flag = link.station().txtV1_LoadNewKey,
                        .label = command::kLabelV1LoadNewAKey,
                        .earlyExit = EarlyExit::Ok,
                        .limit = ReplyLimit::fixed(kLoadNewKeyLimitMs)},
                       v1SelectTypeFrame(1));
}

bool SendV1ModifyKey(ProgrammerLink& link) {
    return sendCounted(link,
                       {.name = command::kV1ModifyAKey,
                        .flag = link.station().txtV1_ModifyAKey,
                        .label = command::kLabelModifyKey,
                        .earlyExit = EarlyExit::OkOrNo,
                        .limit = ReplyLimit::interval()},
                       v1ModifyKeyFrame());
}

bool SendV1LoginFixedKey(ProgrammerLink& link) {
    station::Station& station = link.station();
    return sendShared(link, {.name = command::kV1AssignAKey,
                             .flag = station.txtV1_AssignAKey,
                             .earlyExit = EarlyExit::Ok,
                             .limit = ReplyLimit::interval(),
                             .buildFrame = fixed(v1LoginFixedKeyFrame(station.site.loginKey)),
                             .successOn = EarlyExit::Ok});
}

bool SendV1ModifyFixedKey(ProgrammerLink& link) {
    station::Station& station = link.station();
    const bool changed =
        sendShared(link, {.name = command::kV1ModifyAKey,
                          .flag = station.txtV1_ModifyAKey,
                          .earlyExit = EarlyExit::Ok,
                          .limit = ReplyLimit::interval(),
                          .buildFrame = fixed(v1ModifyFixedKeyFrame(station.site.v1CardKey)),
                          .successOn = EarlyExit::OkOrNo});
    reportKeyChange(station, changed, station.txtV1_ModifyAKey);
    return changed;
}

bool SendV1ReadCardCode(ProgrammerLink& link) {
    return sendCounted(link,
                       {.name = command::kV1ReadCardCode,
                        .flag = link.station().txtV1_ReadCardCode,
                        .label = command::kLabelReadCardCode,
                        .earlyExit = EarlyExit::Ok,
                        .limit = ReplyLimit::interval(),
                        .delayBeforeMs = kReadDelayMs},
                       v1ReadCardCodeFrame());
}

bool SendV1WriteCardCode(ProgrammerLink& link) {
    station::Station& station = link.station();
    return sendShared(link, {.name = command::kV1WriteCardCode,
                             .flag = station.txtV1_WriteCardCode,
                             .earlyExit = EarlyExit::Ok,
                             .limit = ReplyLimit::interval(),
                             .buildFrame = cardNumber(station, station.lblv1),
                             .successOn = EarlyExit::Ok});
}

void cmdSendKeyToController_Click(ProgrammerLink& link) {
    station::Station& station = link.station();
    link.currentCommand = keys::kControllerCommandName;
    station.infoErr.caption.clear();
    station.infoOK.caption.clear();

    if (!station.platform().serial.isOpen()) {
        station.showErr(std::string(keys::serialPortClosedMessage(station.english())));
        return;
    }
    keys::KeyBoxes newKey;
    for (std::size_t i = 0; i < newKey.size(); ++i) {
        newKey[i] = station.txtNewAKey[i].text();
    }
    const auto frame = keys::buildControllerFrame(station.cboBlock.text, newKey);
    if (!frame) {
        station.showErr(keys::controllerFrameErrorMessage(frame.error(), station.english()));
        return;
    }
    // Nobody waits for the controller's answer; it is shown whenever it comes, unless another
    // command has started by then.
    link.sendSerialFrame(frame.value(), ReplyAwaited::ByNobody);
}

} // namespace zr::protocol
