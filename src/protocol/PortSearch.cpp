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

void pause(ProgrammerLink& link, std::int32_t ms) {
    link.DelayWithEvents(ms);
}

} // namespace

void SendDirectCommand(ProgrammerLink& link, std::string_view requestName) {
    if (requestName != kProbeRequest) {
        return;
    }
    station::Station& station = link.station();
    auto& serial = station.platform().serial;
    if (station.connType == "COM" && !serial.isOpen()) {
        station.showErr(station.say("COM Port 通訊錯誤！\r\n請確認連線及放置卡片！",
                                    "COM Port Error！\r\nPlease Check Connect Setting And Card!"));
        return;
    }
    pause(link, kProbePauseMs);
    link.currentCommand = command::kReadUid;
    const Frame probe = readUidFrame();
    link.sendSerialFrame(probe);
    std::string view = station.txtReceive.text();
    for (const std::uint8_t byte : probe) {
        view += std::to_string(byte);
        view += ' ';
    }
    station.txtReceive.setText(std::move(view));
    pause(link, kProbePauseMs);
}

void cmdSearchCOM_Click(ProgrammerLink& link) {
    station::Station& station = link.station();
    auto& serial = station.platform().serial;
    if (serial.isOpen()) {
        serial.close();
    }
    station.txtUID.setText("");
    bool found = false;
    for (int i = 0; i < station.cboCOM.listCount() && !found; ++i) {
        // The probe's answer arrives during the pauses; it belongs to this port's probe only.
        const station::RequestLedger::WaitingSender waiting(link.requests);
        link.requests.forgetOpenRequests();
        station.cboCOM.setListIndex(i);
        SendDirectCommand(link, kProbeRequest);
        pause(link, kAnswerPauseMs);
        link.pump(station.tickCount());
        found = base::charCount(base::trimSpaces(station.txtUID.text())) >= kMinUidChars;
    }
    // The alarm line tells the outcome: the probe goes out as a UID read, and the line would
    // otherwise blame a card's UID for a port search that found nobody.
    if (found) {
        station.showOK(station.say("COM Port 搜尋成功", "COM Port OK"));
        const std::string port = "COM" + std::to_string(station.cboCOM.listIndex() + 1);
        station.noteFailure(
            {"自動搜尋 COM：卡機在 " + port + " 回應，已選用此連接埠。",
             "Port search: the programmer answered on " + port + "; that port is in use now."});
        return;
    }
    const std::string ports = "COM1–COM" + std::to_string(station.cboCOM.listCount());
    station.noteFailure(
        {"自動搜尋 COM：" + ports + " 都沒有卡機回應。請檢查連接線與卡機電源，或選擇 TCP/IP 連線。",
         "Port search: no programmer answered on " + ports +
             ". Check the cable and the programmer's power, or choose TCP/IP."});
}

} // namespace zr::protocol
