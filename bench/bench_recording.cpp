// Automatic recording against the simulator: seconds per card beside the floor that the
// station's fixed waits allow for a blank card in both layouts, and the CPU the loop costs
// while it idles with the written card still on the programmer.
#include "sim/RecordRun.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace zr::recording::test;

constexpr double kMsPerByte = 10.0 * 1000.0 / 9600.0; // 8N1 at 9600 baud
constexpr double kTickMs = 1000;
constexpr double kTonesMs = 100 + 100;
constexpr double kSerialSettleMs = 21;
constexpr double kTcpUidSettleMs = 301;
constexpr double kIntervalWaitMs = 301; // txtInterval 300: a wait ends after more than 300 ms
constexpr double kFixed300WaitMs = 301; // V1_LoadNewAKey
constexpr double kFixed250WaitMs = 251; // V2_ReadCardCode
constexpr double kReadPauseMs = 201;    // before each card-number read

// An answered exchange: the request on the line, the first reply byte, then the settle (the
// rest of the reply arrives within it).
double answeredMs(Link link, std::size_t requestBytes, bool uid = false) {
    if (link == Link::Tcp) {
        return uid ? kTcpUidSettleMs : kSerialSettleMs;
    }
    return static_cast<double>(requestBytes + 1) * kMsPerByte + kSerialSettleMs;
}

// One card in the loop: the tick's wait, the new-card probe of a blank card, the write.
double floorMs(Link link) {
    const double probe = answeredMs(link, 2, true)                   // ReadUID
                         + answeredMs(link, 9)                       // V1 log-in, fixed key
                         + 3 * kFixed300WaitMs                       // V1 card type 1: "NO" x3
                         + kReadPauseMs + 3 * kIntervalWaitMs        // V1 read: "NO" x3
                         + answeredMs(link, 9) + answeredMs(link, 9) // V3 log-in, key change
                         + kReadPauseMs + 3 * kFixed250WaitMs        // V3 read: "NO" x3
                         + answeredMs(link, 9);                      // its key change after them
    const double write = answeredMs(link, 2, true)                   // ReadUID
                         + answeredMs(link, 3) + answeredMs(link, 9) + answeredMs(link, 3) +
                         answeredMs(link, 7) // V1: type 0, key, type 1, write
                         + answeredMs(link, 9) + answeredMs(link, 9) + answeredMs(link, 7) // V3
                         + kTonesMs;
    return kTickMs + probe + write;
}

double processCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per card with each card read back after its write (chkVerify), beside the same run
// without: what verification costs the bench.
double verifiedPerCard(Link link, int cards, const std::string& ptyLink) {
    RecordRun run(link, ptyLink, 0, true);
    if (!run.ready()) {
        return 0.0;
    }
    std::vector<std::uint32_t> writtenAt;
    auto& station = run.station();
    run.sink().onReadBack = [&](const zr::recording::ReadBackResult& result) {
        if (result.uidRead) {
            writtenAt.push_back(station.tickCount());
        }
    };
    // The operator lifts the card after the tones, which now follow the read-back: the next card
    // comes later than after an unverified write, still before the next tick's probe.
    run.scenario("swap 1500");
    run.scenario("queue 3000000001 " + std::to_string(cards));
    station.chkVerify.setValue(1);
    run.start();
    run.runUntilQueueEmpty(cards * 15000);
    if (writtenAt.size() != static_cast<std::size_t>(cards)) {
        std::printf("%zu of %d cards verified\n", writtenAt.size(), cards);
        return 0.0;
    }
    return static_cast<double>(writtenAt.back() - writtenAt.front()) / (cards - 1) / 1000.0;
}

double measure(Link link, int cards, const std::string& ptyLink) {
    const char* name = link == Link::Tcp ? "tcp" : "pty";
    RecordRun run(link, ptyLink, 0, true);
    if (!run.ready()) {
        std::printf("%s: the simulator did not start\n", name);
        return 0.0;
    }
    std::vector<std::uint32_t> writtenAt;
    run.sink().onWrite = [&](const zr::recording::WriteAttempt& attempt) {
        if (attempt.outcome == zr::recording::AttemptOutcome::Written) {
            writtenAt.push_back(run.station().tickCount());
        }
    };
    run.scenario("swap 300");
    run.scenario("queue 3000000001 " + std::to_string(cards));
    run.start();
    run.runUntilQueueEmpty(cards * 10000);
    if (writtenAt.size() != static_cast<std::size_t>(cards)) {
        std::printf("%s: %zu of %d cards written\n", name, writtenAt.size(), cards);
        return 0.0;
    }
    const double perCard =
        static_cast<double>(writtenAt.back() - writtenAt.front()) / (cards - 1) / 1000.0;
    const double floor = floorMs(link) / 1000.0;
    std::printf("%s: %d cards, %.3f s per card, floor %.3f s, ratio %.3f\n", name, cards, perCard,
                floor, perCard / floor);

    // Idle: one more card, written, then left on the programmer.
    run.scenario("card 3100000001");
    const std::size_t before = writtenAt.size();
    auto& station = run.station();
    auto& programmer = station.link();
    const std::uint32_t start = station.tickCount();
    while (writtenAt.size() == before && !programmer.elapsedBeyond(start, 15000)) {
        programmer.waitWithEvents(100);
    }
    const double cpuStart = processCpuSeconds();
    const std::uint32_t idleStart = station.tickCount();
    programmer.waitWithEvents(10000);
    const double wallSeconds = static_cast<double>(station.tickCount() - idleStart) / 1000.0;
    std::printf("%s: idle loop with the same card on the programmer: %.3f %% of one core\n", name,
                100.0 * (processCpuSeconds() - cpuStart) / wallSeconds);
    return perCard;
}

void measureVerified(Link link, int cards, const std::string& ptyLink, double unverified) {
    const double verified = verifiedPerCard(link, cards, ptyLink);
    std::printf("%s: %d cards verified, %.3f s per card, %.3f s without, +%.3f s\n",
                link == Link::Tcp ? "tcp" : "pty", cards, verified, unverified,
                verified - unverified);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const char* fromEnvironment = std::getenv("ZR_BENCH_CARDS");
    const int cards = fromEnvironment != nullptr ? std::max(2, std::atoi(fromEnvironment)) : 10;
    const std::string ptyLink = (std::filesystem::temp_directory_path() /
                                 ("zr-bench-recording-" + std::to_string(::getpid()) + ".pty"))
                                    .string();
    const double tcp = measure(Link::Tcp, cards, ptyLink);
    const double pty = measure(Link::Pty, cards, ptyLink);
    measureVerified(Link::Tcp, cards, ptyLink, tcp);
    measureVerified(Link::Pty, cards, ptyLink, pty);
    std::filesystem::remove(ptyLink);
    return 0;
}
