#include "app/StationRegister.h"

#include "platform/qt/QtDurableLines.h"
#include "platform/qt/QtTcpSocket.h"
#include "platform/sql/QtDatabase.h"
#include "register/RegisterSettings.h"
#include "register/RegisterUrl.h"

#include <chrono>

namespace zr::app {
namespace {

reg::Clock systemClock() {
    return [] { return std::chrono::system_clock::now(); };
}

} // namespace

std::string journalPath(const StationOptions& options) {
    if (options.settings) {
        return *options.settings + ".journal";
    }
    const std::string registerFile = platform::defaultRegisterPath();
    return registerFile.substr(0, registerFile.find_last_of('/') + 1) + "register-journal.txt";
}

StationRegister::StationRegister(const StationOptions& options,
                                 const platform::SettingsStore& settings, platform::EventLoop& loop,
                                 station::Station& station, recording::CardRecordSink& report,
                                 std::ostream& err)
    : report_(report) {
    const reg::RegisterSettings chosen = reg::readRegisterSettings(
        settings, options.cardRegister, platform::defaultRegisterPath(), platform::localHostName());
    if (!chosen.enabled()) {
        return;
    }
    const auto address = reg::parseRegisterUrl(chosen.url);
    std::string where = address ? reg::describeAddress(address.value()) : chosen.url;
    std::optional<reg::RegisterLink::Server> server;
    if (address && address.value().engine == platform::SqlEngine::Postgres) {
        server = reg::RegisterLink::Server{address.value().host, address.value().port};
    }
    auto open = [url = chosen.url, station = chosen.station] {
        return reg::openRegister(
            url, station, reg::CardRegister::Access::ReadWrite,
            [](const platform::DatabaseAddress& at, platform::SqlError& error) {
                return std::unique_ptr<platform::Database>(platform::QtDatabase::open(at, error));
            },
            systemClock());
    };
    journalFile_ =
        std::make_unique<platform::QtDurableLines>(QString::fromStdString(journalPath(options)));
    journal_ = std::make_unique<reg::RegisterJournal>(*journalFile_);
    link_ = std::make_unique<reg::RegisterLink>(loop, std::move(open), std::move(where), server,
                                                std::make_unique<platform::QtTcpSocket>());
    sink_ = std::make_unique<reg::RegisterSink>(
        station, *link_, *journal_, chosen.sharedSequence, systemClock(),
        [&err](const std::string& detail) { err << "zr-station: " << detail << std::endl; });
    sink_->setOrder(chosen.order);
}

void StationRegister::announce(station::Station& station) const {
    if (link_ && link_->cards() == nullptr) {
        station.showErr(reg::registerUnavailableMessage(station, link_->reason()));
        return;
    }
    if (sink_) {
        sink_->orderUsable();
    }
}

bool StationRegister::recordWrite(const recording::WriteAttempt& attempt) {
    if (sink_ && !sink_->recordWrite(attempt)) {
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
    if (sink_) {
        sink_->recordReadBack(result);
    }
    report_.recordReadBack(result);
}

std::optional<recording::NumberClaim> StationRegister::claimCardCode(const std::string& uid,
                                                                     const std::string& groupCode,
                                                                     const std::string& cardCode) {
    return sink_ ? sink_->claimCardCode(uid, groupCode, cardCode)
                 : recording::NumberClaim{cardCode};
}

} // namespace zr::app
