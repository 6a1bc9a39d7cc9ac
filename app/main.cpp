// zr-station: the card recording station. It opens the station's window; with --script it
// runs a script of operator actions instead, without a window (see app/script/ScriptDriver.h).
#include "app/StationOptions.h"
#include "app/StationRegister.h"
#include "app/script/ScriptConsole.h"
#include "app/script/ScriptDriver.h"
#include "app/script/ScriptReport.h"
#include "keys/KeyProcedures.h"
#include "keys/SiteConfig.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtFiles.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtTcpSocket.h"
#include "window/MainWindow.h"
#include "window/qt/StationWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace zr;

platform::PortMap choosePortMap(const app::StationOptions& options,
                                const platform::QtSettingsStore& settings) {
    if (!options.comPorts.empty()) {
        return options.comPorts;
    }
    if (auto fromSettings = settings.portMap()) {
        return *fromSettings;
    }
    return platform::defaultPortMap();
}

// The site's keys, or a message naming the file and the setting that is wrong: the
// station never runs on a half-read site configuration.
std::optional<station::SiteKeys> loadSiteKeys(const app::StationOptions& options) {
    std::optional<std::filesystem::path> explicitFile;
    if (options.site) {
        explicitFile = *options.site;
    }
    const auto site = keys::loadSiteConfig(keys::siteConfigLocations(explicitFile));
    if (!site) {
        std::cerr << "zr-station: " << keys::siteConfigErrorMessage(site.error(), true) << '\n';
        return std::nullopt;
    }
    return keys::siteKeysFrom(site.value());
}

int runScript(const app::StationOptions& options) {
    const auto siteKeys = loadSiteKeys(options);
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

    std::optional<QString> settingsFile;
    if (options.settings) {
        settingsFile = QString::fromStdString(*options.settings);
    }
    platform::QtSettingsStore settings(settingsFile);
    platform::QtEventLoop loop;
    platform::QtSerialPort serial(choosePortMap(options, settings));
    platform::QtTcpSocket tcp;
    app::ScriptConsole console(std::cout);
    platform::FileTrafficLog trafficLog(options.log ? QString::fromStdString(*options.log)
                                                    : platform::defaultTrafficLogPath());
    platform::Platform services{loop, serial, tcp, settings, console, console, trafficLog};

    window::MainWindow window(services);
    app::ScriptReport report(std::cout);
    app::StationRegister cardRegister(options.cardRegister, settings, window, report, std::cerr);
    window.setCardRecordSink(&cardRegister);
    window.site = *siteKeys;
    window.Form_Load();
    cardRegister.announce(window);
    app::ScriptDriver driver(window, console, std::cout, std::cerr);
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
    const auto siteKeys = loadSiteKeys(options);
    if (!siteKeys) {
        return 1;
    }
    std::optional<QString> settingsFile;
    if (options.settings) {
        settingsFile = QString::fromStdString(*options.settings);
    }
    platform::QtSettingsStore settings(settingsFile);
    platform::QtEventLoop loop;
    platform::QtSerialPort serial(choosePortMap(options, settings));
    platform::QtTcpSocket tcp;
    platform::QtToneGenerator tone;
    platform::QtDesktop desktop;
    platform::FileTrafficLog trafficLog(options.log ? QString::fromStdString(*options.log)
                                                    : platform::defaultTrafficLogPath());
    platform::Platform services{loop, serial, tcp, settings, tone, desktop, trafficLog};

    window::MainWindow station(services);
    station.site = *siteKeys;
    NoReport noReport;
    app::StationRegister cardRegister(options.cardRegister, settings, station, noReport, std::cerr);
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
