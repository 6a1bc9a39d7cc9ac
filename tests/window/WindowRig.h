#pragma once

#include "platform/qt/QtEventLoop.h"
#include "support/VirtualPlatform.h"
#include "window/MainWindow.h"
#include "window/qt/StationWindow.h"

#include <QTest>
#include <map>
#include <string>

namespace zr::testing {

// The real window over a station whose waits pump Qt's event loop; the links, settings,
// tones and boxes are the virtual stand-ins.
struct WindowRig {
    explicit WindowRig(std::map<std::string, std::string> stored = {}) {
        world.settings.values = std::move(stored);
        front.setQuitHandler([this] { ++quitRequests; });
        station.Form_Load();
        front.syncFromStation();
        front.activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&front);
    }

    template <typename Widget = QWidget> Widget* widget(const char* name) const {
        return qobject_cast<Widget*>(front.widgetFor(name));
    }

    VirtualPlatform world;
    platform::QtEventLoop loop;
    platform::Platform services{loop,       world.serial,  world.tcp,       world.settings,
                                world.tone, world.desktop, world.trafficLog};
    window::MainWindow station{services};
    window::qt::StationWindow front{station};
    int quitRequests = 0;
};

} // namespace zr::testing
