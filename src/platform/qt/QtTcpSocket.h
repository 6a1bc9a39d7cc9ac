#pragma once

#include "platform/TcpSocket.h"

#include <QTcpSocket>

namespace zr::platform {

class QtTcpSocket final : public TcpSocket {
  public:
    QtTcpSocket();
    // The socket's own teardown closes the connection: that is no drop to report.
    ~QtTcpSocket() override { closing_ = true; }
    QtTcpSocket(const QtTcpSocket&) = delete;
    QtTcpSocket& operator=(const QtTcpSocket&) = delete;

    int state() const override;
    void connectToHost(const std::string& host, int port) override;
    void close() override;
    void send(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> readAll() override;

  private:
    QTcpSocket socket_;
    bool failed_ = false;
    // close() is ending the connection: not a drop to report.
    bool closing_ = false;
};

} // namespace zr::platform
