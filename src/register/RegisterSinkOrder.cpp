// A bench that works an order: its numbers come from the order's range, and when the range
// gives none the operator learns whether the order is done, waits on other benches, or is
// gone.
#include "base/CardNumber.h"
#include "recording/Tones.h"
#include "register/OrderTexts.h"
#include "register/RegisterSink.h"

#include <utility>

namespace zr::reg {

void RegisterSink::setOrder(std::string reference) {
    if (reference == order_) {
        return;
    }
    order_ = std::move(reference);
    orderGroup_.reset();
    attemptId_ = 0;
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
        recording::successTones(station_);
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
