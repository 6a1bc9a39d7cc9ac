#include "protocol/ReplyDispatch.h"

#include "base/CardNumber.h"
#include "base/TextRules.h"
#include "keys/KeyProcedures.h"
#include "protocol/CommandNames.h"
#include "protocol/ReplyText.h"

#include <array>
#include <string_view>

namespace zr::protocol {
namespace {

using station::Station;

constexpr std::size_t kUidMinChars = 10;
constexpr std::size_t kCardNumberChars = 10;

constexpr const char* kWrittenChinese = "卡號寫入成功，請更換卡片!";
constexpr const char* kWrittenEnglish = "Card Written OK.\r\nChange Another Card!";

std::string writtenMessage(const Station& station) {
    return station.say(kWrittenChinese, kWrittenEnglish);
}

void setFlag(station::TextBox& flag, const std::string& reply) {
    flag.setText(reply);
}

void onUid(Station& station, const std::string& reply) {
    if (base::charCount(reply) < kUidMinChars) {
        station.txtReadUID.setText("NO");
        return;
    }
    // Noise, two replies run together or a UID with a half above 65535 would otherwise be
    // filed as the card's UID, and its key derived from what is no UID at all.
    const std::string uid = withoutOkAndNo(reply);
    if (!base::isCardUid(uid)) {
        station.txtReadUID.setText("NO");
        station.showErr(station.say("無法讀取卡片 UID，請重新放置卡片!",
                                    "The card's UID could not be read. Lay the card on again!"));
        return;
    }
    station.txtUID.setText(uid);
    station.txtUID2.setText(base::splitForm(station.txtUID.text()));
    station.txtReadUID.setText("OK");
    // The same derivation the operator's button runs: the key boxes hold the card's key
    // before the sender that waits for the UID returns.
    keys::cmdCalculate_A_Key_Click(station);
    station.txtUID.setText(withoutOkAndNo(station.txtUID.text()));
    // Compared after cleaning: a programmer that mixes "OK" into its UID replies still shows
    // the card just written as such.
    if (station.txtUID.text() == station.lastWrittenUid) {
        station.showOK(writtenMessage(station));
    } else {
        station.showOK(station.say("卡片寫入中......", "Card Recording ......"));
    }
}

void onV1CardNumber(Station& station, const std::string& reply) {
    station.txtV1_ReadCardCode.setText(reply);
    if (base::charCount(reply) != kCardNumberChars) {
        station.txtV1_ReadCardCode.setText("NO");
        return;
    }
    station.txtBlockIDV1.setText(withoutOkAndNo(reply));
    station.txtBlockIDV1.setText(base::splitForm(station.txtBlockIDV1.text()));
    if (base::leftChars(station.txtUID.text(), 2) == "OK") {
        station.platform().desktop.messageBox(station.txtUID.text(), kApplicationTitle);
    }
    station.txtV1_ReadCardCode.setText("OK");
}

std::string cardNumberOnWindow(const Station& station) {
    return base::displayForm(station.txtGroupCode.text(), station.txtCardCode.text());
}

void onV1Write(Station& station, const std::string& reply) {
    station.txtV1_WriteCardCode.setText(reply);
    // Like the V3 write: a refusal says so, instead of leaving the step before's green line.
    if (reply != "OK") {
        showWriteFault(station);
        return;
    }
    station.txtBlockIDV1.setText(cardNumberOnWindow(station));
    station.showOK(writtenMessage(station));
    station.lastWrittenUid = station.txtUID.text();
}

void onV2Login(Station& station, const std::string& reply) {
    station.txtV2_AssignAKey.setText(reply);
    if (reply == "NO") {
        station.showErr(station.say("載入 A KEY 失敗!", "Load A Key Fault !"));
    } else {
        station.infoErr.caption.clear();
    }
}

void onV2Write(Station& station, const std::string& reply) {
    station.txtResponseRecordCard.setText(reply);
    // Only "OK" is a written card; "NO", "ER" or noise all leave the sender failing.
    if (reply != "OK") {
        showWriteFault(station);
        return;
    }
    station.txtBlockIDV2.setText(cardNumberOnWindow(station));
    station.showOK(writtenMessage(station));
}

void onV2CardNumber(Station& station, const std::string& reply) {
    if (reply != "NO") {
        station.txtBlockIDV2.setText(reply);
        station.txtBlockIDV2.setText(base::splitForm(station.txtBlockIDV2.text()));
    }
    const bool read = base::charCount(station.txtBlockIDV2.text()) > kCardNumberChars;
    station.txtResponseReadCard.setText(read ? "OK" : "NO");
    if (!read) {
        station.showErr(station.say("讀取卡片中...", "Read Card Number ..."));
        return;
    }
    if (station.txtUID.text() == station.txtUID_Record.text() &&
        station.infoOK.caption != kWrittenChinese) {
        station.infoOK.caption = "卡片重覆讀取，請更換卡片!";
    }
    station.infoErr.caption.clear();
}

void onKeyDownload(Station& station, const std::string& reply) {
    if (reply == "OK") {
        station.infoOK.caption = "卡機下載 A KEY 成功";
    }
}

struct Route {
    std::string_view label;
    void (*handle)(Station&, const std::string&);
};

constexpr std::array<Route, 11> kRoutes{{
    {command::kReadUid, onUid},
    {command::kV1AssignAKey,
     [](Station& s, const std::string& r) { setFlag(s.txtV1_AssignAKey, r); }},
    {command::kV1ModifyAKey,
     [](Station& s, const std::string& r) { setFlag(s.txtV1_ModifyAKey, r); }},
    {command::kV1LoadNewAKey,
     [](Station& s, const std::string& r) { setFlag(s.txtV1_LoadNewKey, r); }},
    {command::kV1ReadCardCode, onV1CardNumber},
    {command::kV1WriteCardCode, onV1Write},
    {command::kV2AssignAKey, onV2Login},
    {command::kV2ModifyAKey,
     [](Station& s, const std::string& r) { setFlag(s.txtV2_ModifyAKey, r); }},
    {command::kV2WriteCardCode, onV2Write},
    {command::kV2ReadCardCode, onV2CardNumber},
    {command::kKeyToController, onKeyDownload},
}};

const Route* routeFor(std::string_view currentCommand) {
    const std::string wanted = base::upperAscii(currentCommand);
    for (const Route& route : kRoutes) {
        if (base::upperAscii(route.label) == wanted) {
            return &route;
        }
    }
    return nullptr;
}

} // namespace

void showWriteFault(Station& station) {
    station.showErr(station.say("寫碼失敗!", "Write Card Number Fault!"));
}

void DispatchReply(ProgrammerLink& link, std::string& reply) {
    Station& station = link.station();
    const Route* route = routeFor(link.currentCommand);
    // A short UID reply only tells the waiting sender; it leaves no line.
    const bool shortUid = route != nullptr && route->label == command::kReadUid &&
                          base::charCount(reply) < kUidMinChars;
    // The line names the command the reply was routed by, even if a handler raised below
    // starts another one.
    const std::string line = link.currentCommand + " - " + reply;
    if (route != nullptr) {
        route->handle(station, reply);
    }
    if (!shortUid) {
        station.addTrafficLine(line);
    }
}

} // namespace zr::protocol
