#include "app/script/ScriptConsole.h"

namespace zr::app {

std::string escapeValue(const std::string& value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

void ScriptConsole::messageBox(const std::string& text, const std::string& /*title*/) {
    out_ << "msgbox: " << escapeValue(text) << '\n' << std::flush;
}

std::string ScriptConsole::inputBox(const std::string& /*prompt*/, const std::string& /*title*/,
                                    const std::string& /*defaultText*/) {
    if (answers_.empty()) {
        return {};
    }
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

bool ScriptConsole::askYesNo(const std::string& text, const std::string& title) {
    out_ << "question: " << escapeValue(text) << '\n' << std::flush;
    return inputBox(text, title, {}) == "yes";
}

void ScriptConsole::beep(int frequencyHz, int durationMs) {
    out_ << "tone: " << frequencyHz << ' ' << durationMs << '\n' << std::flush;
}

} // namespace zr::app
