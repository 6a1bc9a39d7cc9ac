// Choosing and opening the link to the programmer.
#include "base/TextRules.h"
#include "station/Station.h"

#include <climits>

namespace zr::station {

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
    const long long port = base::wholeValue(txtPORT.text());
    tcp.connectToHost(base::trimSpaces(txtIP.text()),
                      port < INT_MIN || port > INT_MAX ? -1 : static_cast<int>(port));
    // The wait always runs its full length, even when the connection is made at once.
    waitWithEvents([this] { return intervalMs(); });
    sbTCPIP.foreColor = tcp.state() == platform::TcpSocket::kStateConnected ? kLinkUp : kLinkDown;
    saveSetting("IP", base::trimSpaces(txtIP.text()));
    saveSetting("PORT", base::trimSpaces(txtPORT.text()));
}

} // namespace zr::station
