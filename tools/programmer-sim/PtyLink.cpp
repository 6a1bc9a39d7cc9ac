#include "PtyLink.h"

#include "Console.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace zr::sim {

namespace {

constexpr std::size_t kReadChunk = 4096;

std::string lastError() {
    return std::strerror(errno);
}

bool makeRaw9600(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

PtyLink::PtyLink(std::string symlinkPath) : Link("pty"), symlinkPath_(std::move(symlinkPath)) {}

PtyLink::~PtyLink() {
    close();
    removeSymlink();
}

bool PtyLink::open() {
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (!master.valid() || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        complain("cannot open a pseudo-terminal: " + lastError());
        return false;
    }
    std::array<char, 128> name{};
    if (::ptsname_r(master.get(), name.data(), name.size()) != 0) {
        complain("cannot name the pseudo-terminal: " + lastError());
        return false;
    }
    UniqueFd terminal(::open(name.data(), O_RDWR | O_NOCTTY));
    if (!terminal.valid() || !makeRaw9600(terminal.get())) {
        complain(std::string("cannot set up ") + name.data() + ": " + lastError());
        return false;
    }
    master_ = std::move(master);
    terminal_ = std::move(terminal);
    devicePath_ = name.data();
    notifier_ = std::make_unique<QSocketNotifier>(master_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readMaster(); });
    if (!symlinkPath_.empty() && !placeSymlink()) {
        return false;
    }
    announce("pty " + devicePath_);
    return true;
}

void PtyLink::close() {
    forgetConversation();
    notifier_.reset();
    terminal_.reset();
    master_.reset();
}

void PtyLink::hangUp() {
    close();
    if (!open()) {
        complain("the pseudo-terminal could not be opened again after the hang-up");
    }
}

void PtyLink::readMaster() {
    std::array<std::uint8_t, kReadChunk> buffer{};
    for (;;) {
        const ssize_t count = ::read(master_.get(), buffer.data(), buffer.size());
        if (count > 0) {
            bytesArrived({buffer.data(), static_cast<std::size_t>(count)});
            if (!master_.valid()) {
                return;
            }
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        return;
    }
}

void PtyLink::writeBytes(const QByteArray& bytes) {
    const char* data = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0 && master_.valid()) {
        const ssize_t written = ::write(master_.get(), data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            complain("reply lost on " + devicePath_ + ": " + lastError());
            return;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

// An existing symlink is replaced (it is most likely ours from a run that died); any other file
// is left alone.
bool PtyLink::placeSymlink() {
    struct stat existing {};
    if (::lstat(symlinkPath_.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            complain(symlinkPath_ + " exists and is not a symbolic link; not replacing it");
            return false;
        }
        ::unlink(symlinkPath_.c_str());
    }
    if (::symlink(devicePath_.c_str(), symlinkPath_.c_str()) != 0) {
        complain("cannot link " + symlinkPath_ + ": " + lastError());
        return false;
    }
    return true;
}

void PtyLink::removeSymlink() {
    if (symlinkPath_.empty()) {
        return;
    }
    std::array<char, 256> target{};
    const ssize_t length = ::readlink(symlinkPath_.c_str(), target.data(), target.size() - 1);
    if (length > 0 && std::string(target.data(), static_cast<std::size_t>(length)) == devicePath_) {
        ::unlink(symlinkPath_.c_str());
    }
}

} // namespace zr::sim
