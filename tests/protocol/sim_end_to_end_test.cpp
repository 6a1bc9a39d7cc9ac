// The senders and the reply handler against the real simulator over TCP and a pseudo-terminal.
#include "SimStation.h"
#include "protocol/Senders.h"

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace zr::protocol;
using zr::protocol::test::Link;
using zr::protocol::test::RunningSim;
using zr::protocol::test::SimStation;

namespace fs = std::filesystem;

const std::string kUid = "0123456789";

fs::path recordPath() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->name());
    for (char& c : name) {
        c = c == '/' ? '-' : c;
    }
    return fs::temp_directory_path() /
           ("zr-protocol-" + std::to_string(::getpid()) + "-" + name + ".rec");
}

std::vector<std::string> recordedFrames(const fs::path& path) {
    // The simulator flushes each line as it records it; give the last one a moment.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class SimEndToEndTest : public testing::TestWithParam<Link> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ready()) << sim.process->stderrText();
        station = std::make_unique<SimStation>(sim, GetParam());
        ASSERT_TRUE(station->linked());
        sim.process->scenario("card " + kUid);
    }
    void TearDown() override { fs::remove(record); }

    fs::path record = recordPath();
    RunningSim sim{{"--record", record.string()}};
    std::unique_ptr<SimStation> station;
};

TEST_P(SimEndToEndTest, ReadUidFillsTheUidAndDerivesTheKey) {
    auto& s = station->station;
    EXPECT_TRUE(SendReadUid(s));
    EXPECT_EQ(s.txtUID.text(), kUid);
    EXPECT_EQ(s.txtUID2.text(), "01234:56789");
    EXPECT_EQ(station->keyDerivations, 1);
    EXPECT_EQ(s.txtReceive.text(), "ReadUID - " + kUid + "\r\n0-ReadUID\r\n");
    EXPECT_EQ(recordedFrames(record), std::vector<std::string>{"01 00"});
}

TEST_P(SimEndToEndTest, V3LoginModifyWriteReadBack) {
    auto& s = station->station;
    const std::string newKey[6] = {"12", "34", "56", "78", "9A", "BC"};
    ASSERT_TRUE(SendV2LoginFixedKey(s));
    EXPECT_EQ(s.txtV2_AssignAKey.text(), "OK");
    for (std::size_t i = 0; i < 6; ++i) {
        s.txtAKey[i].setText(newKey[i]);
    }
    ASSERT_TRUE(SendV2ModifyKey(s));
    EXPECT_EQ(s.txtV2_ModifyAKey.text(), "OK");
    s.txtGroupCode.setText("00002");
    s.txtCardCode.setText("00001");
    s.chkLock.setValue(0);
    ASSERT_TRUE(SendV2WriteCardCode(s));
    s.txtBlockIDV2.setText("");
    SendV2ReadCardCode(s);
    EXPECT_EQ(s.txtResponseReadCard.text(), "OK");
    EXPECT_EQ(s.txtBlockIDV2.text(), "00002:00001");
    // The card now answers to the new key, and still to the login key as key B.
    ASSERT_TRUE(SendV2LoginTypedKey(s));
    EXPECT_EQ(s.txtV2_AssignAKey.text(), "OK");
    EXPECT_EQ(
        recordedFrames(record),
        (std::vector<std::string>{"08 07 20 FF FF FF FF FF FF", "08 08 20 12 34 56 78 9A BC",
                                  "06 09 00 02 00 01 00", "01 0A", "08 07 20 12 34 56 78 9A BC"}));
}

// Over TCP too, a reply in pieces is put together by the settle before it is read.
TEST_P(SimEndToEndTest, SplitRepliesAreWholeReplies) {
    sim.process->scenario("split 2");
    auto& s = station->station;
    EXPECT_TRUE(SendV2LoginFixedKey(s));
    EXPECT_EQ(s.txtReceive.text(), "V2_Assign_A_Key - OK\r\n");
    EXPECT_TRUE(SendReadUid(s));
    EXPECT_EQ(s.txtUID.text(), kUid);
}

TEST_P(SimEndToEndTest, SilentProgrammerGetsThreeSendsThenFalse) {
    sim.process->scenario("silent");
    auto& s = station->station;
    const std::uint32_t start = s.tickCount();
    EXPECT_FALSE(SendReadUid(s));
    EXPECT_GE(s.tickCount() - start, 903U);
    EXPECT_EQ(s.txtReceive.text(), "2-ReadUID\r\n1-ReadUID\r\n0-ReadUID\r\n");
    EXPECT_EQ(recordedFrames(record), std::vector<std::string>(3, "01 00"));
}

INSTANTIATE_TEST_SUITE_P(Links, SimEndToEndTest, testing::Values(Link::Tcp, Link::Pty),
                         [](const auto& testInfo) {
                             return std::string(testInfo.param == Link::Tcp ? "Tcp" : "Pty");
                         });

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
