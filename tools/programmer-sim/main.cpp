#include "Console.h"
#include "ProgrammerSim.h"
#include "PtyLink.h"
#include "ScenarioRunner.h"
#include "SignalWatcher.h"
#include "SimOptions.h"
#include "TcpLink.h"

#include <QCoreApplication>
#include <memory>

namespace {
constexpr int kStartFailure = 1;
}

int main(int argc, char* argv[]) {
    using namespace zr::sim;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zr-programmer-sim");
    const ParsedOptions parsed = parseOptions(QCoreApplication::arguments());
    if (!parsed.options) {
        return parsed.exitCode;
    }
    const SimOptions& options = *parsed.options;

    SignalWatcher signalWatcher([] { QCoreApplication::quit(); });
    if (!signalWatcher.ok()) {
        complain("cannot watch for signals");
        return kStartFailure;
    }

    ProgrammerSim sim(options.settings);
    if (!options.record.empty() && !sim.openRecord(options.record)) {
        complain("cannot write the record file " + options.record);
        return kStartFailure;
    }

    // The scenario's first lines (usually a card) take effect before any link is announced.
    ScenarioRunner scenario([&sim](const scenario::Command& command) { sim.apply(command); });
    if (options.scenario == "-") {
        scenario.startStdin();
    } else if (!options.scenario.empty() && !scenario.startFile(options.scenario)) {
        return kStartFailure;
    }

    std::unique_ptr<TcpLink> tcp;
    if (options.tcpPort) {
        tcp = std::make_unique<TcpLink>();
        const std::uint16_t port = tcp->listen(*options.tcpPort);
        if (port == 0) {
            return kStartFailure;
        }
        sim.attach(*tcp);
        announce("tcp " + std::to_string(port));
    }
    std::unique_ptr<PtyLink> pty;
    if (options.pty) {
        pty = std::make_unique<PtyLink>(options.ptyLink);
        sim.attach(*pty);
        if (!pty->open()) {
            return kStartFailure;
        }
    }
    return QCoreApplication::exec();
}
