#include "SimProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace zr::sim::test {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

bool waitReadable(int fd, Clock::time_point deadline) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, remainingMs(deadline)) > 0;
}

} // namespace

Fd::Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}
Fd::~Fd() {
    reset();
}
void Fd::reset() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
}

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        return;
    }
    stdin_ = Fd(in[1]);
    stdout_ = Fd(out[0]);
    stderr_ = Fd(err[0]);
    Fd childIn(in[0]), childOut(out[1]), childErr(err[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childIn.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childOut.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childErr.get(), STDERR_FILENO);
    std::vector<std::string> argvText{ZR_PROGRAMMER_SIM};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argvText) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && !stop(SIGTERM)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<std::string> SimProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto newline = stdoutBuffer_.find('\n');
        if (newline != std::string::npos) {
            std::string line = stdoutBuffer_.substr(0, newline);
            stdoutBuffer_.erase(0, newline + 1);
            return line;
        }
        if (!waitReadable(stdout_.get(), deadline)) {
            return std::nullopt;
        }
        char buffer[256];
        const ssize_t count = ::read(stdout_.get(), buffer, sizeof buffer);
        if (count <= 0) {
            return std::nullopt;
        }
        stdoutBuffer_.append(buffer, static_cast<std::size_t>(count));
    }
}

void SimProcess::scenario(const std::string& line) {
    const std::string text = line + "\n";
    writeAll(stdin_.get(), Bytes(text.begin(), text.end()));
    std::this_thread::sleep_for(100ms);
}

std::optional<int> SimProcess::stop(int signal, std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return std::nullopt;
    }
    ::kill(pid_, signal);
    return waitExit(timeout);
}

std::optional<int> SimProcess::waitExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (pid_ > 0) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (Clock::now() > deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

std::string SimProcess::stderrText() {
    std::string text;
    char buffer[512];
    const auto deadline = Clock::now() + 200ms;
    while (waitReadable(stderr_.get(), deadline)) {
        const ssize_t count = ::read(stderr_.get(), buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

std::vector<Bytes> readArrivals(int fd, std::size_t wanted, std::chrono::milliseconds timeout) {
    std::vector<Bytes> arrivals;
    std::size_t total = 0;
    const auto deadline = Clock::now() + timeout;
    while (total < wanted && waitReadable(fd, deadline)) {
        std::uint8_t buffer[256];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        arrivals.emplace_back(buffer, buffer + count);
        total += static_cast<std::size_t>(count);
    }
    return arrivals;
}

std::string readText(int fd, std::size_t wanted, std::chrono::milliseconds timeout) {
    std::string text;
    for (const Bytes& arrival : readArrivals(fd, wanted, timeout)) {
        text.append(arrival.begin(), arrival.end());
    }
    return text;
}

bool writeAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

Fd connectTcp(std::uint16_t port) {
    Fd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return socket;
}

Fd openSerial(const std::string& path) {
    Fd port(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!port.valid()) {
        return {};
    }
    termios settings{};
    ::tcgetattr(port.get(), &settings);
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(port.get(), TCSANOW, &settings) != 0) {
        return {};
    }
    return port;
}

} // namespace zr::sim::test
