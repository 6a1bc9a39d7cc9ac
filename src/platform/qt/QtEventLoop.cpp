#include "platform/qt/QtEventLoop.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace zr::platform {
namespace {

class QtTimer final : public Timer {
  public:
    explicit QtTimer(std::function<void()> onTick) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [tick = std::move(onTick)] { tick(); });
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }

  private:
    QTimer timer_;
};

} // namespace

QtEventLoop::QtEventLoop() {
    clock_.start();
}

std::uint32_t QtEventLoop::tickCount() const {
    return static_cast<std::uint32_t>(clock_.elapsed());
}

void QtEventLoop::pumpEvents(std::uint32_t wakeAt) {
    const auto remaining = static_cast<std::int32_t>(wakeAt - tickCount());
    if (remaining <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The wake-up timer guarantees the dispatcher returns by the deadline even when no
    // other event comes; it is a no-op when something else wakes the pump first.
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    wakeUp.start(remaining);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::unique_ptr<Timer> QtEventLoop::createTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

} // namespace zr::platform
