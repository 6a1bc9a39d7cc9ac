#pragma once

#include "app/StationOptions.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtFiles.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtTcpSocket.h"
#include "station/SiteKeys.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace zr::app {

// The site's keys, or nothing after a line on `errors` naming the file and the setting that
// is wrong: a station never runs on a half-read site configuration.
std::optional<station::SiteKeys> loadSiteKeys(const StationOptions& options,
                                              std::string_view program, std::ostream& errors);

// The parts of the outside world every station program makes the same way from its options:
// the settings file, the event loop, the serial ports (--com, else the settings' [Ports], else
// the default map), the TCP socket and the traffic log.
struct StationLinks {
    explicit StationLinks(const StationOptions& options);

    platform::QtSettingsStore settings;
    platform::QtEventLoop loop;
    platform::QtSerialPort serial;
    platform::QtTcpSocket tcp;
    platform::FileTrafficLog trafficLog;
};

} // namespace zr::app
