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
// Take the card off when the nth number write from now arrives, before it is carried out
// (2: the V3 write of a card written in both layouts).
struct SnatchAtWrite {
    int nth = 1;
};
// Carry out the next number write but send no answer: a write that landed, its "OK" lost.
struct LoseWriteAnswer {};
// Answer the next `count` log-ins to the V3 block "NO". Refused, the programmer stays in the
// mode it had; `carriedOut`: it logs in all the same and only its answer says "NO".
struct RefuseLogIn {
    int count = 1;
    bool carriedOut = false;
};
// Send no answer to the next `count` V3 number reads.
struct MuteReads {
    int count = 1;
};
// Answer the next UID request with this text instead of the card's UID.
struct UidReply {
    std::string text;
};
// Answer UID requests after this many milliseconds (0: the usual reply delay).
struct UidDelay {
    int ms = 0;
};

using Command = std::variant<LayCard, RemoveCard, Pause, SplitReplies, GoSilent, GoNormal,
                             GarbleNextReply, DropLink, Quit, QueueCards, SwapAfter, SnatchAtWrite,
                             LoseWriteAnswer, UidReply, UidDelay, RefuseLogIn, MuteReads>;

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
