// The programmer simulator as a process: its links (TCP, pseudo-terminal), scenario lines,
// record file and command line. The replies themselves are ProgrammerModelTest's.
#include "ProgrammerFrames.h"
#include "SimProcess.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace zr::sim::test {
namespace {

namespace fs = std::filesystem;

const std::string kUid = "0123456789";
const Bytes kReadUid = {0x01, 0x00};

fs::path scratchPath(const std::string& name) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return fs::temp_directory_path() /
           ("zr-sim-" + std::to_string(::getpid()) + "-" + info->name() + "-" + name);
}

std::vector<std::string> fileLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The text after `prefix` on the simulator's next line of output.
std::string announced(SimProcess& sim, const std::string& prefix) {
    const auto line = sim.readLine();
    if (!line || !line->starts_with(prefix)) {
        ADD_FAILURE() << "no " << prefix << "announcement: " << line.value_or("(nothing)");
        return {};
    }
    return line->substr(prefix.size());
}

std::uint16_t announcedPort(SimProcess& sim) {
    const std::string port = announced(sim, "tcp ");
    return port.empty() ? 0 : static_cast<std::uint16_t>(std::stoi(port));
}

std::string announcedDevice(SimProcess& sim) {
    return announced(sim, "pty ");
}

std::string ask(int fd, const Bytes& request, std::size_t replyLength) {
    EXPECT_TRUE(writeAll(fd, request));
    return readText(fd, replyLength);
}

bool quietFor(int fd, std::chrono::milliseconds span) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(span.count())) == 0;
}

struct Exchange {
    Bytes request;
    std::string reply;
};

// One frame of each length the frame cutter knows, the longest being the controller's.
const std::vector<Exchange> kFramesOfEachLength = {
    {{0x01, 0x00}, kUid},
    {{0x02, 0x03, 0x00}, "OK"},
    {{0x08, 0x08, 0x04, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}, "OK"},
    {{0x02, 0x03, 0x01}, "OK"},
    {{0x06, 0x09, 0x00, 0x02, 0x00, 0x01, 0x01}, "OK"},
    {{0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF1}, "OK"},
};

TEST(SimOverTcp, FramesRepliesAndRecordFile) {
    const fs::path record = scratchPath("record.txt");
    SimProcess sim({"--tcp", "0", "--scenario", "-", "--record", record.string()});
    ASSERT_TRUE(sim.started());
    const std::uint16_t port = announcedPort(sim);
    sim.scenario("card " + kUid);
    const Fd link = connectTcp(port);
    ASSERT_TRUE(link.valid());

    std::vector<std::string> expectedRecord;
    for (const auto& [request, reply] : kFramesOfEachLength) {
        EXPECT_EQ(ask(link.get(), request, reply.size()), reply) << zr::sim::hexText(request);
        expectedRecord.push_back(zr::sim::hexText(request));
    }
    EXPECT_EQ(fileLines(record), expectedRecord);
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    fs::remove(record);
}

TEST(SimOverTcp, SplitSilentGarbageAndDrop) {
    const fs::path record = scratchPath("record.txt");
    SimProcess sim({"--tcp", "0", "--scenario", "-", "--record", record.string()});
    ASSERT_TRUE(sim.started());
    const std::uint16_t port = announcedPort(sim);
    sim.scenario("card " + kUid);
    Fd link = connectTcp(port);
    ASSERT_TRUE(link.valid());

    sim.scenario("split 5");
    ASSERT_TRUE(writeAll(link.get(), kReadUid));
    const auto arrivals = readArrivals(link.get(), kUid.size(), 2s);
    std::string joined;
    for (const Bytes& arrival : arrivals) {
        joined.append(arrival.begin(), arrival.end());
    }
    EXPECT_EQ(joined, kUid);
    EXPECT_GE(arrivals.size(), 2u) << "the reply should come in pieces";
    sim.scenario("split 1");

    sim.scenario("silent");
    ASSERT_TRUE(writeAll(link.get(), kReadUid));
    EXPECT_TRUE(quietFor(link.get(), 400ms)) << "a silent programmer answers nothing";
    sim.scenario("normal");
    EXPECT_EQ(ask(link.get(), kReadUid, kUid.size()), kUid);

    sim.scenario("garbage");
    ASSERT_TRUE(writeAll(link.get(), kReadUid));
    const std::string noise = readText(link.get(), 3);
    ASSERT_FALSE(noise.empty());
    for (const char c : noise) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x80u);
    }
    EXPECT_TRUE(quietFor(link.get(), 100ms));
    EXPECT_EQ(ask(link.get(), kReadUid, kUid.size()), kUid) << "garbage is for one reply only";

    sim.scenario("drop");
    char byte = 0;
    EXPECT_EQ(::read(link.get(), &byte, 1), 0) << "the client should see the link close";
    link = connectTcp(port);
    ASSERT_TRUE(link.valid());
    EXPECT_EQ(ask(link.get(), kReadUid, kUid.size()), kUid);

    EXPECT_EQ(fileLines(record), std::vector<std::string>(6, "01 00"));
    EXPECT_EQ(sim.stop(SIGINT), 0);
    fs::remove(record);
}

