#include "TcpLink.h"

#include "Console.h"

namespace zr::sim {

namespace {
constexpr qint64 kReadChunk = 4096;
}

TcpLink::TcpLink() : Link("tcp") {
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { acceptClient(); });
}

TcpLink::~TcpLink() {
    closeClient();
}

std::uint16_t TcpLink::listen(std::uint16_t port) {
    if (!server_.listen(QHostAddress::LocalHost, port)) {
        complain("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                 server_.errorString().toStdString());
        return 0;
    }
    return server_.serverPort();
}

void TcpLink::acceptClient() {
    while (QTcpSocket* incoming = server_.nextPendingConnection()) {
        closeClient();
        client_ = incoming;
        // Pieces of a split reply leave when they are due, not when the station's delayed
        // acknowledgement lets the next small segment out.
        incoming->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(incoming, &QTcpSocket::readyRead, incoming, [this] { readClient(); });
        QObject::connect(incoming, &QTcpSocket::disconnected, incoming, [this, incoming] {
            if (client_ == incoming) {
                forgetConversation();
                client_.clear();
            }
            incoming->deleteLater();
        });
    }
}

void TcpLink::readClient() {
    while (client_ && client_->bytesAvailable() > 0) {
        const QByteArray bytes = client_->read(kReadChunk);
        bytesArrived({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())});
    }
}

void TcpLink::closeClient() {
    forgetConversation();
    if (!client_) {
        return;
    }
    QTcpSocket* old = client_;
    client_.clear();
    old->disconnect();
    old->close();
    old->deleteLater();
}

void TcpLink::hangUp() {
    closeClient();
}

void TcpLink::writeBytes(const QByteArray& bytes) {
    if (client_) {
        client_->write(bytes);
        client_->flush();
    }
}

} // namespace zr::sim
