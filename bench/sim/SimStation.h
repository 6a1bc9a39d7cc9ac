#pragma once

#include "keys/SiteConfig.h"
#include "platform/Platform.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtTcpSocket.h"
#include "platform/virtual/VirtualDevices.h"
#include "protocol/ProgrammerLink.h"
#include "sim/SimProcess.h"
#include "station/Station.h"

#include <memory>
#include <string>
#include <vector>

namespace zr::protocol::test {

enum class Link { Tcp, Pty };

// The real simulator as a child process, announced on loopback TCP and a pseudo-terminal.
struct RunningSim {
    explicit RunningSim(std::vector<std::string> extraArguments = {}) {
        std::vector<std::string> arguments{"--tcp", "0", "--pty", "--scenario", "-"};
        arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
        process = std::make_unique<sim::test::SimProcess>(arguments);
        const auto tcpLine = process->readLine();
        const auto ptyLine = process->readLine();
        if (tcpLine && tcpLine->rfind("tcp ", 0) == 0) {
            tcpPort = std::stoi(tcpLine->substr(4));
        }
        if (ptyLine && ptyLine->rfind("pty ", 0) == 0) {
            ptyDevice = ptyLine->substr(4);
        }
    }
    bool ready() const { return tcpPort > 0 && !ptyDevice.empty(); }

    std::unique_ptr<sim::test::SimProcess> process;
    int tcpPort = 0;
    std::string ptyDevice;
};

// A station on the real Qt platform, linked to the simulator over TCP or its pty.
// Needs a QCoreApplication.
struct SimStation {
    platform::QtEventLoop loop;
    platform::QtSerialPort serial;
    platform::QtTcpSocket tcp;
    platform::MemorySettingsStore settings;
    platform::VirtualEventLoop toneClock;
    platform::RecordingToneGenerator tone{toneClock};
    platform::ScriptedDesktop desktop;
    platform::MemoryTrafficLog trafficLog;
    platform::Platform services{loop, serial, tcp, settings, tone, desktop, trafficLog};
    station::Station station{services};
    protocol::ProgrammerLink link{station};

    SimStation(const RunningSim& sim, Link over) : serial(platform::PortMap{{1, sim.ptyDevice}}) {
        const keys::SiteConfig site = keys::defaultSiteConfig();
        station.site.loginKey = site.loginKey;
        station.site.v1CardKey = site.v1CardKey;
        if (over == Link::Pty) {
            station.connType = "COM";
            serial.open(1);
            return;
        }
        station.connType = "TCPIP";
        tcp.connectToHost("127.0.0.1", sim.tcpPort);
        link.waitWithEvents(2000,
                            [this] { return tcp.state() == platform::TcpSocket::kStateConnected; });
    }

    bool linked() const {
        return station.connType == "COM" ? serial.isOpen()
                                         : tcp.state() == platform::TcpSocket::kStateConnected;
    }
};

} // namespace zr::protocol::test
