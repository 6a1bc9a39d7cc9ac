// Probing the serial ports for the programmer and choosing one, on scripted ports.
#include "StationRig.h"
#include "protocol/PortSearch.h"

#include <gtest/gtest.h>

namespace {

using namespace zr::protocol;
using zr::protocol::test::Bytes;
using zr::protocol::test::StationRig;

// A station whose ports 1 to 16 all exist; the programmer sits on `programmerPort` (0: none)
// and answers the probe with `uid`. cboCOM runs the port selection when an entry is chosen.
struct SearchRig : StationRig {
    explicit SearchRig(int programmerPort, const std::string& uid = "1234554321") {
        for (int port = 1; port <= 16; ++port) {
            world.serial.availablePorts.insert(port);
        }
        world.serial.onWrite = [this, programmerPort, uid](int port, const Bytes& frame) {
            ++probes;
            if (port == programmerPort && frame == Bytes{0x01, 0x00}) {
                world.serial.deliverText(uid, 20);
            }
        };
    }
    int probes = 0;
};

TEST(PortSearch, ProgrammerOnTheFirstEntryIsFoundAfterOneProbe) {
    for (const bool english : {false, true}) {
        SearchRig rig(1);
        rig.station.chkLanguage.setValue(english ? 1 : 0);
        cmdSearchCOM_Click(rig.link);
        EXPECT_EQ(rig.probes, 1);
        EXPECT_EQ(rig.station.cboCOM.listIndex(), 0);
        EXPECT_EQ(rig.world.serial.openPort(), 1);
        EXPECT_EQ(rig.station.txtUID.text(), "1234554321");
        EXPECT_EQ(rig.station.infoOK.caption, english ? "COM Port OK" : "COM Port 搜尋成功");
        EXPECT_EQ(rig.station.infoErr.caption, "");
        EXPECT_EQ(rig.station.txtReceive.text(), "ReadUID - 1234554321\r\n1 0 ");
        EXPECT_EQ(rig.station.lblAlarm.caption,
                  english ? "Port search: the programmer answered on COM1; that port is in use "
                            "now."
                          : "自動搜尋 COM：卡機在 COM1 回應，已選用此連接埠。");
    }
}

TEST(PortSearch, ProgrammerFurtherOnIsFoundThere) {
    SearchRig rig(5);
    const std::uint64_t start = rig.now();
    cmdSearchCOM_Click(rig.link);
    EXPECT_EQ(rig.probes, 5);
    EXPECT_EQ(rig.station.cboCOM.listIndex(), 4);
    EXPECT_EQ(rig.world.serial.openPort(), 5);
    EXPECT_EQ(rig.station.lblAlarm.caption, "自動搜尋 COM：卡機在 COM5 回應，已選用此連接埠。");
    // Each port that opened costs its two 100 ms pauses and the 200 ms one.
    EXPECT_GE(rig.now() - start, 5U * 400U);
}

TEST(PortSearch, MissingPortsShowThePortErrorAndTheSearchGoesOn) {
    SearchRig rig(3);
    rig.world.serial.availablePorts = {3};
    rig.station.connType = "COM";
    cmdSearchCOM_Click(rig.link);
    EXPECT_EQ(rig.probes, 1);
    EXPECT_EQ(rig.station.cboCOM.listIndex(), 2);
    EXPECT_EQ(rig.station.infoOK.caption, "COM Port 搜尋成功");
    EXPECT_EQ(rig.station.infoErr.caption, "");
}

TEST(DirectCommand, ProbeGoesToTheSerialPortWhateverTheLink) {
    StationRig rig("TCPIP");
    rig.world.serial.open(1);
    rig.station.txtReceive.setText("x\r\n");
    const std::uint64_t start = rig.now();
    SendDirectCommand(rig.link, kProbeRequest);
    ASSERT_EQ(rig.world.serial.written.size(), 1U);
    EXPECT_EQ(rig.world.serial.written[0].bytes, (Bytes{0x01, 0x00}));
    EXPECT_EQ(rig.world.serial.written[0].tick - start, 101U);
    EXPECT_TRUE(rig.world.tcp.sent.empty());
    EXPECT_EQ(rig.station.txtReceive.text(), "x\r\n1 0 ");
    EXPECT_EQ(rig.now() - start, 202U);
}

} // namespace
