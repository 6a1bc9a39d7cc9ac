#include "protocol/PortSearch.h"

#include "base/TextRules.h"
#include "protocol/CommandNames.h"
#include "protocol/Frames.h"

#include <string>

namespace zr::protocol {
namespace {

constexpr std::int32_t kProbePauseMs = 100;
constexpr std::int32_t kAnswerPauseMs = 200;
constexpr std::size_t kMinUidChars = 2;

void pause(station::Station& station, std::int32_t ms) {
    station.DelayWithEvents(ms);
}

} // namespace

void SendDirectCommand(station::Station& station, std::string_view requestName) {
    if (requestName != kProbeRequest) {
        return;
    }
    auto& serial = station.platform().serial;
    if (station.connType == "COM" && !serial.isOpen()) {
        station.showErr(station.say("COM Port 通訊錯誤！\r\n請確認連線及放置卡片！",
                                    "COM Port Error！\r\nPlease Check Connect Setting And Card!"));
        return;
    }
    pause(station, kProbePauseMs);
    station.currentCommand = command::kReadUid;
    const Frame probe = readUidFrame();
    station.sendSerialFrame(probe);
    std::string view = station.txtReceive.text();
    for (const std::uint8_t byte : probe) {
        view += std::to_string(byte);
        view += ' ';
    }
    station.txtReceive.setText(std::move(view));
    pause(station, kProbePauseMs);
}

void cmdSearchCOM_Click(station::Station& station) {
    auto& serial = station.platform().serial;
    if (serial.isOpen()) {
        serial.close();
    }
    station.txtUID.setText("");
    bool found = false;
    for (int i = 0; i < station.cboCOM.listCount() && !found; ++i) {
        // The probe's answer arrives during the pauses; it belongs to this port's probe only.
        const station::RequestLedger::WaitingSender waiting(station.requests);
        station.requests.forgetOpenRequests();
        station.cboCOM.setListIndex(i);
        SendDirectCommand(station, kProbeRequest);
        pause(station, kAnswerPauseMs);
        station.pump(station.tickCount());
        found = base::charCount(base::trimSpaces(station.txtUID.text())) >= kMinUidChars;
    }
    if (found) {
        station.showOK(station.say("COM Port 搜尋成功", "COM Port OK"));
    }
}

} // namespace zr::protocol
