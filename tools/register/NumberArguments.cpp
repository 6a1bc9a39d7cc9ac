#include "tools/register/NumberArguments.h"

#include "base/TextRules.h"

namespace zr::tools {

std::optional<int> parseCode(const std::string& text) {
    const auto value = base::parseWholeNumber(text);
    if (!value || *value < 0 || *value > 65535) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<int, int>> parseCardRange(const std::string& text) {
    const std::size_t dash = text.find('-');
    const auto from = parseCode(text.substr(0, dash));
    const auto to = dash == std::string::npos ? from : parseCode(text.substr(dash + 1));
    if (!from || !to || *from > *to) {
        return std::nullopt;
    }
    return std::pair{*from, *to};
}

} // namespace zr::tools
