#pragma once

#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace zr::platform {

// An event loop on a virtual clock for tests: time moves only when the pump would sleep,
// and then jumps straight to the next scheduled event or wake-up tick. A 3 x 300 ms retry
// therefore runs in microseconds and to the exact millisecond.
class VirtualEventLoop final : public EventLoop {
  public:
    std::uint32_t tickCount() const override { return static_cast<std::uint32_t>(now_); }
    void pumpEvents(std::uint32_t wakeAt) override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;

    // Runs `action` from the pump once `delayMs` have passed.
    void post(std::uint32_t delayMs, std::function<void()> action);
    // Moves time on without running events, as a blocking call (a tone) does.
    void sleepWithoutEvents(std::uint32_t ms) { now_ += ms; }
    // Pumps events until `ms` have passed.
    void runFor(std::uint32_t ms);

    std::uint64_t now() const { return now_; }
    std::uint64_t pumpCount() const { return pumpCount_; }

  private:
    struct Key {
        std::uint64_t due;
        std::uint64_t sequence;
        bool operator<(const Key& other) const {
            return due != other.due ? due < other.due : sequence < other.sequence;
        }
    };

    bool runDueEvents();

    std::uint64_t now_ = 0;
    std::uint64_t nextSequence_ = 0;
    std::uint64_t pumpCount_ = 0;
    std::map<Key, std::function<void()>> queue_;
};

} // namespace zr::platform
