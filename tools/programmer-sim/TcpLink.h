#pragma once

#include "Link.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>

namespace zr::sim {

// Listens on 127.0.0.1 and serves one client at a time; a new client replaces the old one.
class TcpLink final : public Link {
  public:
    TcpLink();
    ~TcpLink() override;

    // Port 0 takes any free port. Returns the port listened on, 0 on failure.
    std::uint16_t listen(std::uint16_t port);
    void hangUp() override;

  protected:
    void writeBytes(const QByteArray& bytes) override;

  private:
    void acceptClient();
    void readClient();
    void closeClient();

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
};

} // namespace zr::sim
