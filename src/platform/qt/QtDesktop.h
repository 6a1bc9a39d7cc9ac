#pragma once

#include "platform/Desktop.h"

class QScreen;
class QWidget;

namespace zr::platform {

// Twips (1/1440 inch) per device-independent pixel of a screen; 15 at 96 dpi.
double twipsPerPixel(const QScreen* screen);

// The desktop of a station with a window: the primary screen's size, and modal Qt boxes
// over the station's window.
class QtDesktop final : public Desktop {
  public:
    int screenWidthTwips() const override;
    int screenHeightTwips() const override;
    void messageBox(const std::string& text, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;

    // The window the boxes are modal to (none: the active window).
    void setOwner(QWidget* owner) { owner_ = owner; }

  private:
    QWidget* owner_ = nullptr;
};

} // namespace zr::platform
