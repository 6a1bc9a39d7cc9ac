#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zr::platform {

using SettingValues = std::vector<std::pair<std::string, std::string>>;

// The per-user store of string settings, addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored value, or `defaultValue` when the key is absent. Never writes.
    virtual std::string get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& defaultValue) const = 0;
    virtual void save(const std::string& app, const std::string& section, const std::string& key,
                      const std::string& value) = 0;
    // Writes several keys as one change: when it returns true all of them are on disk, when
    // it returns false none of them is (the store keeps what it had).
    virtual bool saveAll(const std::string& app, const std::string& section,
                         const SettingValues& values) {
        for (const auto& [key, value] : values) {
            save(app, section, key, value);
        }
        return true;
    }
};

} // namespace zr::platform
