#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zr::sim::test {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Owns one descriptor (test side).
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept;
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd();
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset();

  private:
    int fd_ = -1;
};

// The real simulator as a child process, with its stdin, stdout and stderr on pipes. Ended with
// SIGTERM when the test lets go of it.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& arguments);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool started() const { return pid_ > 0; }
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = 3s);
    // Writes a scenario line and gives the simulator a moment to act on it.
    void scenario(const std::string& line);
    // Sends a signal and waits for the exit status; nothing when it did not end in time.
    std::optional<int> stop(int signal, std::chrono::milliseconds timeout = 3s);
    std::optional<int> waitExit(std::chrono::milliseconds timeout = 3s);
    std::string stderrText();

  private:
    pid_t pid_ = -1;
    Fd stdin_;
    Fd stdout_;
    Fd stderr_;
    std::string stdoutBuffer_;
};

// Bytes that arrive on fd within the timeout, one read per arrival.
std::vector<Bytes> readArrivals(int fd, std::size_t wanted, std::chrono::milliseconds timeout);
// Everything that arrives until `wanted` bytes are in or the timeout passes.
std::string readText(int fd, std::size_t wanted, std::chrono::milliseconds timeout = 2s);
bool writeAll(int fd, const Bytes& bytes);

Fd connectTcp(std::uint16_t port);
// Opens a serial device as the station does: raw, 9600 8N1, no flow control.
Fd openSerial(const std::string& path);

} // namespace zr::sim::test
