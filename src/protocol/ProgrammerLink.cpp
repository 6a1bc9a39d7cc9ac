#include "protocol/ProgrammerLink.h"

#include "protocol/Exchange.h"

namespace zr::protocol {

ProgrammerLink::ProgrammerLink(station::Station& station) : station_(station) {
    auto& platform = station_.platform();
    platform.serial.onReceive = [this] { OnSerialReceive(*this); };
    platform.tcp.onDataArrival = [this](std::size_t bytesTotal) {
        OnTcpReceive(*this, bytesTotal);
    };
    platform.tcp.onDisconnected = [this] { Winsock1_Close(); };
    platform.serial.onDeviceLost = [this] { MsComm1_DeviceLost(); };
}

// The links outlive the conversation: their events must not reach it once it is gone.
ProgrammerLink::~ProgrammerLink() {
    auto& platform = station_.platform();
    platform.serial.onReceive = nullptr;
    platform.serial.onDeviceLost = nullptr;
    platform.tcp.onDataArrival = nullptr;
    platform.tcp.onDisconnected = nullptr;
}

bool ProgrammerLink::linkUp() const {
    const auto& platform = station_.platform();
    if (station_.connType == "COM") {
        return platform.serial.isOpen();
    }
    if (station_.connType == "TCPIP") {
        return platform.tcp.state() == platform::TcpSocket::kStateConnected;
    }
    return true;
}

void ProgrammerLink::sendFrame(const Frame& frame) {
    if (station_.connType == "COM") {
        sendSerialFrame(frame);
    } else if (station_.connType == "TCPIP") {
        auto& tcp = station_.platform().tcp;
        const bool carried = tcp.state() == platform::TcpSocket::kStateConnected;
        tcp.send(frame);
        if (carried) {
            requests.sent(currentCommand, station_.tickCount());
        }
    }
}

void ProgrammerLink::sendSerialFrame(std::span<const std::uint8_t> frame, ReplyAwaited awaited) {
    auto& serial = station_.platform().serial;
    const bool carried = serial.isOpen();
    serial.write(frame);
    if (carried) {
        requests.sent(currentCommand, station_.tickCount(), awaited == ReplyAwaited::ByNobody);
    }
}

void ProgrammerLink::Winsock1_Close() {
    requests.forgetOpenRequests();
    station_.Winsock1_Close();
}

void ProgrammerLink::MsComm1_DeviceLost() {
    requests.forgetOpenRequests();
    station_.MsComm1_DeviceLost();
}

} // namespace zr::protocol
