// zr-register: lists, looks up, checks and exports the card register.
#include "platform/qt/QtSettingsStore.h"
#include "platform/sql/QtDatabase.h"
#include "tools/register/RegisterTool.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
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
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return zr::tools::runRegisterTool(arguments, environment, std::cout, std::cerr);
}
