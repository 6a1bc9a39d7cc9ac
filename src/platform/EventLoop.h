#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace zr::platform {

// A repeating timer on the station's one thread; its callback runs inside the event pump.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// The millisecond tick counter and the event pump. Waiting code calls pumpEvents in a loop
// and re-reads the tick count; the pump sleeps while nothing is pending, so a wait costs
// no CPU between events.
class EventLoop {
  public:
    virtual ~EventLoop() = default;

    // Milliseconds since start; wraps at 2^32 like the system tick count.
    virtual std::uint32_t tickCount() const = 0;

    // Handles the events that are pending. When none is, sleeps until one arrives or until
    // the tick count reaches `wakeAt`, whichever comes first, and handles what arrived.
    virtual void pumpEvents(std::uint32_t wakeAt) = 0;

    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTick) = 0;
};

// Elapsed milliseconds between two tick counts, correct across the 2^32 wrap.
inline std::uint32_t ticksSince(std::uint32_t start, std::uint32_t now) {
    return now - start;
}

} // namespace zr::platform
