#pragma once

#include "platform/EventLoop.h"
#include "widgets/ButtonFont.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zr::widgets {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct AppVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

enum class MessageIcon { None, Critical };

// What the button asks of the window it lives in.
class ButtonHost {
  public:
    virtual ~ButtonHost() = default;

    // A property changed and must be saved with the control.
    virtual void propertyChanged(std::string_view name) = 0;
    // Paint the control again from scratch.
    virtual void requestRepaint() = 0;
    // Modal box with one OK button.
    virtual void messageBox(const std::string& text, const std::string& title,
                            MessageIcon icon) = 0;
    virtual std::string applicationTitle() const = 0;
    virtual AppVersion applicationVersion() const = 0;
    virtual ButtonFont ambientFont() const = 0;
    // False while the control sits in a designer rather than a running program.
    virtual bool runMode() const = 0;
    virtual ScreenPoint cursorPosition() const = 0;
    // Whether the window under the screen point is the control itself (not a window
    // covering it, not another control).
    virtual bool isOwnWindowAt(ScreenPoint point) const = 0;
    virtual std::unique_ptr<platform::Timer> createTimer(std::function<void()> onTick) = 0;
};

} // namespace zr::widgets
