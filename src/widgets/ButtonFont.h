#pragma once

#include <string>

namespace zr::widgets {

// The caption font as the button keeps and persists it; the widget turns it into its
// toolkit's font.
struct ButtonFont {
    std::string name = "Arial";
    double size = 9.0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const ButtonFont&) const = default;
};

} // namespace zr::widgets
