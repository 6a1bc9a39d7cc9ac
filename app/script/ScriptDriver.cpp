#include "app/script/ScriptDriver.h"

#include "base/TextRules.h"

#include <sstream>

namespace zr::app {
namespace {

struct SplitLine {
    std::string command;
    std::string name;
    std::string rest; // everything after the one space that follows the name, kept exactly
};

// "set NAME VALUE": the value keeps its blanks, trailing ones included.
SplitLine splitLine(const std::string& line) {
    SplitLine parts;
    const std::size_t commandEnd = line.find(' ');
    parts.command = line.substr(0, commandEnd);
    if (commandEnd == std::string::npos) {
        return parts;
    }
    const std::size_t nameStart = commandEnd + 1;
    const std::size_t nameEnd = line.find(' ', nameStart);
    parts.name =
        line.substr(nameStart, nameEnd == std::string::npos ? nameEnd : nameEnd - nameStart);
    if (nameEnd != std::string::npos) {
        parts.rest = line.substr(nameEnd + 1);
    }
    return parts;
}

// Typed text: "\b" is a backspace (8), "\r" Enter (13), "\\" a backslash.
std::vector<int> keyCodes(const std::string& text) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 'b' || next == 'r' || next == '\\') {
                codes.push_back(next == 'b'   ? base::kKeyBackspace
                                : next == 'r' ? base::kKeyEnter
                                              : '\\');
                ++i;
                continue;
            }
        }
        codes.push_back(c);
    }
    return codes;
}

} // namespace

int ScriptDriver::run(std::istream& script) {
    std::string line;
    for (int number = 1; !station_.ended() && std::getline(script, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        if (const auto error = runLine(line.substr(first))) {
            errors_ << "script line " << number << ": " << *error << '\n';
            return kExitScriptError;
        }
    }
    out_.flush();
    return 0;
}

std::optional<std::string> ScriptDriver::runLine(const std::string& line) {
    const SplitLine parts = splitLine(line);
    const std::string& command = parts.command;
    if (command == "exit") {
        station_.CmdExit.click();
        return std::nullopt;
    }
    if (command == "answer") {
        const std::size_t space = line.find(' ');
        console_.queueAnswer(space == std::string::npos ? std::string() : line.substr(space + 1));
        return std::nullopt;
    }
    if (command == "wait") {
        return wait(line.size() > 5 ? line.substr(5) : std::string());
    }
    if (command == "dump") {
        return dump(line.size() > 5 ? line.substr(5) : std::string());
    }
    if (command == "set") {
        return set(parts.name, parts.rest);
    }
    if (command == "type") {
        return type(parts.name, parts.rest);
    }
    if (command != "click" && command != "dblclick" && command != "leave") {
        return "unknown command '" + command + "'";
    }
    station::Control* control = station_.findControl(parts.name);
    if (control == nullptr) {
        return "unknown control '" + parts.name + "'";
    }
    if (command == "click") {
        control->click();
    } else if (command == "dblclick") {
        control->dblClick();
    } else {
        control->lostFocus();
    }
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::set(const std::string& name, const std::string& value) {
    if (name == "connType") {
        station_.connType = value;
        return std::nullopt;
    }
    if (name == "currentCommand") {
        link_.currentCommand = value;
        return std::nullopt;
    }
    if (name == "lastWrittenUid") {
        station_.lastWrittenUid = value;
        return std::nullopt;
    }
    const std::size_t dot = name.find('.');
    const std::string controlName = name.substr(0, dot);
    const std::string_view propertyName =
        dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    station::Control* control = station_.findControl(controlName);
    if (control == nullptr) {
        return "unknown control '" + controlName + "'";
    }
    if (!control->setFromScript(propertyName, value)) {
        return "cannot set " + name + " to '" + value + "'";
    }
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::type(const std::string& name, const std::string& text) {
    auto* box = dynamic_cast<station::TextBox*>(station_.findControl(name));
    if (box == nullptr) {
        return "unknown text box '" + name + "'";
    }
    for (const int code : keyCodes(text)) {
        box->typeKey(code);
    }
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::wait(const std::string& argument) {
    const auto ms = base::parseWholeNumber(argument);
    if (!ms || *ms < 0) {
        return "wait needs milliseconds, not '" + argument + "'";
    }
    link_.waitWithEvents(*ms - 1, [this] { return station_.ended(); });
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::dump(const std::string& names) {
    std::istringstream tokens(names);
    std::string token;
    while (tokens >> token) {
        if (auto error = dumpOne(token)) {
            return error;
        }
    }
    out_.flush();
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::dumpOne(const std::string& token) {
    if (token == "MainWindow.Caption") {
        out_ << token << '=' << escapeValue(station_.Caption) << '\n';
        return std::nullopt;
    }
    if (const auto field = fieldValue(token)) {
        out_ << token << '=' << escapeValue(*field) << '\n';
        return std::nullopt;
    }
    // The property follows the first dot after the name; "txtAKey(3)" has none of its own.
    const std::size_t dot = token.find('.');
    const std::string name = token.substr(0, dot);
    const std::string propertyName =
        dot == std::string::npos ? std::string() : token.substr(dot + 1);
    const station::Control* control = station_.findControl(name);
    if (control == nullptr) {
        return "unknown control '" + name + "'";
    }
    const auto value = control->property(propertyName);
    if (!value) {
        return name + " has no property '" + propertyName + "'";
    }
    out_ << token << '=' << escapeValue(*value) << '\n';
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::fieldValue(const std::string& name) const {
    if (name == "connType") {
        return station_.connType;
    }
    if (name == "currentCommand") {
        return link_.currentCommand;
    }
    if (name == "retryCount") {
        return std::to_string(link_.retryCount);
    }
    if (name == "lastWrittenUid") {
        return station_.lastWrittenUid;
    }
    if (name == "size1") {
        return std::to_string(station_.size1);
    }
    if (name == "size2") {
        return std::to_string(station_.size2);
    }
    return std::nullopt;
}

} // namespace zr::app
