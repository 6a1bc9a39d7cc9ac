// Arrivals on the serial line and TCP become replies after the settle, each handled apart.
#include "StationRig.h"
#include "protocol/ReplyDispatch.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace zr::protocol;
using zr::protocol::test::Bytes;
using zr::protocol::test::StationRig;

TEST(SerialReceive, TwoArrivalsAreTwoReplies) {
    StationRig rig;
    rig.awaitReplies("V1_ReadCardCode", 2);
    rig.world.serial.deliverText("00002", 0);
    rig.world.serial.deliverText("00001", 30);
    rig.world.loop.runFor(100);
    EXPECT_EQ(rig.station.txtReceive.text(),
              "V1_ReadCardCode - 00001\r\nV1_ReadCardCode - 00002\r\n");
    EXPECT_EQ(rig.station.txtV1_ReadCardCode.text(), "NO");
    EXPECT_EQ(rig.world.trafficLog.lines, (std::vector<std::string>{"00002", "00001"}));
}

// A reply no request is open for is shown, and answers nothing.
TEST(SerialReceive, AReplyNobodyAskedForIsIgnored) {
    StationRig rig;
    rig.link.currentCommand = "ReadUID";
    const std::string flag = rig.station.txtReadUID.text();
    rig.world.serial.deliverText("1234554321", 0);
    rig.world.loop.runFor(100);
    EXPECT_EQ(rig.station.txtReadUID.text(), flag);
    EXPECT_EQ(rig.station.txtAKey[0].text(), "FF"); // no key derived
    EXPECT_EQ(rig.station.txtReceive.text(), "? - 1234554321 (no request open: ignored)\r\n");
}

TEST(TcpReceive, UidInPiecesIsOneReplyAfterTheSettle) {
    StationRig rig("TCPIP");
    rig.awaitReplies("ReadUID");
    rig.world.tcp.deliverText("12345", 0);
    rig.world.tcp.deliverText("54321", 100);
    rig.world.loop.runFor(400);
    EXPECT_EQ(rig.station.txtUID.text(), "1234554321");
    EXPECT_EQ(rig.station.txtReceive.text(), "ReadUID - 1234554321\r\n");
    EXPECT_TRUE(rig.world.trafficLog.lines.empty()); // the TCP path does not log
}

TEST(ReceiveContainment, AFailingHandlerEndsOnlyThatReply) {
    for (const std::string link : {"COM", "TCPIP"}) {
        StationRig rig(link);
        rig.station.txtAKey[0].onChange = [] { throw std::runtime_error("derivation"); };
        rig.awaitReplies("ReadUID");
        rig.station.size1 = 9570;
        if (link == "COM") {
            rig.world.serial.deliverText("1234554321");
        } else {
            rig.world.tcp.deliverText("1234554321");
        }
        EXPECT_NO_THROW(rig.world.loop.runFor(400)) << link;
        EXPECT_EQ(rig.station.txtReadUID.text(), "OK") << link;
        EXPECT_EQ(rig.station.txtReceive.text(), "") << link;
        // The fault leaves its trace in the log, even with the window shrunk (no logging).
        EXPECT_EQ(
            rig.world.trafficLog.lines,
            std::vector<std::string>{"DispatchReply failed: ReadUID - 1234554321: derivation"})
            << link;
        // The station goes on: the next reply is handled normally.
        rig.awaitReplies("V2_Modify_A_Key");
        if (link == "COM") {
            rig.world.serial.deliverText("OK");
        } else {
            rig.world.tcp.deliverText("OK");
        }
        rig.world.loop.runFor(50);
        EXPECT_EQ(rig.station.txtReceive.text(), "V2_Modify_A_Key - OK\r\n") << link;
    }
}

} // namespace
