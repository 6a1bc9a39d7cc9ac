// Choosing and opening the link to the programmer.
#include "base/TextRules.h"
#include "station/Station.h"

#include <climits>

namespace zr::station {
namespace {

// The value of txtPORT rounded to a whole number; -1 (refused by the socket) when it cannot
// be an int at all.
int portNumber(const std::string& text) {
    const long long port = base::wholeValue(text);
    return port < INT_MIN || port > INT_MAX ? -1 : static_cast<int>(port);
}

} // namespace

void Station::cboCOM_Click() {
    if (!cboCOM.enabled) {
        return;
    }
    auto& serial = platform_.serial;
    if (serial.isOpen()) {
        serial.close();
    }
    serial.open(cboCOM.listIndex() + 1);
    sbCOM.foreColor = serial.isOpen() ? kLinkUp : kLinkDown;
}

void Station::sbCOM_Click() {
    if (platform_.tcp.state() != platform::TcpSocket::kStateClosed) {
        platform_.tcp.close();
    }
    cboCOM.enabled = true;
    sbCOM.foreColor = kLinkDown;
    txtIP.enabled = false;
    txtPORT.enabled = false;
    sbConnect.enabled = false;
    sbTCPIP.foreColor = kLinkUnused;
    connType = "COM";
    saveSetting("ConnType", connType);
    cboCOM_Click();
}

void Station::sbTCPIP_Click() {
    if (platform_.serial.isOpen()) {
        platform_.serial.close();
    }
    cboCOM.enabled = false;
    sbCOM.foreColor = kLinkUnused;
    txtIP.enabled = true;
    txtPORT.enabled = true;
    sbConnect.enabled = true;
    sbTCPIP.foreColor = kLinkDown;
    connType = "TCPIP";
    saveSetting("ConnType", connType);
    sbConnect_Click();
}

void Station::sbConnect_Click() {
    auto& tcp = platform_.tcp;
    if (tcp.state() != platform::TcpSocket::kStateClosed) {
        tcp.close();
    }
    tcp.connectToHost(base::trimSpaces(txtIP.text()), portNumber(txtPORT.text()));
    // The wait always runs its full length, even when the connection is made at once.
    waitWithEvents([this] { return intervalMs(); });
    sbTCPIP.foreColor = tcp.state() == platform::TcpSocket::kStateConnected ? kLinkUp : kLinkDown;
    saveSetting("IP", base::trimSpaces(txtIP.text()));
    saveSetting("PORT", base::trimSpaces(txtPORT.text()));
}

// The colours said "up" for a link that was gone, and the automatic loop waited for a click
// that nobody knew was needed; a drop is shown the moment the platform reports it.
void Station::Winsock1_Close() {
    if (connType != "TCPIP") {
        return;
    }
    sbTCPIP.foreColor = kLinkDown;
    showErr(say("TCPIP 連線已中斷！\r\n自動錄碼會自動重新連線。",
                "TCPIP link lost!\r\nAutomatic recording connects again by itself."));
}

void Station::MsComm1_DeviceLost() {
    if (connType != "COM") {
        return;
    }
    sbCOM.foreColor = kLinkDown;
    showErr(say("COM Port 已中斷！\r\n自動錄碼會自動重新開啟。",
                "COM Port lost!\r\nAutomatic recording opens it again by itself."));
}

bool Station::reconnectLink() {
    if (connType == "COM") {
        cboCOM_Click();
        return platform_.serial.isOpen();
    }
    if (connType != "TCPIP") {
        return true;
    }
    auto& tcp = platform_.tcp;
    if (tcp.state() != platform::TcpSocket::kStateConnecting) {
        tcp.close();
        tcp.connectToHost(base::trimSpaces(txtIP.text()), portNumber(txtPORT.text()));
    }
    const bool up =
        waitWithEvents([this] { return intervalMs(); },
                       [&tcp] { return tcp.state() == platform::TcpSocket::kStateConnected; });
    sbTCPIP.foreColor = up ? kLinkUp : kLinkDown;
    return up;
}

} // namespace zr::station
