#pragma once

#include <string>

namespace zr::platform {

// What the station asks of the desktop besides its own window: the screen size for
// centring, and the two modal boxes.
class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual int screenWidthTwips() const = 0;
    virtual int screenHeightTwips() const = 0;
    // Modal box with one OK button; returns when the operator answered.
    virtual void messageBox(const std::string& text, const std::string& title) = 0;
    // Modal input box; the empty text when the operator cancelled.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // Modal box with Yes and No buttons; true only when the operator chose Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
};

} // namespace zr::platform
