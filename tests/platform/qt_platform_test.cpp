// The Qt implementations of the platform seam against real pseudo-terminals, real loopback
// TCP and real files.
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtFiles.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtTcpSocket.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace zr::platform {
namespace {

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "qt_platform_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Pumps until `done` holds or a generous deadline passes.
bool pumpUntil(QtEventLoop& loop, const std::function<bool()>& done, std::uint32_t ms = 5000) {
    const std::uint32_t start = loop.tickCount();
    while (!done()) {
        if (ticksSince(start, loop.tickCount()) > ms) {
            return false;
        }
        loop.pumpEvents(loop.tickCount() + 20);
    }
    return true;
}

class PseudoTerminal {
  public:
    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            device_ = name;
            termios raw{};
            tcgetattr(master_, &raw);
            cfmakeraw(&raw);
            tcsetattr(master_, TCSANOW, &raw);
        }
    }
    ~PseudoTerminal() {
        if (master_ >= 0) {
            close(master_);
            close(slave_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& device() const { return device_; }
    void send(const std::string& bytes) const {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> receive(QtEventLoop& loop, std::size_t count) const {
        std::vector<std::uint8_t> bytes;
        fcntl(master_, F_SETFL, O_NONBLOCK);
        pumpUntil(loop, [&] {
            std::uint8_t buffer[64];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.insert(bytes.end(), buffer, buffer + n);
            }
            return bytes.size() >= count;
        });
        return bytes;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
};

class QtPlatform : public ::testing::Test {
  protected:
    void SetUp() override { application(); }
    QtEventLoop loop;
};

TEST_F(QtPlatform, SerialPortOnAPseudoTerminal) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.device().empty());
    QtSerialPort port({{3, pty.device()}, {4, "/dev/zr-no-such-device"}});
    int arrivals = 0;
    port.onReceive = [&] { ++arrivals; };

    EXPECT_FALSE(port.open(5)); // no mapping
    EXPECT_FALSE(port.open(4)); // no device
    ASSERT_TRUE(port.open(3));
    EXPECT_TRUE(port.isOpen());

    const std::vector<std::uint8_t> frame = {0x06, 0x09, 0x00, 0x02, 0x00, 0x01, 0x01};
    port.write(frame);
    EXPECT_EQ(pty.receive(loop, frame.size()), frame);

    pty.send(std::string("\x00OK ", 4));
    ASSERT_TRUE(pumpUntil(loop, [&] { return arrivals > 0; }));
    EXPECT_EQ(port.commEvent(), SerialPort::kEventReceive);
    std::vector<std::uint8_t> got;
    pumpUntil(loop, [&] {
        const auto more = port.readAll();
        got.insert(got.end(), more.begin(), more.end());
        return got.size() >= 4;
    });
    EXPECT_EQ(got, (std::vector<std::uint8_t>{0x00, 'O', 'K', ' '}));

    port.close();
    EXPECT_FALSE(port.isOpen());
    port.write(frame); // closed: nothing happens
}

TEST_F(QtPlatform, TcpSocketOnLoopback) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QtTcpSocket socket;
    std::size_t announced = 0;
    socket.onDataArrival = [&](std::size_t waiting) { announced = waiting; };
    EXPECT_EQ(socket.state(), TcpSocket::kStateClosed);

    socket.connectToHost("127.0.0.1", server.serverPort());
    ASSERT_TRUE(pumpUntil(loop, [&] { return socket.state() == TcpSocket::kStateConnected; }));
    ASSERT_TRUE(pumpUntil(loop, [&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();

    socket.send(std::vector<std::uint8_t>{0x01, 0x00});
    ASSERT_TRUE(pumpUntil(loop, [&] { return peer->bytesAvailable() >= 2; }));
    EXPECT_EQ(peer->readAll(), QByteArray("\x01\x00", 2));

    peer->write("1234567890");
    ASSERT_TRUE(pumpUntil(loop, [&] { return announced >= 10; }));
    const auto reply = socket.readAll();
    EXPECT_EQ(std::string(reply.begin(), reply.end()), "1234567890");

    socket.close();
    EXPECT_EQ(socket.state(), TcpSocket::kStateClosed);
}

TEST_F(QtPlatform, TcpSocketReportsARefusedConnection) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.serverPort();
    server.close();
    QtTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    ASSERT_TRUE(pumpUntil(loop, [&] { return socket.state() == TcpSocket::kStateError; }));
    socket.connectToHost("127.0.0.1", 70000); // no such port
    EXPECT_EQ(socket.state(), TcpSocket::kStateError);
    socket.close();
    EXPECT_EQ(socket.state(), TcpSocket::kStateClosed);
}

TEST_F(QtPlatform, SettingsFileRoundTripsAndSurvivesHandEditing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("station.ini");
    {
        QtSettingsStore store(path);
        EXPECT_EQ(store.get("ZR", "ZR_Record", "COM", "0"), "0");
        store.save("ZR", "ZR_Record", "KeyA", "FF-FF--FF-FF-FF");
        store.save("ZR", "ZR_Record", "GroupCode", "1,2");
        store.save("ZR", "ZR_Record", "IP", "192.168.0.120");
    }
    QtSettingsStore reopened(path);
    EXPECT_EQ(reopened.get("ZR", "ZR_Record", "KeyA", ""), "FF-FF--FF-FF-FF");
    EXPECT_EQ(reopened.get("ZR", "ZR_Record", "GroupCode", ""), "1,2");
    EXPECT_EQ(reopened.get("ZR", "ZR_Record", "IP", ""), "192.168.0.120");

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[ZR_Record]"));

    const std::pair<const char*, QByteArray> handEdited[] = {
        {"empty", ""},
        {"not INI", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"hand-written", "[ZR_Record]\nCOM = 3 \nKeyA=12-34\n[Ports]\nCOM3=/dev/ttyUSB7\n"
                         "COM17=/dev/x\nCOMx=/dev/y\nLPT1=/dev/z\n"},
    };
    for (const auto& [what, content] : handEdited) {
        SCOPED_TRACE(what);
        QFile edited(dir.filePath("edited.ini"));
        ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
        edited.write(content);
        edited.close();
        QtSettingsStore store(dir.filePath("edited.ini"));
        const std::string com = store.get("ZR", "ZR_Record", "COM", "0");
        EXPECT_TRUE(com == "0" || com == "3") << com;
        const auto ports = store.portMap();
        if (std::string(what) == "hand-written") {
            ASSERT_TRUE(ports);
            EXPECT_EQ(*ports, (PortMap{{3, "/dev/ttyUSB7"}}));
            EXPECT_EQ(store.get("ZR", "ZR_Record", "KeyA", ""), "12-34");
        } else {
            EXPECT_FALSE(ports);
        }
    }
}

// The set goes to disk as one replaced file, and a store that cannot be written says so.
TEST_F(QtPlatform, SettingsSetIsSavedWholeOrReportedUnsaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath("station.ini");
    QtSettingsStore store(path);
    store.save("ZR", "ZR_Record", "IP", "10.0.0.1");
    EXPECT_TRUE(store.saveAll("ZR", "ZR_Record", {{"GroupCode", "00012"}, {"CardCode", "00002"}}));
    QtSettingsStore reopened(path);
    EXPECT_EQ(reopened.get("ZR", "ZR_Record", "CardCode", ""), "00002");
    EXPECT_EQ(reopened.get("ZR", "ZR_Record", "GroupCode", ""), "00012");
    EXPECT_EQ(reopened.get("ZR", "ZR_Record", "IP", ""), "10.0.0.1");

    // A plain file where the settings' folder should be: nothing can be written below it.
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettingsStore unwritable(dir.filePath("not-a-folder/station.ini"));
    EXPECT_FALSE(unwritable.saveAll("ZR", "ZR_Record", {{"CardCode", "00003"}}));
}

TEST_F(QtPlatform, TrafficLogAppendsWholeLinesAndSurvivesAnUnwritablePath) {
    QTemporaryDir dir;
    FileTrafficLog log(dir.filePath("logs/AAA.txt"));
    log.appendLine("1234567890");
    log.appendLine("cmdReadUID_Click");
    QFile file(dir.filePath("logs/AAA.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("1234567890\r\ncmdReadUID_Click\r\n"));

    FileTrafficLog unwritable(dir.path()); // a directory cannot be opened as a file
    unwritable.appendLine("lost, but nothing else is");
}

TEST_F(QtPlatform, PumpSleepsUntilTheWakeUpTick) {
    // A spinning pump would come back thousands of times in 40 ms; a sleeping one a few.
    const std::uint32_t start = loop.tickCount();
    int pumps = 0;
    while (ticksSince(start, loop.tickCount()) <= 40) {
        loop.pumpEvents(start + 41);
        ++pumps;
    }
    EXPECT_LT(pumps, 50);

    int ticks = 0;
    auto timer = loop.createTimer([&] { ++ticks; });
    timer->start(10);
    EXPECT_TRUE(pumpUntil(loop, [&] { return ticks >= 3; }));
    timer->stop();
}

} // namespace
} // namespace zr::platform
