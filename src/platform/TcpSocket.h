#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zr::platform {

// A TCP client socket with the state codes the station compares against.
class TcpSocket {
  public:
    static constexpr int kStateClosed = 0;
    static constexpr int kStateConnecting = 6;
    static constexpr int kStateConnected = 7;
    static constexpr int kStateError = 9;

    virtual ~TcpSocket() = default;

    virtual int state() const = 0;
    // Starts connecting from any local port; returns at once.
    virtual void connectToHost(const std::string& host, int port) = 0;
    virtual void close() = 0;
    virtual void send(std::span<const std::uint8_t> bytes) = 0;
    virtual std::vector<std::uint8_t> readAll() = 0;

    // Raised when data arrived, with the number of bytes waiting.
    std::function<void(std::size_t)> onDataArrival;
    // Raised when a connection that was up ends without close() (the peer closed it, the
    // network failed); the socket is closed by then.
    std::function<void()> onDisconnected;
};

} // namespace zr::platform
