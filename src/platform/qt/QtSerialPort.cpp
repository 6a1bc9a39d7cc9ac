#include "platform/qt/QtSerialPort.h"

namespace zr::platform {

PortMap defaultPortMap() {
    PortMap ports;
    for (int n = 1; n <= 16; ++n) {
#ifdef Q_OS_WIN
        ports[n] = "COM" + std::to_string(n);
#else
        ports[n] = "/dev/ttyS" + std::to_string(n - 1);
#endif
    }
    return ports;
}

QtSerialPort::QtSerialPort(PortMap ports) : ports_(std::move(ports)) {
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        commEvent_ = kEventReceive;
        if (onReceive) {
            onReceive();
        }
    });
    // A device that went away (an adapter pulled out, a line hung up) leaves the port closed,
    // so the station sees the link down and can open the port again.
    QObject::connect(&port_, &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) {
                         if (error == QSerialPort::ResourceError && port_.isOpen()) {
                             port_.close();
                             if (onDeviceLost) {
                                 onDeviceLost();
                             }
                         }
                     });
}

bool QtSerialPort::open(int portNumber) {
    close();
    const auto it = ports_.find(portNumber);
    if (it == ports_.end() || it->second.empty()) {
        return false;
    }
    port_.setPortName(QString::fromStdString(it->second));
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    return port_.open(QIODevice::ReadWrite);
}

void QtSerialPort::close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

void QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) {
        return;
    }
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::vector<std::uint8_t> QtSerialPort::readAll() {
    const QByteArray data = port_.readAll();
    return {data.begin(), data.end()};
}

} // namespace zr::platform
