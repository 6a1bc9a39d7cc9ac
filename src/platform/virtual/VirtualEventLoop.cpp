#include "platform/virtual/VirtualEventLoop.h"

#include <algorithm>

namespace zr::platform {
namespace {

class VirtualTimer final : public Timer {
  public:
    VirtualTimer(VirtualEventLoop& loop, std::function<void()> onTick)
        : loop_(loop), onTick_(std::move(onTick)), alive_(std::make_shared<bool>(true)) {}
    ~VirtualTimer() override { *alive_ = false; }

    void start(int intervalMs) override {
        interval_ = static_cast<std::uint32_t>(std::max(intervalMs, 1));
        ++generation_;
        schedule();
    }
    void stop() override { ++generation_; }

  private:
    void schedule() {
        loop_.post(interval_, [this, alive = alive_, generation = generation_] {
            if (!*alive || generation != generation_) {
                return;
            }
            schedule();
            onTick_();
        });
    }

    VirtualEventLoop& loop_;
    std::function<void()> onTick_;
    std::shared_ptr<bool> alive_;
    std::uint32_t interval_ = 1;
    std::uint64_t generation_ = 0;
};

} // namespace

void VirtualEventLoop::post(std::uint32_t delayMs, std::function<void()> action) {
    queue_.emplace(Key{now_ + delayMs, nextSequence_++}, std::move(action));
}

bool VirtualEventLoop::runDueEvents() {
    // Only what was due when the pass began runs now; events that handlers post for
    // "now" wait for the next pass, as posted events do in a real loop.
    const std::uint64_t lastSequence = nextSequence_;
    bool ran = false;
    for (;;) {
        auto it = queue_.begin();
        if (it == queue_.end() || it->first.due > now_ || it->first.sequence >= lastSequence) {
            return ran;
        }
        auto action = std::move(it->second);
        queue_.erase(it);
        action();
        ran = true;
    }
}

void VirtualEventLoop::pumpEvents(std::uint32_t wakeAt) {
    ++pumpCount_;
    if (runDueEvents()) {
        return;
    }
    const std::uint32_t untilWake = wakeAt - static_cast<std::uint32_t>(now_);
    // A wake-up that is due already still lets the clock move on by a tick, so a caller
    // that loops "until elapsed > limit" always makes progress.
    std::uint64_t target = now_ + std::max<std::uint32_t>(untilWake, 1);
    if (untilWake > 0x7FFFFFFFU) {
        target = now_ + 1;
    }
    if (!queue_.empty()) {
        target = std::min(target, std::max(queue_.begin()->first.due, now_));
    }
    now_ = std::max(now_, target);
    runDueEvents();
}

void VirtualEventLoop::runFor(std::uint32_t ms) {
    const std::uint64_t end = now_ + ms;
    while (now_ < end) {
        pumpEvents(static_cast<std::uint32_t>(end));
    }
    runDueEvents();
}

std::unique_ptr<Timer> VirtualEventLoop::createTimer(std::function<void()> onTick) {
    return std::make_unique<VirtualTimer>(*this, std::move(onTick));
}

} // namespace zr::platform
