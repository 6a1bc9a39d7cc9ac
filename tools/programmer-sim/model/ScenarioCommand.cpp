#include "ScenarioCommand.h"

#include "ProgrammerModel.h"

#include <charconv>
#include <cstdio>
#include <string>
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
    if (verb == "snatch") {
        return SnatchAtWrite{};
    }
    if (verb == "lose") {
        return LoseWriteAnswer{};
    }
    if (verb == "quit") {
        return Quit{};
    }
    return std::nullopt;
}

ParsedLine refused(std::string message) {
    return {std::nullopt, std::move(message)};
}

// COUNT cards whose UIDs count up from FIRST; every one must be a UID the programmer can report.
ParsedLine queueLine(const std::vector<std::string_view>& args) {
    if (args.size() != 3) {
        return refused("queue needs a first UID and a count");
    }
    const auto first = parseUidText(args[1]);
    const auto count = boundedNumber(args[2], 1, kMaxQueuedCards);
    if (!first || !count) {
        return refused("queue is a UID and 1 to 10000 cards");
    }
    QueueCards queue;
    const unsigned long long start = std::stoull(*first);
    for (int i = 0; i < *count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%010llu", start + static_cast<unsigned>(i));
        const auto uid = parseUidText(text);
        if (!uid) {
            return refused("the queue runs past the last UID");
        }
        queue.uids.push_back(*uid);
    }
    return {queue, {}};
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
    if (verb == "queue") {
        return queueLine(args);
    }
    if (verb == "uid-reply") {
        if (operands != 1 || args[1].size() > 64) {
            return refused("uid-reply needs one text of at most 64 characters");
        }
        return {UidReply{std::string(args[1])}, {}};
    }
    if (verb == "snatch" && operands == 1) {
        const auto nth = boundedNumber(args[1], 1, 100);
        return nth ? ParsedLine{SnatchAtWrite{*nth}, {}} : refused("snatch N is 1 to 100");
    }
    if (verb == "refuse-login" || verb == "misreport-login" || verb == "mute-read") {
        const auto count = operands == 0   ? std::optional<int>(1)
                           : operands == 1 ? boundedNumber(args[1], 1, 100)
                                           : std::nullopt;
        if (!count) {
            return refused(std::string(verb) + " N is 1 to 100");
        }
        if (verb == "mute-read") {
            return {MuteReads{*count}, {}};
        }
        return {RefuseLogIn{*count, verb == "misreport-login"}, {}};
    }
    if (verb == "uid-delay") {
        const auto ms = operands == 1 ? boundedNumber(args[1], 0, 60000) : std::nullopt;
        return ms ? ParsedLine{UidDelay{*ms}, {}} : refused("uid-delay is 0 to 60000 ms");
    }
    if (verb == "delay" || verb == "split" || verb == "swap") {
        if (operands != 1) {
            return refused(std::string(verb) + " needs one number");
        }
        if (verb == "swap") {
            const auto ms = boundedNumber(args[1], 0, kMaxPauseMs);
            return ms ? ParsedLine{SwapAfter{*ms}, {}} : refused("swap is 0 to 3600000 ms");
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
