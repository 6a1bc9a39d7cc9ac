#include "register/RegisterLink.h"

namespace zr::reg {
namespace {

constexpr int kTimerMs = 250;

} // namespace

RegisterLink::RegisterLink(platform::EventLoop& loop, Open open, std::string where,
                           std::optional<Server> server, std::unique_ptr<platform::TcpSocket> probe)
    : loop_(loop), open_(std::move(open)), where_(std::move(where)), server_(std::move(server)),
      probe_(std::move(probe)) {
    timer_ = loop_.createTimer([this] { retryIfDue(); });
}

void RegisterLink::lost(const std::string& reason) {
    lastTry_ = loop_.tickCount();
    become(false, reason);
}

void RegisterLink::become(bool available, std::string reason) {
    const bool changed = available != available_ || reason != reason_;
    available_ = available;
    reason_ = available ? std::string() : std::move(reason);
    if (available) {
        timer_->stop();
    } else {
        timer_->start(kTimerMs);
    }
    if (changed && onChange) {
        onChange();
    }
}

void RegisterLink::tryOpen() {
    lastTry_ = loop_.tickCount();
    std::string reason;
    if (!cards_) {
        auto opened = open_();
        if (opened) {
            cards_ = opened.value();
        } else {
            reason = opened.error().message;
        }
    } else if (!cards_->writable()) {
        reason = cards_->lastError().message;
    }
    if (reason.empty() && onBack && !onBack(*cards_, reason)) {
        become(false, reason.empty() ? where_ + " cannot be written" : reason);
        return;
    }
    become(reason.empty(), reason);
}

// A server is first called with a connection that does not wait: only once it answers is
// the register opened, which then takes no time worth noticing.
void RegisterLink::retryIfDue() {
    const std::uint32_t now = loop_.tickCount();
    if (probeStarted_) {
        const int state = probe_->state();
        const bool answered = state == platform::TcpSocket::kStateConnected;
        const bool refused =
            state == platform::TcpSocket::kStateError || state == platform::TcpSocket::kStateClosed;
        if (!answered && !refused && platform::ticksSince(*probeStarted_, now) <= kProbeLimitMs) {
            return;
        }
        probe_->close();
        probeStarted_.reset();
        if (answered) {
            tryOpen();
        } else {
            lastTry_ = now;
        }
        return;
    }
    if (platform::ticksSince(lastTry_, now) < kRetryEveryMs) {
        return;
    }
    if (server_ && probe_) {
        probeStarted_ = now;
        probe_->connectToHost(server_->host, server_->port);
        return;
    }
    tryOpen();
}

} // namespace zr::reg
