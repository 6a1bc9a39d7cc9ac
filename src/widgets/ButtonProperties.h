#pragma once

#include "widgets/ButtonFont.h"
#include "widgets/Colour.h"

#include <cstdint>
#include <string>

namespace zr::widgets {

// Theme numbers the painter knows; others paint no background.
namespace ThemeNumber {
inline constexpr std::int32_t First = 1;
inline constexpr std::int32_t Last = 9;
} // namespace ThemeNumber

// The persisted properties, initialised to their stored defaults (what a stored control that
// lacks a key reads). A new control differs only in Caption and CaptionEffectColor.
struct ButtonProperties {
    std::string Caption;
    std::string IconSource;
    Colour ForeColor = 0;
    Colour CaptionDisableColor = rgb(212, 212, 212);
    Colour CaptionEffectColor = rgb(200, 200, 200);
    std::int32_t CaptionEffect = 1;
    std::int16_t CaptionOffsetX = 0;
    std::int16_t CaptionOffsetY = 0;
    std::int16_t ShadowOffsetX = 2;
    std::int16_t ShadowOffsetY = 2;
    std::int32_t Theme = 1;
    bool FocusDottedRect = true;
    bool Enabled = true;
    ButtonFont Font;
    bool Icon = false;
    std::int32_t RoundedValue = 5;
    std::uint8_t TransparencyICO = 100;
    std::int32_t CaptionAlignment = 5;
    std::int32_t IconAlignment = 1;
};

// What the painter needs besides the properties: the input state.
struct ButtonState {
    bool IsPressed = false;
    bool IsHovering = false;
    bool HasFocus = false;
};

} // namespace zr::widgets
