#pragma once

#include "platform/virtual/VirtualEventLoop.h"
#include "widgets/ButtonHost.h"

#include <string>
#include <vector>

namespace zr::widgets::test {

// A host on the virtual clock: the cursor is wherever the test puts it, and `overButton`
// says whether the control is the window under it.
class FakeButtonHost final : public ButtonHost {
  public:
    struct Message {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    void propertyChanged(std::string_view name) override { changes.emplace_back(name); }
    void requestRepaint() override { ++repaints; }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }
    std::string applicationTitle() const override { return "ZR Station"; }
    AppVersion applicationVersion() const override { return {1, 0, 5}; }
    ButtonFont ambientFont() const override { return ambient; }
    bool runMode() const override { return running; }
    ScreenPoint cursorPosition() const override { return cursor; }
    bool isOwnWindowAt(ScreenPoint) const override { return overButton; }
    std::unique_ptr<platform::Timer> createTimer(std::function<void()> onTick) override {
        return loop.createTimer(std::move(onTick));
    }

    platform::VirtualEventLoop loop;
    std::vector<std::string> changes;
    std::vector<Message> messages;
    int repaints = 0;
    ButtonFont ambient{"Tahoma", 8.0};
    bool running = true;
    ScreenPoint cursor;
    bool overButton = false;
};

} // namespace zr::widgets::test
