#include "app/StationRegister.h"

#include "platform/sql/QtDatabase.h"
#include "register/RegisterSettings.h"

namespace zr::app {

StationRegister::StationRegister(const std::optional<std::string>& urlOption,
                                 const platform::SettingsStore& settings, station::Station& station,
                                 recording::CardRecordSink& report, std::ostream& err)
    : report_(report) {
    const reg::RegisterSettings chosen = reg::readRegisterSettings(
        settings, urlOption, platform::defaultRegisterPath(), platform::localHostName());
    if (!chosen.enabled()) {
        return;
    }
    const auto opened = reg::openRegister(
        chosen.url, chosen.station, reg::CardRegister::Access::ReadWrite,
        [](const platform::DatabaseAddress& address, platform::SqlError& error) {
            return std::unique_ptr<platform::Database>(platform::QtDatabase::open(address, error));
        },
        [] { return std::chrono::system_clock::now(); });
    if (!opened) {
        offReason_ = opened.error().message;
        err << "zr-station: " << offReason_ << "; recording without the card register" << std::endl;
        return;
    }
    register_ = std::make_unique<reg::RegisterSink>(
        station, opened.value(), chosen.sharedSequence,
        [&err](const std::string& detail) { err << "zr-station: " << detail << std::endl; });
}

void StationRegister::announce(station::Station& station) const {
    if (!offReason_.empty()) {
        station.showErr(reg::registerOffMessage(station, offReason_));
    }
}

bool StationRegister::recordWrite(const recording::WriteAttempt& attempt) {
    if (register_ && !register_->recordWrite(attempt)) {
        if (attempt.outcome == recording::AttemptOutcome::Written) {
            recording::WriteAttempt refused = attempt;
            refused.outcome = recording::AttemptOutcome::RefusedBySink;
            report_.recordWrite(refused);
            return false;
        }
    }
    return report_.recordWrite(attempt);
}

void StationRegister::recordReadBack(const recording::ReadBackResult& result) {
    if (register_) {
        register_->recordReadBack(result);
    }
    report_.recordReadBack(result);
}

std::optional<std::string> StationRegister::claimCardCode(const std::string& uid,
                                                          const std::string& groupCode,
                                                          const std::string& cardCode) {
    return register_ ? register_->claimCardCode(uid, groupCode, cardCode) : cardCode;
}

} // namespace zr::app
