// Arrivals on the serial line and TCP become replies after the settle, each handled apart.
#include "StationRig.h"
#include "protocol/ReplyDispatch.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace zr::protocol;
using zr::protocol::test::Bytes;
using zr::protocol::test::StationRig;

// The byte rules themselves are reply_text_test's; here only that the serial path applies them.
TEST(SerialReceive, ArrivalBytesBecomeReplyText) {
    StationRig rig;
    rig.awaitReplies("V1_Assign_A_Key");
    rig.world.serial.deliver(Bytes{0x00, 0x4F, 0x00, 0x4B, 0x20});
    rig.world.loop.runFor(50);
    EXPECT_EQ(rig.station.txtV1_AssignAKey.text(), "OK");
}

TEST(SerialReceive, ReplyIsLoggedThenDispatchedAfterTheSettle) {
    StationRig rig;
    rig.awaitReplies("V1_LoadNewAKey");
    std::uint64_t dispatchedAt = 0;
    rig.station.txtV1_LoadNewKey.onChange = [&] { dispatchedAt = rig.now(); };
    rig.world.serial.deliverText("OK", 10);
    rig.world.loop.runFor(100);
    EXPECT_EQ(rig.station.txtV1_LoadNewKey.text(), "OK");
    EXPECT_EQ(dispatchedAt, 31U);
    EXPECT_EQ(rig.world.trafficLog.lines, std::vector<std::string>{"OK"});
    EXPECT_EQ(rig.station.txtReceive.text(), "V1_LoadNewAKey - OK\r\n");
}

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

TEST(SerialReceive, NothingHappensUnlessOpenAndReceiving) {
    StationRig rig;
    rig.station.currentCommand = "V1_Assign_A_Key";
    // No receive event yet: the last communication event is not "data received".
    OnSerialReceive(rig.station);
    rig.world.serial.deliverText("OK");
    rig.world.serial.onReceive = nullptr;
    rig.world.loop.runFor(1);
    rig.world.serial.close();
    OnSerialReceive(rig.station);
    EXPECT_EQ(rig.station.txtV1_AssignAKey.text(), "09");
    EXPECT_EQ(rig.station.txtReceive.text(), "");
    EXPECT_TRUE(rig.world.trafficLog.lines.empty());
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

TEST(TcpReceive, OnlyTheExactNameSettles) {
    StationRig rig("TCPIP");
    rig.awaitReplies("readuid", 2);
    rig.station.txtUID.setText("unchanged");
    rig.world.tcp.deliverText("12345", 0);
    rig.world.tcp.deliverText("54321", 100);
    rig.world.loop.runFor(400);
    // Routed as a UID both times, but each half is too short to be one.
    EXPECT_EQ(rig.station.txtUID.text(), "unchanged");
    EXPECT_EQ(rig.station.txtReadUID.text(), "NO");
}

// A reply split over TCP segments is one reply after the short settle, as on the serial line.
TEST(TcpReceive, OtherCommandsSettleLikeTheSerialLine) {
    StationRig rig("TCPIP");
    rig.awaitReplies("V2_Assign_A_Key");
    const std::uint64_t start = rig.now();
    rig.world.tcp.deliverText("O", 0);
    rig.world.tcp.deliverText("K", 5);
    rig.world.loop.runFor(30);
    EXPECT_EQ(rig.station.txtV2_AssignAKey.text(), "OK");
    EXPECT_EQ(rig.station.txtReceive.text(), "V2_Assign_A_Key - OK\r\n");
    EXPECT_LE(rig.now() - start, 30U);
}

TEST(ReceiveContainment, AFailingHandlerEndsOnlyThatReply) {
    for (const std::string link : {"COM", "TCPIP"}) {
        StationRig rig(link);
        rig.station.cmdCalculate_A_Key.onClick = [] { throw std::runtime_error("derivation"); };
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
