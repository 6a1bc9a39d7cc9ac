#pragma once

#include "recording/CardRecordSink.h"
#include "register/CardRegister.h"
#include "register/RegisterJournal.h"
#include "register/RegisterLink.h"
#include "register/RegisterPanel.h"
#include "station/Station.h"

#include <functional>
#include <string>

namespace zr::reg {

// The recording workflows' call-out, kept in the card register.
//
// Numbers: a card never gets a number the register says another card holds. Automatic
// recording moves on to the next free number (the card code follows), and a card that holds
// a number already gets it again; a write by hand asks the operator first. With the shared
// sequence, numbers are also claimed against the other stations.
//
// Outcomes: a confirmed write is committed before recordWrite returns true; when the register
// cannot take it, the row goes to the journal on disk instead (stored once the register is
// back, also after a restart), and only when that fails too is the card not reported written.
//
// While the register is unavailable no number is given: the window says why, and the station
// goes on by itself once the register answers again. Reasons naming the register go to
// `detail` (the station's standard error).
class RegisterSink final : public recording::CardRecordSink {
  public:
    RegisterSink(station::Station& station, RegisterLink& link, RegisterJournal& journal,
                 bool sharedSequence, Clock clock, std::function<void(const std::string&)> detail);
    // Unhooks the order list, which the station outlives.
    ~RegisterSink() override;
    RegisterSink(const RegisterSink&) = delete;
    RegisterSink& operator=(const RegisterSink&) = delete;

    bool recordWrite(const recording::WriteAttempt& attempt) override;
    void recordReadBack(const recording::ReadBackResult& result) override;
    std::optional<recording::NumberClaim> claimCardCode(const std::string& uid,
                                                        const std::string& groupCode,
                                                        const std::string& cardCode) override;

    // The last cards and today's count, read again after every recorded attempt.
    const RegisterPanel& panel() const { return panel_; }

    // The order this bench works (empty: none). While one is taken every number comes from
    // its range whatever the number fields say, and a card gets none when the order gives
    // none (RegisterSinkOrder.cpp).
    void setOrder(std::string reference);
    const std::string& order() const { return order_; }
    // An order taken that the register does not have open: infoErr says so (at start-up, for
    // the settings' order). True when the order can give numbers or the register cannot say.
    bool orderUsable();

  private:
    bool operatorAllows(CardRegister& cards, int group, int card, const std::string& uid);
    std::optional<recording::NumberClaim> claimOrderNumber(CardRegister& cards,
                                                           const std::string& uid);
    // Tells the operator why the order gives no number now.
    void refuseForOrder(CardRegister& cards, const RegisterError& error);
    // A refusal that is not the numbers' own: the UID, or the register gone.
    void refuseFor(const RegisterError& error);
    // cboOrder's list (the open orders, and the order taken) and the order's progress, read
    // again with the panel.
    void refreshOrders(CardRegister& cards);
    void countOrder(CardRegister& cards);
    void orderChosen();
    void refuseWhileUnavailable();
    void linkChanged();
    void refresh();

    station::Station& station_;
    RegisterLink& link_;
    RegisterJournal& journal_;
    bool sharedSequence_;
    Clock clock_;
    std::function<void(const std::string&)> detail_;
    RegisterPanel panel_;
    // "Back" is news only after an outage the operator was told of, not at the first opening.
    bool outageShown_ = false;
    // The row startAttempt made for the write in progress.
    std::int64_t attemptId_ = 0;
    std::string attemptUid_;
    int attemptGroup_ = 0;
    int attemptCard_ = 0;
    std::string order_;
    // The taken order's group, once read (an order keeps its group).
    std::optional<int> orderGroup_;
    // The taken order's state as last read; empty when unknown to the register.
    std::string orderState_;
    // cboOrder is being filled: its selection is the sink's own, not the operator's.
    bool listing_ = false;
};

// The infoErr text when the register is unavailable.
std::string registerUnavailableMessage(const station::Station& station, const std::string& reason);

} // namespace zr::reg
