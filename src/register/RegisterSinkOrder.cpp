// A bench that works an order: its numbers come from the order's range, and when the range
// gives none the operator learns whether the order is done, waits on other benches, or is
// gone.
#include "base/CardNumber.h"
#include "recording/Tones.h"
#include "register/OrderTexts.h"
#include "register/RegisterSink.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace zr::reg {

namespace {

constexpr auto kPaceWindow = std::chrono::minutes(15);
constexpr std::int64_t kPaceWindowsPerHour = 4;

} // namespace

void RegisterSink::setOrder(std::string reference) {
    if (reference == order_) {
        return;
    }
    order_ = std::move(reference);
    orderGroup_.reset();
    orderState_.clear();
    station_.order = {.reference = order_};
    // The order's line is not the run's: without a run nothing else clears it.
    station_.lblRunStatus.caption.clear();
    refresh();
    station_.showRun();
}

void RegisterSink::orderChosen() {
    if (listing_) {
        return;
    }
    const station::ComboBox& list = station_.cboOrder;
    setOrder(list.listIndex() > 0 ? list.text : std::string());
    orderUsable();
}

bool RegisterSink::orderUsable() {
    if (order_.empty() || link_.cards() == nullptr || orderState_ == "open") {
        return true;
    }
    station_.showErr(orderRefusedText(order_, orderState_, station_.english()));
    return false;
}

void RegisterSink::refreshOrders(CardRegister& cards) {
    // Read after every recorded attempt: the open orders only, not every order's counts.
    const auto open = cards.openOrders();
    if (!open) {
        detail_(open.error().message);
        return;
    }
    std::vector<std::string> entries;
    for (const Order& order : open.value()) {
        entries.push_back(order.reference);
    }
    if (!order_.empty() && std::find(entries.begin(), entries.end(), order_) == entries.end()) {
        entries.push_back(order_);
    }
    station::ComboBox& list = station_.cboOrder;
    list.clear();
    list.addItem(station_.say("（無訂單）", "(no order)"));
    int chosen = 0;
    for (const std::string& entry : entries) {
        list.addItem(entry);
        if (entry == order_) {
            chosen = list.listCount() - 1;
        }
    }
    listing_ = true;
    list.setListIndex(chosen);
    listing_ = false;
    if (!order_.empty()) {
        countOrder(cards);
    }
}

// Counted over every bench: the register holds them all.
void RegisterSink::countOrder(CardRegister& cards) {
    station::OrderState shown{.reference = order_};
    const auto progress = cards.orderProgress(order_);
    if (!progress) {
        orderState_ = progress.error().kind == RegisterFailure::UnknownOrder ? "" : orderState_;
        station_.order = shown;
        station_.showRun();
        return;
    }
    const OrderProgress& counts = progress.value();
    orderState_ = counts.order.state;
    orderGroup_ = counts.order.group;
    ListFilter recent;
    recent.since = utcText(clock_() - kPaceWindow);
    recent.group = counts.order.group;
    recent.cardFrom = counts.order.first;
    recent.cardTo = counts.order.last;
    std::int64_t written = 0;
    cards.forEachWrite(
        [&written](const WriteRow& row) {
            written += row.outcome == "written" ? 1 : 0;
            return true;
        },
        recent);
    shown.counted = true;
    shown.ordered = counts.order.size();
    shown.written = counts.written;
    shown.voided = counts.voided;
    shown.free = counts.free();
    shown.perHour = written * kPaceWindowsPerHour;
    station_.order = shown;
    station_.showRun();
}

std::optional<recording::NumberClaim> RegisterSink::claimOrderNumber(CardRegister& cards,
                                                                     const std::string& uid) {
    // The group is read before a number is claimed, so an order that cannot be read leaves no
    // claim behind.
    if (!orderGroup_) {
        const auto progress = cards.orderProgress(order_);
        if (!progress) {
            detail_(progress.error().message);
            if (progress.error().kind == RegisterFailure::UnknownOrder) {
                refuseForOrder(cards, progress.error());
            } else {
                refuseFor(progress.error());
            }
            return std::nullopt;
        }
        orderGroup_ = progress.value().order.group;
    }
    const auto attempt = cards.startOrderAttempt(order_, uid, station_.chkLock.checked());
    if (!attempt) {
        const RegisterError error = cards.lastError();
        detail_(error.message);
        refuseForOrder(cards, error);
        return std::nullopt;
    }
    attemptId_ = attempt->id;
    attemptUid_ = uid;
    attemptGroup_ = *orderGroup_;
    attemptCard_ = attempt->card;
    return recording::NumberClaim{.cardCode = base::codeText(attempt->card),
                                  .cardsOwnNumber = attempt->ownNumber,
                                  .groupCode = base::codeText(*orderGroup_)};
}

void RegisterSink::refuseForOrder(CardRegister& cards, const RegisterError& error) {
    const bool english = station_.english();
    switch (error.kind) {
    case RegisterFailure::OrderComplete: {
        // Finishing the order is the bench's success: it sounds like a written card.
        const auto progress = cards.orderProgress(order_);
        const std::int64_t size = progress ? progress.value().order.size() : 0;
        station_.chkAutoRecord.setValue(0);
        station_.showOK(orderCompleteText(order_, size, english));
        recording::successTones(station_.chkSound, station_.platform().tone);
        return;
    }
    case RegisterFailure::OrderWaiting: {
        // Only waiting: automatic recording tries again with the next tick.
        const auto progress = cards.orderProgress(order_);
        const std::int64_t unfinished = progress ? progress.value().unfinished : 0;
        station_.showErr(orderWaitingText(order_, unfinished, english));
        return;
    }
    case RegisterFailure::OrderNotOpen:
    case RegisterFailure::UnknownOrder: {
        std::string state;
        if (error.kind == RegisterFailure::OrderNotOpen) {
            const auto progress = cards.orderProgress(order_);
            state = progress ? progress.value().order.state : "closed";
        }
        station_.chkAutoRecord.setValue(0);
        station_.showErr(orderRefusedText(order_, state, english));
        return;
    }
    default:
        refuseFor(error);
        return;
    }
}

} // namespace zr::reg
