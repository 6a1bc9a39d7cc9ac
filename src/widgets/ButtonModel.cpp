#include "widgets/ButtonModel.h"

#include <optional>

namespace zr::widgets {

namespace {

constexpr std::size_t kShortestIconSource = 8;
constexpr const char* kCrLf = "\r\n";

} // namespace

std::string iconRefusalText(bool sourceEmpty) {
    std::string text = sourceEmpty ? "Null Value!" : "Incorrect Source!";
    const char* hint = sourceEmpty ? "Plaese Enter Icon Image Source in IconSource."
                                   : "Plaese Enter Correct Source in IconSource.";
    for (const char* line :
         {"", hint, "Icon Image Extention is: ",
          "*.bmp / *.gif / *.jpg / *.ico / *.png / *.wmf / *.emf / *.cur / *.jpeg", "",
          "For Example:", "C:\\My Pic.bmp"}) {
        text += kCrLf;
        text += line;
    }
    return text;
}

std::string iconRefusalTitle(const AppVersion& version) {
    return "Zephra Button 2007 Ver." + std::to_string(version.major) + "." +
           std::to_string(version.minor) + "." + std::to_string(version.revision) + ".";
}

std::optional<Colour> themeDisableColour(std::int32_t theme) {
    switch (theme) {
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
        return rgb(183, 182, 186);
    case 3:
        return rgb(154, 182, 200);
    case 7:
    case 8:
    case 9:
        return Colour{0xBAC7C9};
    default:
        return std::nullopt;
    }
}

ButtonModel::ButtonModel(ButtonHost& host) : host_(host) {}

ButtonModel::~ButtonModel() {
    Terminate();
}

void ButtonModel::changed(std::string_view name) {
    host_.propertyChanged(name);
    Redraw();
}

void ButtonModel::Redraw() {
    if (p_.RoundedValue <= 0) {
        p_.RoundedValue = 1;
        host_.propertyChanged("RoundedValue");
    }
    host_.requestRepaint();
}

void ButtonModel::SetCaption(const std::string& value) {
    p_.Caption = value;
    changed("Caption");
}

void ButtonModel::SetIconSource(const std::string& value) {
    p_.IconSource = value;
    changed("IconSource");
}

void ButtonModel::SetForeColor(Colour value) {
    p_.ForeColor = value;
    changed("ForeColor");
}

void ButtonModel::SetCaptionDisableColor(Colour value) {
    p_.CaptionDisableColor = value;
    changed("CaptionDisableColor");
}

void ButtonModel::SetCaptionEffectColor(Colour value) {
    p_.CaptionEffectColor = value;
    changed("CaptionEffectColor");
}

void ButtonModel::SetCaptionEffect(std::int32_t value) {
    p_.CaptionEffect = value;
    changed("CaptionEffect");
}

void ButtonModel::SetCaptionOffsetX(std::int16_t value) {
    p_.CaptionOffsetX = value;
    changed("CaptionOffsetX");
}

void ButtonModel::SetCaptionOffsetY(std::int16_t value) {
    p_.CaptionOffsetY = value;
    changed("CaptionOffsetY");
}

void ButtonModel::SetShadowOffsetX(std::int16_t value) {
    p_.ShadowOffsetX = value;
    changed("ShadowOffsetX");
}

void ButtonModel::SetShadowOffsetY(std::int16_t value) {
    p_.ShadowOffsetY = value;
    changed("ShadowOffsetY");
}

void ButtonModel::SetTheme(std::int32_t value) {
    if (!p_.Enabled) {
        if (const auto colour = themeDisableColour(value)) {
            SetCaptionDisableColor(*colour);
        }
    }
    p_.Theme = value;
    changed("Theme");
}

void ButtonModel::SetFocusDottedRect(bool value) {
    p_.FocusDottedRect = value;
    changed("FocusDottedRect");
}

void ButtonModel::SetEnabled(bool value) {
    p_.Enabled = value;
    if (value) {
        // Focus changes were ignored while disabled; show where the focus really is.
        state_.HasFocus = hostFocus_;
        armHoverPoll();
    } else {
        // A release that arrives while disabled is ignored, so a pressed look would otherwise
        // stay on after re-enabling.
        state_.IsPressed = false;
        if (tmrCheck_) {
            tmrCheck_->stop();
        }
    }
    changed("Enabled");
}

void ButtonModel::SetFont(const ButtonFont& value) {
    p_.Font = value;
    changed("Font");
}

void ButtonModel::SetIcon(bool value) {
    p_.Icon = value;
    if (value && p_.IconSource.size() < kShortestIconSource) {
        host_.messageBox(iconRefusalText(p_.IconSource.empty()),
                         iconRefusalTitle(host_.applicationVersion()), MessageIcon::None);
        p_.Icon = false;
    }
    changed("Icon");
}

void ButtonModel::SetRoundedValue(std::int32_t value) {
    p_.RoundedValue = value;
    changed("RoundedValue");
}

void ButtonModel::SetTransparencyICO(int value) {
    if (value < 0 || value > 100) {
        host_.messageBox("Please Enter Between 0 TO 100 Value", host_.applicationTitle(),
                         MessageIcon::Critical);
        value = 100;
    }
    p_.TransparencyICO = static_cast<std::uint8_t>(value);
    changed("TransparencyICO");
}

void ButtonModel::SetCaptionAlignment(std::int32_t value) {
    p_.CaptionAlignment = value;
    p_.CaptionOffsetX = 0;
    p_.CaptionOffsetY = 0;
    changed("CaptionAlignment");
}

void ButtonModel::SetIconAlignment(std::int32_t value) {
    p_.IconAlignment = value;
    changed("IconAlignment");
}

void ButtonModel::raise(const std::function<void()>& handler) const {
    if (handler) {
        handler();
    }
}

void ButtonModel::KeyDown(std::int16_t& keyCode, std::int16_t& shift) {
    if (!p_.Enabled) {
        return;
    }
    if (events.KeyDown) {
        events.KeyDown(keyCode, shift);
    }
    if (keyCode == KeyCode::Space) {
        state_.IsPressed = true;
        Redraw();
    }
}

void ButtonModel::KeyUp(std::int16_t& keyCode, std::int16_t& shift) {
    if (!p_.Enabled) {
        return;
    }
    if (events.KeyUp) {
        events.KeyUp(keyCode, shift);
    }
    if (keyCode == KeyCode::Space) {
        state_.IsPressed = false;
        Redraw();
    }
}

void ButtonModel::KeyPress(std::int16_t& keyAscii) {
    if (!p_.Enabled) {
        return;
    }
    if (events.KeyPress) {
        events.KeyPress(keyAscii);
    }
    if (keyAscii == KeyCode::Enter) {
        raise(events.Click);
    }
}

void ButtonModel::MouseDown(std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    if (!p_.Enabled) {
        return;
    }
    if (events.MouseDown) {
        events.MouseDown(button, shift, x, y);
    }
    if (button == MouseButton::Left) {
        state_.IsPressed = true;
        Redraw();
    }
}

void ButtonModel::MouseMove(std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    if (p_.Enabled && events.MouseMove) {
        events.MouseMove(button, shift, x, y);
    }
}

void ButtonModel::MouseUp(std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    if (!p_.Enabled) {
        return;
    }
    if (events.MouseUp) {
        events.MouseUp(button, shift, x, y);
    }
    if (button == MouseButton::Left) {
        state_.IsPressed = false;
        Redraw();
    }
}

void ButtonModel::Clicked() {
    if (p_.Enabled) {
        raise(events.Click);
    }
}

void ButtonModel::DoubleClicked() {
    if (p_.Enabled) {
        raise(events.DoubleClick);
    }
}

void ButtonModel::GotFocus() {
    hostFocus_ = true;
    if (p_.Enabled) {
        state_.HasFocus = true;
        Redraw();
    }
}

void ButtonModel::LostFocus() {
    hostFocus_ = false;
    if (p_.Enabled) {
        state_.HasFocus = false;
        Redraw();
    }
}

void ButtonModel::AccessKeyPress(int keyAscii) {
    host_.messageBox(std::to_string(keyAscii), host_.applicationTitle(), MessageIcon::None);
}

void ButtonModel::armHoverPoll() {
    if (!pollArmed_ || !p_.Enabled) {
        return;
    }
    if (!tmrCheck_) {
        tmrCheck_ = host_.createTimer([this] { HoverTick(); });
    }
    tmrCheck_->start(kHoverPollMs);
}

void ButtonModel::HoverTick() {
    if (!p_.Enabled) {
        if (tmrCheck_) {
            tmrCheck_->stop();
        }
        return;
    }
    if (tmrCheck_) {
        tmrCheck_->stop();
    }
    cursorPoint_ = host_.cursorPosition();
    const bool overSelf = host_.isOwnWindowAt(cursorPoint_);
    if (state_.IsHovering && !overSelf) {
        state_.IsHovering = false;
        Redraw();
        if (events.MouseLeaves) {
            events.MouseLeaves(cursorPoint_.x, cursorPoint_.y);
        }
    } else if (!state_.IsHovering && overSelf) {
        state_.IsHovering = true;
        Redraw();
        if (events.MouseEnters) {
            events.MouseEnters(cursorPoint_.x, cursorPoint_.y);
        }
    }
    if (pollArmed_ && p_.Enabled && tmrCheck_) {
        tmrCheck_->start(kHoverPollMs);
    }
}

void ButtonModel::Terminate() {
    if (tmrCheck_) {
        tmrCheck_->stop();
    }
    pollArmed_ = false;
    state_ = ButtonState{};
    hostFocus_ = false;
}

} // namespace zr::widgets
