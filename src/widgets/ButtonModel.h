#pragma once

#include "platform/EventLoop.h"
#include "widgets/ButtonHost.h"
#include "widgets/ButtonProperties.h"
#include "widgets/PropertyBag.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zr::widgets {

// Handlers the owner attaches. Key and mouse arguments are passed by reference, as the host
// delivered them, so a handler may change them.
struct ButtonEvents {
    std::function<void()> Click;
    std::function<void()> DoubleClick;
    std::function<void(std::int16_t& KeyCode, std::int16_t& Shift)> KeyDown;
    std::function<void(std::int16_t& KeyAscii)> KeyPress;
    std::function<void(std::int16_t& KeyCode, std::int16_t& Shift)> KeyUp;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseDown;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseMove;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseUp;
    std::function<void(std::int32_t& X, std::int32_t& Y)> MouseEnters;
    std::function<void(std::int32_t& X, std::int32_t& Y)> MouseLeaves;
};

namespace KeyCode {
inline constexpr std::int16_t Enter = 13;
inline constexpr std::int16_t Space = 32;
} // namespace KeyCode

namespace MouseButton {
inline constexpr std::int16_t Left = 1;
inline constexpr std::int16_t Right = 2;
inline constexpr std::int16_t Middle = 4;
} // namespace MouseButton

inline constexpr int kHoverPollMs = 50;

// The skinned button without a screen: its properties with their writers, persistence, the
// events and when they are raised, the hover poll, keyboard and mouse handling. Painting reads
// properties() and state(); every change asks the host to repaint.
class ButtonModel {
  public:
    explicit ButtonModel(ButtonHost& host);
    ~ButtonModel();
    ButtonModel(const ButtonModel&) = delete;
    ButtonModel& operator=(const ButtonModel&) = delete;

    // First placement of a new control, named `instanceName` on its container.
    void InitProperties(const std::string& instanceName);
    // A stored control: every property through its writer, defaults for absent names,
    // unreadable ones skipped.
    void ReadProperties(PropertyBag& store);
    void WriteProperties(PropertyBag& store) const;
    // Stops the hover poll and clears the input state.
    void Terminate();

    const ButtonProperties& properties() const { return p_; }
    const ButtonState& state() const { return state_; }
    ScreenPoint CursorPoint() const { return cursorPoint_; }

    const std::string& Caption() const { return p_.Caption; }
    const std::string& IconSource() const { return p_.IconSource; }
    Colour ForeColor() const { return p_.ForeColor; }
    Colour CaptionDisableColor() const { return p_.CaptionDisableColor; }
    Colour CaptionEffectColor() const { return p_.CaptionEffectColor; }
    std::int32_t CaptionEffect() const { return p_.CaptionEffect; }
    std::int16_t CaptionOffsetX() const { return p_.CaptionOffsetX; }
    std::int16_t CaptionOffsetY() const { return p_.CaptionOffsetY; }
    std::int16_t ShadowOffsetX() const { return p_.ShadowOffsetX; }
    std::int16_t ShadowOffsetY() const { return p_.ShadowOffsetY; }
    std::int32_t Theme() const { return p_.Theme; }
    bool FocusDottedRect() const { return p_.FocusDottedRect; }
    bool Enabled() const { return p_.Enabled; }
    const ButtonFont& Font() const { return p_.Font; }
    bool Icon() const { return p_.Icon; }
    std::int32_t RoundedValue() const { return p_.RoundedValue; }
    std::uint8_t TransparencyICO() const { return p_.TransparencyICO; }
    std::int32_t CaptionAlignment() const { return p_.CaptionAlignment; }
    std::int32_t IconAlignment() const { return p_.IconAlignment; }
    bool IsPressed() const { return state_.IsPressed; }
    bool IsHovering() const { return state_.IsHovering; }
    bool HasFocus() const { return state_.HasFocus; }

    void SetCaption(const std::string& value);
    void SetIconSource(const std::string& value);
    void SetForeColor(Colour value);
    void SetCaptionDisableColor(Colour value);
    void SetCaptionEffectColor(Colour value);
    void SetCaptionEffect(std::int32_t value);
    void SetCaptionOffsetX(std::int16_t value);
    void SetCaptionOffsetY(std::int16_t value);
    void SetShadowOffsetX(std::int16_t value);
    void SetShadowOffsetY(std::int16_t value);
    // With the control disabled, first sets CaptionDisableColor to the theme's own.
    void SetTheme(std::int32_t value);
    void SetFocusDottedRect(bool value);
    void SetEnabled(bool value);
    void SetFont(const ButtonFont& value);
    // True is refused with a message (and False stored) unless IconSource has at least
    // 8 characters.
    void SetIcon(bool value);
    void SetRoundedValue(std::int32_t value);
    // Outside 0 .. 100: a message, and 100 is stored.
    void SetTransparencyICO(int value);
    // Also resets both caption offsets to 0.
    void SetCaptionAlignment(std::int32_t value);
    void SetIconAlignment(std::int32_t value);

    // Corrects a RoundedValue at or below 0 to 1, then has the host repaint.
    void Redraw();
    void About() const {}

    // Input as the host delivers it.
    void KeyDown(std::int16_t& keyCode, std::int16_t& shift);
    void KeyUp(std::int16_t& keyCode, std::int16_t& shift);
    void KeyPress(std::int16_t& keyAscii);
    void MouseDown(std::int16_t& button, std::int16_t& shift, float& x, float& y);
    void MouseMove(std::int16_t& button, std::int16_t& shift, float& x, float& y);
    void MouseUp(std::int16_t& button, std::int16_t& shift, float& x, float& y);
    void Clicked();
    void DoubleClicked();
    void GotFocus();
    void LostFocus();
    void AccessKeyPress(int keyAscii);
    // One tick of the hover poll.
    void HoverTick();

    ButtonEvents events;

  private:
    void changed(std::string_view name);
    void armHoverPoll();
    void raise(const std::function<void()>& handler) const;
    void readOne(PropertyBag& store, std::string_view name, const PropertyValue& defaultValue,
                 const std::function<void(const PropertyValue&)>& apply);

    ButtonHost& host_;
    ButtonProperties p_;
    ButtonState state_;
    ScreenPoint cursorPoint_;
    // The host's focus, kept while disabled so re-enabling shows the true focus state.
    bool hostFocus_ = false;
    bool pollArmed_ = false;
    std::unique_ptr<platform::Timer> tmrCheck_;
};

// The message a refused Icon shows, lines joined by CR LF.
std::string iconRefusalText(bool sourceEmpty);
std::string iconRefusalTitle(const AppVersion& version);
// CaptionDisableColor a theme sets while the control is disabled; nothing for other numbers.
std::optional<Colour> themeDisableColour(std::int32_t theme);

} // namespace zr::widgets
