#include "register/RegisterSettings.h"

#include "register/RegisterUrl.h"
#include "register/Schema.h"

#include <cctype>

namespace zr::reg {
namespace {

std::string trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return text.substr(begin, end - begin);
}

} // namespace

RegisterSettings readRegisterSettings(const platform::SettingsStore& store,
                                      const std::optional<std::string>& urlOption,
                                      const std::string& defaultPath, const std::string& hostName) {
    RegisterSettings settings;
    settings.url = urlOption ? *urlOption : trimmed(store.get("ZR", kRegisterSection, "URL", ""));
    if (settings.url.empty()) {
        settings.url = "sqlite:" + defaultPath;
    }
    settings.station = trimmed(store.get("ZR", kRegisterSection, "Station", ""));
    if (settings.station.empty()) {
        settings.station = hostName;
    }
    settings.sharedSequence =
        trimmed(store.get("ZR", kRegisterSection, "SharedSequence", "0")) == "1";
    settings.order = trimmed(store.get("ZR", kRegisterSection, "Order", ""));
    return settings;
}

CardRegister::Result openRegister(const std::string& url, const std::string& station,
                                  CardRegister::Access access, const DatabaseOpener& opener,
                                  Clock clock) {
    const auto parsed = parseRegisterUrl(url);
    if (!parsed) {
        return RegisterError{RegisterFailure::CannotOpen, parsed.error().message};
    }
    platform::DatabaseAddress address = parsed.value();
    address.readOnly = access == CardRegister::Access::ReadOnly;
    const std::string where = describeAddress(address);
    platform::SqlError error;
    auto db = opener(address, error);
    if (!db) {
        if (error.kind == platform::SqlFailure::NotADatabase ||
            error.kind == platform::SqlFailure::ReadOnly) {
            return registerError(error, where);
        }
        return RegisterError{RegisterFailure::CannotOpen,
                             "register " + where + " cannot be opened (" + error.message + ")"};
    }
    return CardRegister::open(std::move(db), where, station, access, std::move(clock));
}

} // namespace zr::reg
