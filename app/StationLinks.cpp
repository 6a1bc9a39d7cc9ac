#include "app/StationLinks.h"

#include "keys/KeyProcedures.h"
#include "keys/SiteConfig.h"

#include <filesystem>

namespace zr::app {
namespace {

std::optional<QString> settingsFile(const StationOptions& options) {
    if (!options.settings) {
        return std::nullopt;
    }
    return QString::fromStdString(*options.settings);
}

platform::PortMap portMap(const StationOptions& options,
                          const platform::QtSettingsStore& settings) {
    if (!options.comPorts.empty()) {
        return options.comPorts;
    }
    return settings.portMap().value_or(platform::defaultPortMap());
}

} // namespace

std::optional<station::SiteKeys> loadSiteKeys(const StationOptions& options,
                                              std::string_view program, std::ostream& errors) {
    std::optional<std::filesystem::path> explicitFile;
    if (options.site) {
        explicitFile = *options.site;
    }
    const auto site = keys::loadSiteConfig(keys::siteConfigLocations(explicitFile));
    if (!site) {
        errors << program << ": " << keys::siteConfigErrorMessage(site.error(), true) << '\n';
        return std::nullopt;
    }
    return keys::siteKeysFrom(site.value());
}

StationLinks::StationLinks(const StationOptions& options)
    : settings(settingsFile(options)), serial(portMap(options, settings)),
      trafficLog(options.log ? QString::fromStdString(*options.log)
                             : platform::defaultTrafficLogPath()) {}

} // namespace zr::app
