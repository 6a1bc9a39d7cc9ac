#pragma once

#include "platform/Desktop.h"
#include "platform/ToneGenerator.h"

#include <deque>
#include <ostream>
#include <string>

namespace zr::app {

// Escapes a value for one output line: "\" as "\\", CR as "\r", LF as "\n".
std::string escapeValue(const std::string& value);

// The desktop of a station without a window: message boxes are printed and answered OK,
// input boxes take the answers the script queued, tones are printed instead of sounded.
class ScriptConsole final : public platform::Desktop, public platform::ToneGenerator {
  public:
    explicit ScriptConsole(std::ostream& out) : out_(out) {}

    int screenWidthTwips() const override { return 28800; }
    int screenHeightTwips() const override { return 16200; }
    void messageBox(const std::string& text, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    // Printed, and answered with the next queued answer: Yes only for "yes".
    bool askYesNo(const std::string& text, const std::string& title) override;
    void beep(int frequencyHz, int durationMs) override;

    // The answer for the next input box; Cancel (empty) when none was queued.
    void queueAnswer(std::string answer) { answers_.push_back(std::move(answer)); }

  private:
    std::ostream& out_;
    std::deque<std::string> answers_;
};

} // namespace zr::app
