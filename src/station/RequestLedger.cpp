#include "station/RequestLedger.h"

namespace zr::station {

RequestLedger::WaitingSender::WaitingSender(RequestLedger& ledger)
    : ledger_(ledger), previous_(ledger.waitingSender_) {
    ledger_.waitingSender_ = ledger_.nextSender_++;
    ledger_.replies_ = {};
}

RequestLedger::WaitingSender::~WaitingSender() {
    ledger_.waitingSender_ = previous_;
}

void RequestLedger::sent(std::string command, std::uint32_t tick, bool detached) {
    requests_.push_back({detached ? 0 : waitingSender_, std::move(command), detached});
    lastActivity_ = tick;
    if (!detached && waitingSender_ != 0) {
        ++replies_.sends;
    }
}

RequestLedger::Reply RequestLedger::replyRead(const std::string& text, std::uint32_t tick) {
    lastActivity_ = tick;
    if (requests_.empty()) {
        return {};
    }
    const Request answered = requests_.front();
    requests_.pop_front();
    Reply reply;
    reply.command = answered.command;
    reply.latest = requests_.empty();
    const bool ownSender = answered.sender != 0 && answered.sender == waitingSender_;
    const bool detachedAlone = answered.detached && waitingSender_ == 0 && reply.latest;
    reply.owner = ownSender || detachedAlone ? Owner::Waiting : Owner::GaveUp;
    if (ownSender) {
        ++replies_.answers;
        if (text == "NO") {
            ++replies_.refusals;
        }
    }
    return reply;
}

} // namespace zr::station
