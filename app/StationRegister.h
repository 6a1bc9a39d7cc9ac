#pragma once

#include "platform/SettingsStore.h"
#include "recording/CardRecordSink.h"
#include "register/RegisterSink.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace zr::app {

// zr-station's card register: chosen by --register or the [Register] section, opened at
// start-up, and hung on the recording workflows before the script's report. A register that
// cannot be opened leaves the station running without one, with the reason on standard
// error and, once the window is up, in infoErr.
class StationRegister final : public recording::CardRecordSink {
  public:
    StationRegister(const std::optional<std::string>& urlOption,
                    const platform::SettingsStore& settings, station::Station& station,
                    recording::CardRecordSink& report, std::ostream& err);

    // After Form_Load: tells the operator when the register is off against their choice.
    void announce(station::Station& station) const;

    // The window's register panel: the sink's, or one saying the register is off.
    const reg::RegisterPanel& panel() const { return register_ ? register_->panel() : offPanel_; }

    bool recordWrite(const recording::WriteAttempt& attempt) override;
    void recordReadBack(const recording::ReadBackResult& result) override;
    std::optional<std::string> claimCardCode(const std::string& uid, const std::string& groupCode,
                                             const std::string& cardCode) override;

  private:
    recording::CardRecordSink& report_;
    std::unique_ptr<reg::RegisterSink> register_;
    std::string offReason_;
    reg::RegisterPanel offPanel_;
};

} // namespace zr::app
