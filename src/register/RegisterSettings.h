#pragma once

#include "base/Result.h"
#include "platform/Database.h"
#include "platform/SettingsStore.h"
#include "register/CardRegister.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zr::reg {

// The [Register] section of the station's settings file:
//   URL=sqlite:PATH | postgresql://USER@HOST[:PORT]/DB | off   (default: the per-user file)
//   Station=NAME                                             (default: the host name)
//   SharedSequence=0|1                                       (default: 0)
//   Order=REFERENCE          the order this bench works from start-up (default: none)
struct RegisterSettings {
    std::string url; // "off": no register
    std::string station;
    bool sharedSequence = false;
    std::string order;
    bool enabled() const { return url != "off"; }
};

inline constexpr const char* kRegisterSection = "Register";

// The settings, with `urlOption` (--register) before the file's URL, then
// "sqlite:" + `defaultPath`; `hostName` is the default station name.
RegisterSettings readRegisterSettings(const platform::SettingsStore& store,
                                      const std::optional<std::string>& urlOption,
                                      const std::string& defaultPath, const std::string& hostName);

using DatabaseOpener = std::function<std::unique_ptr<platform::Database>(
    const platform::DatabaseAddress&, platform::SqlError&)>;

// Parses `url`, connects through `opener` and opens the register on it. Every failure is a
// message naming the file or server.
CardRegister::Result openRegister(const std::string& url, const std::string& station,
                                  CardRegister::Access access, const DatabaseOpener& opener,
                                  Clock clock);

} // namespace zr::reg
