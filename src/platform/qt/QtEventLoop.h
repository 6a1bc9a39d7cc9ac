#pragma once

#include "platform/EventLoop.h"

#include <QElapsedTimer>
#include <QTimer>

namespace zr::platform {

// Qt's event loop on the calling thread. A wait sleeps in the event dispatcher until an
// event or the wake-up timer arrives, so a waiting command costs next to no CPU.
class QtEventLoop final : public EventLoop {
  public:
    QtEventLoop();
    std::uint32_t tickCount() const override;
    void pumpEvents(std::uint32_t wakeAt) override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;

  private:
    QElapsedTimer clock_;
};

} // namespace zr::platform
