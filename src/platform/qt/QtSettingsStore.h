#pragma once

#include "platform/SettingsStore.h"
#include "platform/qt/QtSerialPort.h"

#include <QString>
#include <optional>

namespace zr::platform {

// Settings in INI files: one file per application in the per-user configuration directory
// (~/.config/ZR/ZR.ini for "ZR" on POSIX; the registry on Windows), or one given file for
// every application. Each save is flushed at once, so a station killed later keeps it.
class QtSettingsStore final : public SettingsStore {
  public:
    explicit QtSettingsStore(std::optional<QString> file = std::nullopt);

    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& defaultValue) const override;
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    // One atomic replace of the file (a new file renamed over the old one, synced to disk).
    bool saveAll(const std::string& app, const std::string& section,
                 const SettingValues& values) override;

    // The [Ports] section of the station's file ("COM1=/dev/ttyUSB0"), when it has one.
    std::optional<PortMap> portMap() const;

  private:
    std::optional<QString> file_;
};

} // namespace zr::platform
