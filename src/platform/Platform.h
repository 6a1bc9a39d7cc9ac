#pragma once

#include "platform/Desktop.h"
#include "platform/EventLoop.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TcpSocket.h"
#include "platform/ToneGenerator.h"
#include "platform/TrafficLog.h"

namespace zr::platform {

// Everything the station touches outside itself. The owner keeps the services alive for
// as long as the station runs.
struct Platform {
    EventLoop& loop;
    SerialPort& serial;
    TcpSocket& tcp;
    SettingsStore& settings;
    ToneGenerator& tone;
    Desktop& desktop;
    TrafficLog& trafficLog;
};

} // namespace zr::platform
