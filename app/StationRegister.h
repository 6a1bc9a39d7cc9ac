#pragma once

#include "app/StationOptions.h"
#include "platform/EventLoop.h"
#include "platform/SettingsStore.h"
#include "recording/CardRecordSink.h"
#include "register/RegisterJournal.h"
#include "register/RegisterLink.h"
#include "register/RegisterSink.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace zr::app {

// zr-station's card register: chosen by --register or the [Register] section, hung on the
// recording workflows before the script's report. A register that cannot be reached does not
// stop the station, only its numbering: the link tries again until it answers. Only the
// address "off" records without a register.
class StationRegister final : public recording::CardRecordSink {
  public:
    StationRegister(const StationOptions& options, const platform::SettingsStore& settings,
                    platform::EventLoop& loop, station::Station& station,
                    recording::CardRecordSink& report, std::ostream& err);

    // After Form_Load: tells the operator when the register cannot be used now.
    void announce(station::Station& station) const;

    // The window's register panel: the sink's, or one saying the register is off.
    const reg::RegisterPanel& panel() const { return sink_ ? sink_->panel() : offPanel_; }

    bool recordWrite(const recording::WriteAttempt& attempt) override;
    void recordReadBack(const recording::ReadBackResult& result) override;
    std::optional<recording::NumberClaim> claimCardCode(const std::string& uid,
                                                        const std::string& groupCode,
                                                        const std::string& cardCode) override;

  private:
    recording::CardRecordSink& report_;
    std::unique_ptr<platform::DurableLines> journalFile_;
    std::unique_ptr<reg::RegisterJournal> journal_;
    std::unique_ptr<reg::RegisterLink> link_;
    std::unique_ptr<reg::RegisterSink> sink_;
    reg::RegisterPanel offPanel_;
};

// Where the rows the register could not take are kept: beside the settings file given with
// --settings, else in the per-user data folder.
std::string journalPath(const StationOptions& options);

} // namespace zr::app
