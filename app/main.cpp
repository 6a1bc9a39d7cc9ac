// zr-station: the card recording station. It opens the station's window; with --script it
// runs a script of operator actions instead, without a window (see app/script/ScriptDriver.h).
#include "app/StationLinks.h"
#include "app/StationOptions.h"
#include "app/StationRegister.h"
#include "app/script/ScriptConsole.h"
#include "app/script/ScriptDriver.h"
#include "app/script/ScriptReport.h"
#include "platform/qt/QtDesktop.h"
#include "window/MainWindow.h"
#include "window/qt/StationWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {

using namespace zr;

int runScript(const app::StationOptions& options) {
    const auto siteKeys = app::loadSiteKeys(options, "zr-station", std::cerr);
    if (!siteKeys) {
        return 1;
    }
    std::ifstream file;
    std::istream* script = &std::cin;
    if (*options.script != "-") {
        file.open(*options.script);
        if (!file) {
            std::cerr << "zr-station: cannot read script " << *options.script << '\n';
            return app::ScriptDriver::kExitScriptError;
        }
        script = &file;
    }

    app::StationLinks links(options);
    app::ScriptConsole console(std::cout);
    platform::Platform services{links.loop, links.serial, links.tcp,       links.settings,
                                console,    console,      links.trafficLog};

    window::MainWindow window(services);
    app::ScriptReport report(std::cout, window.chkVerify);
    app::StationRegister cardRegister(options, links.settings, links.loop, window, report,
                                      std::cerr);
    window.setCardRecordSink(&cardRegister);
    window.site = *siteKeys;
    window.Form_Load();
    cardRegister.announce(window);
    app::ScriptDriver driver(window, window.link(), console, std::cout, std::cerr);
    return driver.run(*script);
}

// The window has no script to report cards to; the register alone keeps them.
class NoReport final : public recording::CardRecordSink {
  public:
    bool recordWrite(const recording::WriteAttempt& /*attempt*/) override { return true; }
    void recordReadBack(const recording::ReadBackResult& /*result*/) override {}
};

bool hasDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int runWindow(const app::StationOptions& options) {
    const auto siteKeys = app::loadSiteKeys(options, "zr-station", std::cerr);
    if (!siteKeys) {
        return 1;
    }
    app::StationLinks links(options);
    platform::QtToneGenerator tone;
    platform::QtDesktop desktop;
    platform::Platform services{links.loop, links.serial, links.tcp,       links.settings,
                                tone,       desktop,      links.trafficLog};

    window::MainWindow station(services);
    station.site = *siteKeys;
    NoReport noReport;
    app::StationRegister cardRegister(options, links.settings, links.loop, station, noReport,
                                      std::cerr);
    station.setCardRecordSink(&cardRegister);
    window::qt::StationWindow front(station);
    front.setRegisterPanel(&cardRegister.panel());
    desktop.setOwner(&front);
    station.Form_Load();
    cardRegister.announce(station);
    front.syncFromStation();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto parsed = app::parseStationOptions(arguments);
    if (!parsed.options) {
        std::cerr << "zr-station: " << parsed.error << '\n' << app::kStationUsage;
        return 2;
    }
    if (parsed.options->script) {
        QCoreApplication application(argc, argv);
        return runScript(*parsed.options);
    }
    if (!hasDisplay()) {
        std::cerr << "zr-station: no display (neither X11 nor Wayland); run with --script FILE "
                     "for the station without a window\n";
        return 3;
    }
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("ZR"));
    QApplication::setDesktopFileName(QStringLiteral("zr-station"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zr-station")));
    return runWindow(*parsed.options);
}
