#pragma once

#include "platform/Platform.h"
#include "platform/virtual/VirtualDevices.h"
#include "platform/virtual/VirtualEventLoop.h"

namespace zr::testing {

// The outside world of a station on the virtual clock: COM1 exists, nothing is reachable
// over TCP, the settings store is empty.
struct VirtualPlatform {
    platform::VirtualEventLoop loop;
    platform::VirtualSerialPort serial{loop};
    platform::VirtualTcpSocket tcp{loop};
    platform::MemorySettingsStore settings;
    platform::RecordingToneGenerator tone{loop};
    platform::ScriptedDesktop desktop;
    platform::MemoryTrafficLog trafficLog;
    platform::Platform services{loop, serial, tcp, settings, tone, desktop, trafficLog};

    VirtualPlatform() { serial.availablePorts = {1}; }
};

} // namespace zr::testing
