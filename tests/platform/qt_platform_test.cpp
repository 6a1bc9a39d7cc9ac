// The Qt settings store: a settings file that survives hand editing, and the port map.
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtFiles.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtTcpSocket.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <pty.h>
#include <string>
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

// A pseudo-terminal whose device name stands for a serial port.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            device_ = name;
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

    // Hand-edited: a file that is not INI reads as empty; a hand-written one as written, with
    // only well-formed port lines in the map.
    const auto edited = [&](const QByteArray& content) {
        QFile hand(dir.filePath("edited.ini"));
        EXPECT_TRUE(hand.open(QIODevice::WriteOnly | QIODevice::Truncate));
        hand.write(content);
        hand.close();
        return std::make_unique<QtSettingsStore>(dir.filePath("edited.ini"));
    };
    const auto broken = edited(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    EXPECT_EQ(broken->get("ZR", "ZR_Record", "COM", "0"), "0");
    EXPECT_FALSE(broken->portMap());
    const auto written = edited("[ZR_Record]\nCOM = 3 \nKeyA=12-34\n[Ports]\nCOM3=/dev/ttyUSB7\n"
                                "COM17=/dev/x\nCOMx=/dev/y\nLPT1=/dev/z\n");
    EXPECT_EQ(written->get("ZR", "ZR_Record", "COM", "0"), "3");
    EXPECT_EQ(written->get("ZR", "ZR_Record", "KeyA", ""), "12-34");
    EXPECT_EQ(written->portMap(), (PortMap{{3, "/dev/ttyUSB7"}}));
}

} // namespace
} // namespace zr::platform
