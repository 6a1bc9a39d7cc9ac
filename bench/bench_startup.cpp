// Start-up of the station's window: the time from starting the process (loading of the Qt
// libraries included) to the window shown and settled (exposed, painted, no events
// pending), and the resident memory then. Each run is a fresh process; the peer is a plain Qt
// window with one label, started the same way, so the ratio shows what the station adds to Qt's own
// start-up.
//   bench_startup [RUNS]   measures on Qt's offscreen platform and, when DISPLAY is set
//                          (e.g. under xvfb-run), on X11 too
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtFiles.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtTcpSocket.h"
#include "window/MainWindow.h"
#include "window/qt/StationWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace zr;

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Pumps until the window is exposed and has painted, then until the queue is drained.
void waitSettled(QWidget& window) {
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

long long steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The steady clock is the system's monotonic clock, shared by the parent and the child.
struct Settled {
    long long atNanoseconds;
    long residentKiB;
};

Settled settledNow() {
    return {steadyNanoseconds(), residentKiB()};
}

void report(const Settled& settled, double syncMicroseconds) {
    std::printf("%lld %ld %.2f\n", settled.atNanoseconds, settled.residentKiB, syncMicroseconds);
}

// The cost of one pass that copies the whole station into the widgets when nothing changed,
// as every sleep of the event loop runs it.
double syncMicroseconds(window::qt::StationWindow& front) {
    constexpr int kPasses = 2000;
    const long long start = steadyNanoseconds();
    for (int i = 0; i < kPasses; ++i) {
        front.syncFromStation();
    }
    return static_cast<double>(steadyNanoseconds() - start) / 1000.0 / kPasses;
}

int runStation(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTemporaryDir dir;
    platform::QtSettingsStore settings(dir.filePath(QStringLiteral("ZR.ini")));
    platform::QtEventLoop loop;
    platform::QtSerialPort serial(platform::PortMap{});
    platform::QtTcpSocket tcp;
    platform::QtToneGenerator tone;
    platform::QtDesktop desktop;
    platform::FileTrafficLog trafficLog(dir.filePath(QStringLiteral("AAA.txt")));
    platform::Platform services{loop, serial, tcp, settings, tone, desktop, trafficLog};
    window::MainWindow station(services);
    window::qt::StationWindow front(station);
    station.Form_Load();
    front.syncFromStation();
    waitSettled(front);
    const Settled settled = settledNow();
    report(settled, syncMicroseconds(front));
    return 0;
}

int runPeer(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QLabel window(QStringLiteral("ZR-錄碼系統"));
    window.resize(1272, 717);
    window.show();
    waitSettled(window);
    report(settledNow(), 0.0);
    return 0;
}

struct Figures {
    double ms;
    double mib;
    double syncUs;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median of RUNS fresh processes of one variant on one platform.
Figures measure(const QString& self, const QString& variant, const QString& platformName,
                int runs) {
    std::vector<double> times;
    std::vector<double> memory;
    std::vector<double> syncs;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platformName);
        child.setProcessEnvironment(environment);
        const long long started = steadyNanoseconds();
        child.start(self, {variant});
        child.waitForFinished(60000);
        const QStringList fields =
            QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(' ');
        if (fields.size() != 3) {
            std::fprintf(stderr, "%s on %s failed\n", qPrintable(variant),
                         qPrintable(platformName));
            return {-1, -1, -1};
        }
        times.push_back(static_cast<double>(fields[0].toLongLong() - started) / 1e6);
        memory.push_back(fields[1].toDouble() / 1024.0);
        syncs.push_back(fields[2].toDouble());
    }
    return {median(times), median(memory), median(syncs)};
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "station") {
        return runStation(argc, argv);
    }
    if (mode == "peer") {
        return runPeer(argc, argv);
    }
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 7);
    QCoreApplication application(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QStringList platforms = {QStringLiteral("offscreen")};
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        platforms << QStringLiteral("xcb");
    }
    std::printf("start-up to the window shown and settled, median of %d fresh processes\n", runs);
    std::printf("%-10s %11s %12s %9s %9s %6s %14s\n", "platform", "station ms", "station MiB",
                "peer ms", "peer MiB", "ratio", "sync pass us");
    for (const QString& platformName : platforms) {
        const Figures station = measure(self, QStringLiteral("station"), platformName, runs);
        const Figures peer = measure(self, QStringLiteral("peer"), platformName, runs);
        std::printf("%-10s %11.1f %12.1f %9.1f %9.1f %6.2f %14.1f\n", qPrintable(platformName),
                    station.ms, station.mib, peer.ms, peer.mib, station.ms / peer.ms,
                    station.syncUs);
    }
    return 0;
}
