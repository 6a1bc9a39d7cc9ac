#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace zr::platform {

// A serial port opened by COM number (1 to 16) at 9600 baud, 8N1, no flow control.
class SerialPort {
  public:
    static constexpr int kEventReceive = 2;

    virtual ~SerialPort() = default;

    // Opens the device mapped to `portNumber`; false when there is none or it cannot be opened.
    virtual bool open(int portNumber) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Writes the whole buffer; does nothing while the port is closed.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    // Everything buffered so far, taken out of the buffer.
    virtual std::vector<std::uint8_t> readAll() = 0;
    // The last communication event: kEventReceive after data arrived.
    virtual int commEvent() const = 0;

    // Raised once for every arrival of data.
    std::function<void()> onReceive;
    // Raised when the open port's device went away (an adapter pulled, a line hung up); the
    // port is closed by then.
    std::function<void()> onDeviceLost;
};

} // namespace zr::platform
