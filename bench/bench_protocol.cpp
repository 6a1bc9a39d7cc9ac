#include "protocol/Frames.h"
#include "protocol/Senders.h"
#include "sim/SimStation.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

using namespace zr::protocol;
using zr::protocol::test::Link;
using zr::protocol::test::RunningSim;
using zr::protocol::test::SimStation;

constexpr double kBaud = 9600;
constexpr double kBitsPerByte = 10;
constexpr double kSerialSettleMs = 21;
constexpr double kTcpUidSettleMs = 301;

// Settle time plus the time request and reply take on the line at 9600 baud.
double floorMs(Link link, bool readUid, std::size_t requestBytes, std::size_t replyBytes) {
    const double settle = link == Link::Pty ? kSerialSettleMs : (readUid ? kTcpUidSettleMs : 0);
    return settle + static_cast<double>(requestBytes + replyBytes) * kBitsPerByte * 1000.0 / kBaud;
}

double processCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

const std::string kUid = "0123456789";

void roundTrip(benchmark::State& state, Link link, bool readUid) {
    RunningSim sim({"--reply-delay", "0"});
    if (!sim.ready()) {
        state.SkipWithError("simulator did not start");
        return;
    }
    sim.process->scenario("card " + kUid);
    SimStation rig(sim, link);
    if (!rig.linked()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    for (auto _ : state) {
        const bool answered = readUid ? SendReadUid(rig.link) : SendV2LoginFixedKey(rig.link);
        if (!answered) {
            state.SkipWithError("no answer");
            return;
        }
    }
    const std::size_t request = readUid ? readUidFrame().size() : 9;
    const std::size_t reply = readUid ? kUid.size() : 2;
    state.counters["floor_ms"] = floorMs(link, readUid, request, reply);
    // Loopback and a pty carry bytes at memory speed, so only the settle part of the floor
    // applies to them.
    state.counters["settle_ms"] = floorMs(link, readUid, 0, 0);
}

void BM_ReadUidTcp(benchmark::State& state) {
    roundTrip(state, Link::Tcp, true);
}
void BM_ReadUidPty(benchmark::State& state) {
    roundTrip(state, Link::Pty, true);
}
void BM_V2LoginTcp(benchmark::State& state) {
    roundTrip(state, Link::Tcp, false);
}
void BM_V2LoginPty(benchmark::State& state) {
    roundTrip(state, Link::Pty, false);
}

// What a naive port of the busy wait does: three sends, each followed by a loop that runs
// the event pump without ever sleeping until more than 300 ms have passed.
bool busyPollingReadUid(SimStation& rig) {
    auto& station = rig.station;
    rig.link.currentCommand = "ReadUID";
    station.txtReadUID.setText("");
    for (int attempt = 0; attempt < 3; ++attempt) {
        rig.link.sendFrame(readUidFrame());
        const std::uint32_t start = station.tickCount();
        while (!rig.link.elapsedBeyond(start, 300)) {
            QCoreApplication::processEvents();
            if (station.txtReadUID.text() == "OK") {
                return true;
            }
        }
    }
    return false;
}

struct CpuShare {
    double percentOfCore = 0;
    double wallMs = 0;
};

template <typename Wait> CpuShare measure(Wait wait) {
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    wait();
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double cpuMs = (processCpuSeconds() - cpuBefore) * 1000.0;
    return {100.0 * cpuMs / wallMs, wallMs};
}

// CPU used while a command waits unanswered (three sends), beside the busy-polling peer.
void BM_UnansweredWaitCpu(benchmark::State& state) {
    RunningSim sim;
    if (!sim.ready()) {
        state.SkipWithError("simulator did not start");
        return;
    }
    sim.process->scenario("silent");
    SimStation rig(sim, Link::Tcp);
    CpuShare station;
    CpuShare peer;
    for (auto _ : state) {
        station = measure([&] { SendReadUid(rig.link); });
        peer = measure([&] { busyPollingReadUid(rig); });
    }
    state.counters["station_cpu_pct"] = station.percentOfCore;
    state.counters["busy_poll_cpu_pct"] = peer.percentOfCore;
    state.counters["busy_over_station"] =
        station.percentOfCore > 0 ? peer.percentOfCore / station.percentOfCore : 0;
    state.counters["wait_ms"] = station.wallMs;
}

BENCHMARK(BM_ReadUidTcp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ReadUidPty)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_V2LoginTcp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_V2LoginPty)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_UnansweredWaitCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
