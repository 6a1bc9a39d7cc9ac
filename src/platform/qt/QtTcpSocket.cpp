#include "platform/qt/QtTcpSocket.h"

namespace zr::platform {

QtTcpSocket::QtTcpSocket() {
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
        if (onDataArrival) {
            onDataArrival(static_cast<std::size_t>(socket_.bytesAvailable()));
        }
    });
    QObject::connect(&socket_, &QAbstractSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError) { failed_ = true; });
    QObject::connect(&socket_, &QAbstractSocket::disconnected, [this] {
        if (!closing_ && onDisconnected) {
            onDisconnected();
        }
    });
}

int QtTcpSocket::state() const {
    switch (socket_.state()) {
    case QAbstractSocket::HostLookupState:
        return 4;
    case QAbstractSocket::ConnectingState:
        return kStateConnecting;
    case QAbstractSocket::ConnectedState:
        return kStateConnected;
    case QAbstractSocket::ClosingState:
        return 8;
    default:
        return failed_ ? kStateError : kStateClosed;
    }
}

void QtTcpSocket::connectToHost(const std::string& host, int port) {
    failed_ = false;
    if (port < 0 || port > 65535) {
        failed_ = true;
        return;
    }
    socket_.connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
}

void QtTcpSocket::close() {
    closing_ = true;
    socket_.abort();
    closing_ = false;
    failed_ = false;
}

void QtTcpSocket::send(std::span<const std::uint8_t> bytes) {
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        return;
    }
    socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::vector<std::uint8_t> QtTcpSocket::readAll() {
    const QByteArray data = socket_.readAll();
    return {data.begin(), data.end()};
}

} // namespace zr::platform
