#pragma once

#include "recording/CardRecordSink.h"
#include "register/CardRegister.h"
#include "register/RegisterPanel.h"
#include "station/Station.h"

#include <functional>
#include <memory>
#include <string>

namespace zr::reg {

// The recording workflows' call-out, kept in the card register. A confirmed write is
// committed before recordWrite returns true; when it cannot be, recordWrite returns false
// and the workflow reports the card as not registered. The reason, naming the register,
// goes to `detail` (the station's standard error).
class RegisterSink final : public recording::CardRecordSink {
  public:
    RegisterSink(station::Station& station, std::shared_ptr<CardRegister> cards,
                 bool sharedSequence, std::function<void(const std::string&)> detail);

    bool recordWrite(const recording::WriteAttempt& attempt) override;
    void recordReadBack(const recording::ReadBackResult& result) override;
    // Starts the attempt's row in the register. With the shared sequence: the first free card
    // code from the operator's up, claimed for this card and station. Without it: the
    // operator's number, unless a write with unknown outcome on another card holds it.
    // Outside automatic recording (chkAutoRecord clear), a number the register already gives
    // another UID is written only when the operator answers Yes to the desktop's question.
    std::optional<std::string> claimCardCode(const std::string& uid, const std::string& groupCode,
                                             const std::string& cardCode) override;

    // The last cards and today's count, read again after every recorded attempt.
    const RegisterPanel& panel() const { return panel_; }

  private:
    bool operatorAllows(int group, int card, const std::string& uid);

    station::Station& station_;
    std::shared_ptr<CardRegister> cards_;
    bool sharedSequence_;
    std::function<void(const std::string&)> detail_;
    RegisterPanel panel_;
    // The row startAttempt made for the write in progress.
    std::int64_t attemptId_ = 0;
    std::string attemptUid_;
    int attemptGroup_ = 0;
    int attemptCard_ = 0;
};

// The infoErr text when the register could not be opened at start-up and the station runs
// without it.
std::string registerOffMessage(const station::Station& station, const std::string& reason);

} // namespace zr::reg
