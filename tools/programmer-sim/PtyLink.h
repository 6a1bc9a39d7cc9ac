#pragma once

#include "Link.h"
#include "UniqueFd.h"

#include <QSocketNotifier>
#include <memory>
#include <string>

namespace zr::sim {

// A pseudo-terminal in raw mode, 9600 8N1, standing in for the programmer's serial port.
// The link keeps the terminal side open itself, so the master never sees a hang-up while no
// program has the device open. Hanging up closes the terminal and opens a fresh one.
class PtyLink final : public Link {
  public:
    // symlinkPath may be empty; otherwise it is made to point at the device.
    explicit PtyLink(std::string symlinkPath);
    ~PtyLink() override;

    // Opens the terminal and announces "pty DEVICE" on stdout. False on failure.
    bool open();
    const std::string& devicePath() const { return devicePath_; }
    void hangUp() override;

  protected:
    void writeBytes(const QByteArray& bytes) override;

  private:
    void close();
    void readMaster();
    bool placeSymlink();
    void removeSymlink();

    std::string symlinkPath_;
    std::string devicePath_;
    UniqueFd master_;
    UniqueFd terminal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zr::sim
