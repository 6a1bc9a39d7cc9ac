#include "SignalWatcher.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zr::sim {

namespace {

volatile std::sig_atomic_t signalPipe = -1;

extern "C" void forwardSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe, &byte, 1);
}

void setHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

SignalWatcher::SignalWatcher(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    signalPipe = writeEnd_.get();
    setHandler(SIGINT, forwardSignal);
    setHandler(SIGTERM, forwardSignal);
    setHandler(SIGPIPE, SIG_IGN);
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        std::array<char, 16> drained{};
        while (::read(readEnd_.get(), drained.data(), drained.size()) > 0) {
        }
        onSignal_();
    });
}

SignalWatcher::~SignalWatcher() {
    setHandler(SIGINT, SIG_DFL);
    setHandler(SIGTERM, SIG_DFL);
    signalPipe = -1;
}

} // namespace zr::sim
