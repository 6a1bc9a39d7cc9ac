// Choosing and opening the link to the programmer, and showing its drops.
#include "base/TextRules.h"
#include "protocol/ProgrammerLink.h"

#include <climits>
#include <string_view>

namespace zr::protocol {
namespace {

using station::kLinkDown;
using station::kLinkUnused;
using station::kLinkUp;

// The value of txtPORT rounded to a whole number; -1 (refused by the socket) when it cannot
// be an int at all.
int portNumber(const std::string& text) {
    const long long port = base::wholeValue(text);
    return port < INT_MIN || port > INT_MAX ? -1 : static_cast<int>(port);
}

enum class LinkChoice { Serial, Tcp };

// The controls of the link not chosen are disabled and greyed; the choice is kept at once.
void showChoice(station::Station& s, LinkChoice choice) {
    const bool serial = choice == LinkChoice::Serial;
    s.cboCOM.enabled = serial;
    s.sbCOM.foreColor = serial ? kLinkDown : kLinkUnused;
    s.txtIP.enabled = !serial;
    s.txtPORT.enabled = !serial;
    s.sbConnect.enabled = !serial;
    s.sbTCPIP.foreColor = serial ? kLinkUnused : kLinkDown;
    s.connType = serial ? "COM" : "TCPIP";
    s.saveSetting("ConnType", s.connType);
}

// The colours said "up" for a link that was gone, and the automatic loop waited for a click
// that nobody knew was needed; a drop of the chosen link is shown the moment the platform
// reports it. The requests still open are lost with the link either way.
void showDrop(station::Station& s, std::string_view linkType, station::Button& caption,
              const char* chinese, const char* english) {
    if (s.connType != linkType) {
        return;
    }
    caption.foreColor = kLinkDown;
    s.showErr(s.say(chinese, english));
}

} // namespace

void ProgrammerLink::cboCOM_Click() {
    auto& s = station_;
    if (!s.cboCOM.enabled) {
        return;
    }
    auto& serial = s.platform().serial;
    if (serial.isOpen()) {
        serial.close();
    }
    serial.open(s.cboCOM.listIndex() + 1);
    s.sbCOM.foreColor = serial.isOpen() ? kLinkUp : kLinkDown;
}

void ProgrammerLink::sbCOM_Click() {
    auto& s = station_;
    auto& tcp = s.platform().tcp;
    if (tcp.state() != platform::TcpSocket::kStateClosed) {
        tcp.close();
    }
    showChoice(s, LinkChoice::Serial);
    cboCOM_Click();
}

void ProgrammerLink::sbTCPIP_Click() {
    auto& s = station_;
    auto& serial = s.platform().serial;
    if (serial.isOpen()) {
        serial.close();
    }
    showChoice(s, LinkChoice::Tcp);
    sbConnect_Click();
}

void ProgrammerLink::sbConnect_Click() {
    auto& s = station_;
    auto& tcp = s.platform().tcp;
    if (tcp.state() != platform::TcpSocket::kStateClosed) {
        tcp.close();
    }
    tcp.connectToHost(base::trimSpaces(s.txtIP.text()), portNumber(s.txtPORT.text()));
    // The wait always runs its full length, even when the connection is made at once.
    waitWithEvents([&s] { return s.intervalMs(); });
    s.sbTCPIP.foreColor = tcp.state() == platform::TcpSocket::kStateConnected ? kLinkUp : kLinkDown;
    s.saveSetting("IP", base::trimSpaces(s.txtIP.text()));
    s.saveSetting("PORT", base::trimSpaces(s.txtPORT.text()));
}

void ProgrammerLink::Winsock1_Close() {
    requests.forgetOpenRequests();
    showDrop(station_, "TCPIP", station_.sbTCPIP, "TCPIP 連線已中斷！\r\n自動錄碼會自動重新連線。",
             "TCPIP link lost!\r\nAutomatic recording connects again by itself.");
}

void ProgrammerLink::MsComm1_DeviceLost() {
    requests.forgetOpenRequests();
    showDrop(station_, "COM", station_.sbCOM, "COM Port 已中斷！\r\n自動錄碼會自動重新開啟。",
             "COM Port lost!\r\nAutomatic recording opens it again by itself.");
}

bool ProgrammerLink::reconnectLink() {
    auto& s = station_;
    if (s.connType == "COM") {
        cboCOM_Click();
        return s.platform().serial.isOpen();
    }
    if (s.connType != "TCPIP") {
        return true;
    }
    auto& tcp = s.platform().tcp;
    if (tcp.state() != platform::TcpSocket::kStateConnecting) {
        tcp.close();
        tcp.connectToHost(base::trimSpaces(s.txtIP.text()), portNumber(s.txtPORT.text()));
    }
    const bool up =
        waitWithEvents([&s] { return s.intervalMs(); },
                       [&tcp] { return tcp.state() == platform::TcpSocket::kStateConnected; });
    s.sbTCPIP.foreColor = up ? kLinkUp : kLinkDown;
    return up;
}

} // namespace zr::protocol
