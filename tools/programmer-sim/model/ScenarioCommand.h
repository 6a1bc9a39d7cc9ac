#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zr::sim::scenario {

struct LayCard {
    std::string uid;
};
struct RemoveCard {};
struct Pause {
    int ms = 0;
};
struct SplitReplies {
    int pieces = 1;
};
struct GoSilent {};
struct GoNormal {};
struct GarbleNextReply {};
struct DropLink {};
struct Quit {};
// Cards waiting beside the programmer, laid on one after the other.
struct QueueCards {
    std::vector<std::string> uids;
};
// How long after its last written number a card is swapped for the next queued one.
struct SwapAfter {
    int ms = 0;
};
// Take the card off when the next number write arrives, before it is carried out.
struct SnatchAtWrite {};

using Command = std::variant<LayCard, RemoveCard, Pause, SplitReplies, GoSilent, GoNormal,
                             GarbleNextReply, DropLink, Quit, QueueCards, SwapAfter, SnatchAtWrite>;

inline constexpr int kMaxPauseMs = 3'600'000;
inline constexpr int kMaxSplitPieces = 64;
inline constexpr int kMaxQueuedCards = 10000;

struct ParsedLine {
    std::optional<Command> command; // nothing for blank and comment lines, and for errors
    std::string error;              // why the line was refused; empty when it was not
};

// One scenario line; "#" starts a comment anywhere on the line.
ParsedLine parseLine(std::string_view line);

} // namespace zr::sim::scenario
