#pragma once

#include <string>
#include <vector>

namespace zr::window::qt {

enum class FontKind { Normal, CardNumber, WorkButton, Message, Traffic };

// Where a control sits, in twips from the top left corner of the window's client area.
struct Place {
    std::string name;
    int x;
    int y;
    int width;
    int height;
    FontKind font = FontKind::Normal;
    // The label whose caption names this control for assistive technology, or empty.
    std::string buddy = {};
    // The accessible name of a control with neither caption nor buddy.
    std::string description = {};
};

// Every control of the window in tab order: the operator's area, the administrator's
// column, the key rows, then the single commands, results and traffic view on the right.
const std::vector<Place>& windowLayout();

// The run and verification controls (WindowRunControls.cpp), in free space of the operator's
// area beside the option rows; windowLayout() ends with them.
const std::vector<Place>& runControlsLayout();

// The title bar and borders of the window: sizes 1 and 2 are the outer width and height,
// so the client area is this much smaller.
inline constexpr int kFrameWidthTwips = 120;
inline constexpr int kFrameHeightTwips = 450;

} // namespace zr::window::qt
