// zr-register: lists, looks up, checks and exports the card register.
#include "platform/qt/QtSettingsStore.h"
#include "platform/sql/QtDatabase.h"
#include "tools/register/RegisterTool.h"

#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <memory>

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // Only the delivery note draws (the command, or the page's download), and fonts need the
    // GUI application; without a display it draws offscreen.
    const std::vector<std::string> note{"order", "note"};
    const bool drawsNote =
        std::search(arguments.begin(), arguments.end(), note.begin(), note.end()) !=
            arguments.end() ||
        std::find(arguments.begin(), arguments.end(), "serve") != arguments.end();
    if (drawsNote && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const auto application = drawsNote ? std::make_unique<QGuiApplication>(argc, argv)
                                       : std::make_unique<QCoreApplication>(argc, argv);
    std::ios::sync_with_stdio(false);
    zr::tools::ToolEnvironment environment;
    environment.opener = [](const zr::platform::DatabaseAddress& address,
                            zr::platform::SqlError& error) {
        return std::unique_ptr<zr::platform::Database>(
            zr::platform::QtDatabase::open(address, error));
    };
    environment.settingsUrl = [](const std::optional<std::string>& file) {
        std::optional<QString> path;
        if (file) {
            path = QString::fromStdString(*file);
        }
        const zr::platform::QtSettingsStore settings(path);
        return zr::reg::readRegisterSettings(settings, std::nullopt,
                                             zr::platform::defaultRegisterPath(), "")
            .url;
    };
    environment.defaultPath = zr::platform::defaultRegisterPath();
    return zr::tools::runRegisterTool(arguments, environment, std::cout, std::cerr);
}
