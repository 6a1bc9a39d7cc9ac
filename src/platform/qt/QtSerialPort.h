#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <map>
#include <string>

namespace zr::platform {

// COM number -> device path. Numbers without an entry have no device.
using PortMap = std::map<int, std::string>;

// The documented default: COMn on Windows, /dev/ttySn-1 elsewhere.
PortMap defaultPortMap();

class QtSerialPort final : public SerialPort {
  public:
    explicit QtSerialPort(PortMap ports);

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> readAll() override;
    int commEvent() const override { return commEvent_; }

  private:
    PortMap ports_;
    QSerialPort port_;
    int commEvent_ = 0;
};

} // namespace zr::platform
