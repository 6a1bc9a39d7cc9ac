#include "keys/IniReader.h"

namespace zr::keys {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool isCommentStart(char c) {
    return c == ';' || c == '#';
}

// The value without a trailing comment: one starts at a ';' or '#' that opens the value or
// follows a blank.
std::string_view withoutTrailingComment(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (isCommentStart(value[i]) && (i == 0 || value[i - 1] == ' ' || value[i - 1] == '\t')) {
            return value.substr(0, i);
        }
    }
    return value;
}

} // namespace

base::Result<std::vector<IniEntry>, IniSyntaxError> parseIni(std::string_view content) {
    if (content.size() > kMaxIniBytes) {
        return IniSyntaxError{0, "file larger than " + std::to_string(kMaxIniBytes) + " bytes"};
    }
    if (content.find('\0') != std::string_view::npos) {
        return IniSyntaxError{0, "file contains NUL bytes"};
    }
    if (content.starts_with(kUtf8Bom)) {
        content.remove_prefix(kUtf8Bom.size());
    }

    std::vector<IniEntry> entries;
    std::string section;
    std::size_t lineNumber = 0;
    while (!content.empty()) {
        ++lineNumber;
        const auto newline = content.find('\n');
        std::string_view line = content.substr(0, newline);
        content.remove_prefix(newline == std::string_view::npos ? content.size() : newline + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = trimBlanks(line);
        if (line.empty() || isCommentStart(line.front())) {
            continue;
        }
        if (line.front() == '[') {
            const auto close = line.find(']');
            if (close == std::string_view::npos) {
                return IniSyntaxError{lineNumber, "section line without ']'"};
            }
            const auto rest = trimBlanks(line.substr(close + 1));
            if (!rest.empty() && !isCommentStart(rest.front())) {
                return IniSyntaxError{lineNumber, "text after the section name"};
            }
            section = std::string(trimBlanks(line.substr(1, close - 1)));
            if (section.empty()) {
                return IniSyntaxError{lineNumber, "empty section name"};
            }
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            return IniSyntaxError{lineNumber, "line is neither a section, a setting nor a comment"};
        }
        const auto name = trimBlanks(line.substr(0, equals));
        if (name.empty()) {
            return IniSyntaxError{lineNumber, "setting without a name"};
        }
        const auto value = trimBlanks(withoutTrailingComment(trimBlanks(line.substr(equals + 1))));
        entries.push_back({section, std::string(name), std::string(value), lineNumber});
    }
    return entries;
}

} // namespace zr::keys
