#include "app/StationOptions.h"

#include "base/TextRules.h"

namespace zr::app {
namespace {

std::optional<std::pair<int, std::string>> parseComMapping(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 >= text.size()) {
        return std::nullopt;
    }
    const auto number = base::parseWholeNumber(std::string_view(text).substr(0, equals));
    if (!number || *number < 1 || *number > 16) {
        return std::nullopt;
    }
    return std::make_pair(*number, text.substr(equals + 1));
}

} // namespace

ParsedOptions parseStationOptions(const std::vector<std::string>& arguments) {
    StationOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option != "--script" && option != "--settings" && option != "--log" &&
            option != "--site" && option != "--com" && option != "--register") {
            return {std::nullopt, "unknown option " + option};
        }
        if (i + 1 >= arguments.size()) {
            return {std::nullopt, "option " + option + " needs a value"};
        }
        const std::string& value = arguments[++i];
        if (option == "--script") {
            options.script = value;
        } else if (option == "--settings") {
            options.settings = value;
        } else if (option == "--log") {
            options.log = value;
        } else if (option == "--site") {
            options.site = value;
        } else if (option == "--register") {
            options.cardRegister = value;
        } else {
            const auto mapping = parseComMapping(value);
            if (!mapping) {
                return {std::nullopt,
                        "--com wants N=DEVICE with N from 1 to 16, not '" + value + "'"};
            }
            options.comPorts[mapping->first] = mapping->second;
        }
    }
    return {options, {}};
}

} // namespace zr::app
