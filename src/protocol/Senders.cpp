#include "protocol/Senders.h"

#include "base/CardNumber.h"
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

bool SendV2LoginFixedKey(station::Station& station) {
    return sendShared(station,
                      {command::kV2AssignAKey, station.txtV2_AssignAKey, EarlyExit::OkOrNo,
                       ReplyLimit::interval(), fixed(v2LoginFixedKeyFrame(station.site.loginKey)),
                       EarlyExit::OkOrNo});
}

bool SendV2LoginTypedKey(station::Station& station) {
    return sendShared(station, {command::kV2AssignAKey, station.txtV2_AssignAKey, EarlyExit::OkOrNo,
                                ReplyLimit::interval(), typedKey(station, v2LoginTypedKeyFrame),
                                EarlyExit::OkOrNo});
}

bool SendV2ModifyKey(station::Station& station) {
    const auto build = typedKey(station, v2ModifyKeyFrame);
    if (!build()) {
        return false;
    }
    const bool changed =
        sendShared(station, {command::kV2ModifyAKey, station.txtV2_ModifyAKey, EarlyExit::Ok,
                             ReplyLimit::interval(), build, EarlyExit::OkOrNo});
    reportKeyChange(station, changed, station.txtV2_ModifyAKey);
    return changed;
}

bool SendV2WriteCardCode(station::Station& station) {
    return sendShared(station,
                      {command::kV2WriteCardCode, station.txtResponseRecordCard, EarlyExit::Ok,
                       ReplyLimit::interval(), cardNumber(station, station.lblv3), EarlyExit::Ok});
}

void SendV2ReadCardCode(station::Station& station) {
    const CountedCommand read{command::kV2ReadCardCode,
                              station.txtResponseReadCard,
                              command::kLabelV2ReadCardCode,
                              EarlyExit::Ok,
                              ReplyLimit::fixed(kV2ReadLimitMs),
                              kReadDelayMs,
                              true};
    // A "NO" leaves the field as it is, so an earlier card's number must not be there.
    station.txtBlockIDV2.setText("");
    if (!sendCounted(station, read, v2ReadCardCodeFrame())) {
        SendV2ModifyKey(station);
    }
}

bool SendReadUid(station::Station& station) {
    return sendCounted(station,
                       {command::kReadUid, station.txtReadUID, command::kLabelReadUid,
                        EarlyExit::Ok, ReplyLimit::fixed(kReadUidLimitMs), 0, false, true},
                       readUidFrame());
}

bool SendV1SelectType0(station::Station& station) {
    return sendCounted(station,
                       {command::kV1AssignAKey, station.txtV1_AssignAKey,
                        command::kLabelAssignCardType0, EarlyExit::Ok, ReplyLimit::interval()},
                       v1SelectTypeFrame(0));
}

bool SendV1SelectType1(station::Station& station) {
    return sendCounted(station,
                       {command::kV1LoadNewAKey, station.txtV1_LoadNewKey,
                        command::kLabelV1LoadNewAKey, EarlyExit::Ok,
                        ReplyLimit::fixed(kLoadNewKeyLimitMs)},
                       v1SelectTypeFrame(1));
}

bool SendV1ModifyKey(station::Station& station) {
    return sendCounted(station,
                       {command::kV1ModifyAKey, station.txtV1_ModifyAKey, command::kLabelModifyKey,
                        EarlyExit::OkOrNo, ReplyLimit::interval()},
                       v1ModifyKeyFrame());
}

bool SendV1LoginFixedKey(station::Station& station) {
    return sendShared(station, {command::kV1AssignAKey, station.txtV1_AssignAKey, EarlyExit::Ok,
                                ReplyLimit::interval(),
                                fixed(v1LoginFixedKeyFrame(station.site.loginKey)), EarlyExit::Ok});
}

bool SendV1ModifyFixedKey(station::Station& station) {
    const bool changed = sendShared(station, {command::kV1ModifyAKey, station.txtV1_ModifyAKey,
                                              EarlyExit::Ok, ReplyLimit::interval(),
                                              fixed(v1ModifyFixedKeyFrame(station.site.v1CardKey)),
                                              EarlyExit::OkOrNo});
    reportKeyChange(station, changed, station.txtV1_ModifyAKey);
    return changed;
}

bool SendV1ReadCardCode(station::Station& station) {
    return sendCounted(station,
                       {command::kV1ReadCardCode, station.txtV1_ReadCardCode,
                        command::kLabelReadCardCode, EarlyExit::Ok, ReplyLimit::interval(),
                        kReadDelayMs, false},
                       v1ReadCardCodeFrame());
}

bool SendV1WriteCardCode(station::Station& station) {
    return sendShared(station,
                      {command::kV1WriteCardCode, station.txtV1_WriteCardCode, EarlyExit::Ok,
                       ReplyLimit::interval(), cardNumber(station, station.lblv1), EarlyExit::Ok});
}

} // namespace zr::protocol
