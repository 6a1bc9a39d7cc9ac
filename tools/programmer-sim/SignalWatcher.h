#pragma once

#include "UniqueFd.h"

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace zr::sim {

// Turns SIGINT and SIGTERM into a call on the event loop (through a pipe, the one thing a
// signal handler may safely touch). Only one may exist at a time.
class SignalWatcher {
  public:
    explicit SignalWatcher(std::function<void()> onSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    bool ok() const { return notifier_ != nullptr; }

  private:
    std::function<void()> onSignal_;
    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zr::sim
