#include "ScenarioCommand.h"

#include "ProgrammerModel.h"

#include <charconv>
#include <vector>

namespace zr::sim::scenario {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        out.push_back(line.substr(start, end - start));
        pos = end;
    }
    return out;
}

std::optional<int> boundedNumber(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<Command> bareCommand(std::string_view verb) {
    if (verb == "remove") {
        return RemoveCard{};
    }
    if (verb == "silent") {
        return GoSilent{};
    }
    if (verb == "normal") {
        return GoNormal{};
    }
    if (verb == "garbage") {
        return GarbleNextReply{};
    }
    if (verb == "drop") {
        return DropLink{};
    }
    if (verb == "quit") {
        return Quit{};
    }
    return std::nullopt;
}

ParsedLine refused(std::string message) {
    return {std::nullopt, std::move(message)};
}

} // namespace

ParsedLine parseLine(std::string_view line) {
    const auto args = words(line.substr(0, line.find('#')));
    if (args.empty()) {
        return {};
    }
    const std::string_view verb = args[0];
    const std::size_t operands = args.size() - 1;

    if (verb == "card") {
        if (operands != 1) {
            return refused("card needs one UID");
        }
        const auto uid = parseUidText(args[1]);
        if (!uid) {
            return refused("a UID is ten digits, two halves of at most 65535");
        }
        return {LayCard{*uid}, {}};
    }
    if (verb == "delay" || verb == "split") {
        if (operands != 1) {
            return refused(std::string(verb) + " needs one number");
        }
        if (verb == "delay") {
            const auto ms = boundedNumber(args[1], 0, kMaxPauseMs);
            return ms ? ParsedLine{Pause{*ms}, {}} : refused("delay is 0 to 3600000 ms");
        }
        const auto pieces = boundedNumber(args[1], 1, kMaxSplitPieces);
        return pieces ? ParsedLine{SplitReplies{*pieces}, {}} : refused("split is 1 to 64");
    }
    const auto bare = bareCommand(verb);
    if (!bare) {
        return refused("unknown command");
    }
    if (operands != 0) {
        return refused(std::string(verb) + " takes nothing after it");
    }
    return {*bare, {}};
}

} // namespace zr::sim::scenario