TEST(SimOverTcp, GarbageBytesAreDroppedAndTheStreamResynchronises) {
    const fs::path record = scratchPath("record.txt");
    SimProcess sim({"--tcp", "0", "--scenario", "-", "--record", record.string()});
    const std::uint16_t port = announcedPort(sim);
    sim.scenario("card " + kUid);
    const Fd link = connectTcp(port);
    ASSERT_TRUE(link.valid());
    EXPECT_EQ(ask(link.get(), {0x41, 0x42, 0x01, 0x00}, kUid.size()), kUid);
    EXPECT_EQ(fileLines(record), (std::vector<std::string>{"# dropped: 41 42", "01 00"}));
    fs::remove(record);
}

// The queue lays the next card a swap time after the present one was written, and reports
// each card taken off; a snatched card leaves before its write is carried out.
TEST(SimOverTcp, CardQueueSwapsWrittenCardsAndSnatches) {
    SimProcess sim({"--tcp", "0", "--scenario", "-", "--reply-delay", "0"});
    const std::uint16_t port = announcedPort(sim);
    sim.scenario("swap 150");
    sim.scenario("queue 1000000001 2");
    const Fd link = connectTcp(port);
    ASSERT_TRUE(link.valid());
    const Bytes logIn{0x08, 0x07, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const Bytes write{0x06, 0x09, 0x00, 0x01, 0x00, 0x07, 0x00};
    EXPECT_EQ(ask(link.get(), kReadUid, 10), "1000000001");
    EXPECT_EQ(ask(link.get(), logIn, 2), "OK");
    EXPECT_EQ(ask(link.get(), write, 2), "OK");
    EXPECT_EQ(sim.readLine(), "removed 1000000001 V1 - V3 00001:00007");
    EXPECT_EQ(ask(link.get(), kReadUid, 10), "1000000002");
    sim.scenario("snatch");
    EXPECT_EQ(ask(link.get(), logIn, 2), "OK");
    EXPECT_EQ(ask(link.get(), write, 2), "NO");
    EXPECT_EQ(sim.readLine(), "removed 1000000002 V1 - V3 -");
    EXPECT_EQ(sim.readLine(), "queue empty");
    EXPECT_EQ(ask(link.get(), kReadUid, 2), "NO");
}

TEST(SimOverTcp, NewClientReplacesTheOldOne) {
    SimProcess sim({"--tcp", "0", "--scenario", "-"});
    const std::uint16_t port = announcedPort(sim);
    sim.scenario("card " + kUid);
    const Fd first = connectTcp(port);
    ASSERT_TRUE(first.valid());
    EXPECT_EQ(ask(first.get(), kReadUid, kUid.size()), kUid);
    const Fd second = connectTcp(port);
    ASSERT_TRUE(second.valid());
    EXPECT_EQ(ask(second.get(), kReadUid, kUid.size()), kUid);
    char byte = 0;
    EXPECT_EQ(::read(first.get(), &byte, 1), 0);
}

TEST(SimOverTcp, RepliesWaitForTheReplyDelay) {
    SimProcess sim({"--tcp", "0", "--scenario", "-", "--reply-delay", "400"});
    const std::uint16_t port = announcedPort(sim);
    sim.scenario("card " + kUid);
    const Fd link = connectTcp(port);
    ASSERT_TRUE(writeAll(link.get(), kReadUid));
    EXPECT_TRUE(quietFor(link.get(), 150ms));
    EXPECT_EQ(readText(link.get(), kUid.size()), kUid);
}

TEST(SimScenario, FileWithDelayThenQuit) {
    const fs::path script = scratchPath("scenario.txt");
    std::ofstream(script) << "# lay a card, take it off later\ncard " << kUid
                          << "\nexplode now\ndelay 500\nremove\ndelay 300\nquit\n";
    SimProcess sim({"--tcp", "0", "--scenario", script.string()});
    const Fd link = connectTcp(announcedPort(sim));
    ASSERT_TRUE(link.valid());
    EXPECT_EQ(ask(link.get(), kReadUid, kUid.size()), kUid);
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(ask(link.get(), kReadUid, 2), "NO");
    EXPECT_EQ(sim.waitExit(2s), 0) << "quit ends the simulator";
    EXPECT_NE(sim.stderrText().find("scenario line 3 ignored (unknown command): explode now"),
              std::string::npos);
    fs::remove(script);
}

TEST(SimScenario, CardKeepsItsNumberAcrossRemoval) {
    SimProcess sim({"--tcp", "0", "--scenario", "-"});
    const Fd link = connectTcp(announcedPort(sim));
    sim.scenario("card " + kUid);
    const Bytes logIn = {0x08, 0x07, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ask(link.get(), logIn, 2), "OK");
    EXPECT_EQ(ask(link.get(), {0x06, 0x09, 0x00, 0x07, 0x00, 0x09, 0x00}, 2), "OK");
    sim.scenario("remove");
    EXPECT_EQ(ask(link.get(), {0x01, 0x0A}, 2), "NO");
    sim.scenario("card 0000100001");
    EXPECT_EQ(ask(link.get(), kReadUid, 10), "0000100001");
    sim.scenario("card " + kUid);
    EXPECT_EQ(ask(link.get(), {0x01, 0x0A}, 2), "NO") << "log-in is lost with the card";
    EXPECT_EQ(ask(link.get(), logIn, 2), "OK");
    EXPECT_EQ(ask(link.get(), {0x01, 0x0A}, 10), "0000700009");
}

TEST(SimOverPty, RawSerialExchangeHangUpAndSymlink) {
    const fs::path symlink = scratchPath("ttyZR");
    const fs::path record = scratchPath("record.txt");
    SimProcess sim(
        {"--pty", "--pty-link", symlink.string(), "--scenario", "-", "--record", record.string()});
    ASSERT_TRUE(sim.started());
    const std::string device = announcedDevice(sim);
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(fs::read_symlink(symlink), device);
    sim.scenario("card " + kUid);

    Fd port = openSerial(symlink.string());
    ASSERT_TRUE(port.valid());
    EXPECT_EQ(ask(port.get(), kReadUid, kUid.size()), kUid);
    const Bytes controller = {0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF2};
    EXPECT_EQ(ask(port.get(), controller, 2), "NO");

    sim.scenario("drop");
    pollfd entry{port.get(), POLLIN, 0};
    ASSERT_EQ(::poll(&entry, 1, 2000), 1);
    EXPECT_NE(entry.revents & (POLLHUP | POLLERR), 0) << "the old terminal should hang up";
    const std::string fresh = announcedDevice(sim);
    ASSERT_FALSE(fresh.empty());
    EXPECT_EQ(fs::read_symlink(symlink), fresh);
    port = openSerial(fresh);
    ASSERT_TRUE(port.valid());
    EXPECT_EQ(ask(port.get(), kReadUid, kUid.size()), kUid);

    EXPECT_EQ(fileLines(record),
              (std::vector<std::string>{"01 00", zr::sim::hexText(controller), "01 00"}));
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(symlink))) << "the link is removed on exit";
    fs::remove(record);
}

