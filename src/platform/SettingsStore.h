#pragma once

#include <string>

namespace zr::platform {

// The per-user store of string settings, addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored value, or `defaultValue` when the key is absent. Never writes.
    virtual std::string get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& defaultValue) const = 0;
    virtual void save(const std::string& app, const std::string& section, const std::string& key,
                      const std::string& value) = 0;
};

} // namespace zr::platform