TEST(SimOverPty, TcpAndPtyShareOneProgrammer) {
    SimProcess sim({"--tcp", "0", "--pty", "--scenario", "-"});
    const std::uint16_t port = announcedPort(sim);
    const std::string device = announcedDevice(sim);
    sim.scenario("card " + kUid);
    const Fd tcp = connectTcp(port);
    const Fd serial = openSerial(device);
    ASSERT_TRUE(tcp.valid() && serial.valid());
    EXPECT_EQ(ask(tcp.get(), {0x08, 0x07, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 2), "OK");
    EXPECT_EQ(ask(serial.get(), {0x06, 0x09, 0x00, 0x03, 0x00, 0x04, 0x00}, 2), "OK");
    EXPECT_EQ(ask(tcp.get(), {0x01, 0x0A}, 10), "0000300004");
}

struct UsageCase {
    std::vector<std::string> arguments;
    int exitCode;
};

TEST(SimCommandLine, UsageErrorsEndWithCodeTwo) {
    for (const auto& [arguments, exitCode] :
         std::vector<UsageCase>{{{}, 2},
                                {{"--tcp", "70000"}, 2},
                                {{"--tcp", "0", "--login-key", "FFFF"}, 2},
                                {{"--tcp", "0", "--reply-delay", "-5"}, 2},
                                {{"--tcp", "0", "stray"}, 2},
                                {{"--help"}, 0}}) {
        SimProcess sim(arguments);
        EXPECT_EQ(sim.waitExit(3s), exitCode) << testing::PrintToString(arguments);
    }
}

} // namespace
} // namespace zr::sim::test
