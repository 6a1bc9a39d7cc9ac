#pragma once

#include "protocol/Frames.h"
#include "protocol/ProgrammerLink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// The request/reply exchange with the programmer: the receive handlers that turn arrived
// bytes into one reply text, and the two ways a sender sends and waits on its status flag.
namespace zr::protocol {

// Receive event of the serial port: settles 21 ms so a reply arriving byte by byte is
// complete, then logs and dispatches it. Nothing escapes: a failing dispatch is dropped.
void OnSerialReceive(ProgrammerLink& link);
// Data arrival of the TCP socket. `bytesTotal` is what the socket reports; everything
// buffered is read regardless. A UID reply gets a 301 ms settle; nothing escapes.
void OnTcpReceive(ProgrammerLink& link, std::size_t bytesTotal);

// Before a command's first request: waits until the requests an earlier command left
// unanswered got their (late) replies, which are ignored, or the line has been quiet for a
// second; then gives them up. Costs nothing when every request was answered.
void awaitEarlierReplies(ProgrammerLink& link);

// How long one wait for a reply lasts.
class ReplyLimit {
  public:
    // The value of txtInterval, read afresh on every pass of the wait.
    static ReplyLimit interval() { return ReplyLimit(std::nullopt); }
    // A fixed number of milliseconds; the wait ends once more than that has passed.
    static ReplyLimit fixed(std::uint32_t ms) { return ReplyLimit(ms); }

    double millis(const ProgrammerLink& link) const;

  private:
    explicit ReplyLimit(std::optional<std::uint32_t> fixedMs) : fixedMs_(fixedMs) {}
    std::optional<std::uint32_t> fixedMs_;
};

// The flag values that end a wait at once.
enum class EarlyExit { Ok, OkOrNo };

bool isEarlyExit(std::string_view flag, EarlyExit exits);

// Pumps events until the flag shows an early-exit value (true) or the limit has passed
// (false). Sleeps between events; never spins.
bool waitForFlag(ProgrammerLink& link, const station::TextBox& flag, EarlyExit exits,
                 ReplyLimit limit);

// A command sent up to three times on the link's shared retryCount, its frame rebuilt
// from the window's fields for every attempt.
struct SharedCommand {
    std::string_view name;
    station::TextBox& flag;
    EarlyExit earlyExit;
    ReplyLimit limit;
    // The frame as the fields stand now; nothing when they cannot be sent (the builder has
    // told the operator why).
    std::function<std::optional<Frame>()> buildFrame;
    // The flag values that count as success after each wait.
    EarlyExit successOn;
};

// True when the success test held after a wait; false after three attempts, or at once
// (nothing sent) when the frame cannot be built or the link is down: waiting on a port that
// is closed or a connection that is gone would only keep the bench from opening it again.
bool sendShared(ProgrammerLink& link, const SharedCommand& command);

// A command with its own attempt number: one frame, three sends at most, each written to
// the traffic view as "<attempt><label>"; success is an early exit.
struct CountedCommand {
    std::string_view name;
    station::TextBox& flag;
    std::string_view label;
    EarlyExit earlyExit;
    ReplyLimit limit;
    // A pause with events before the command is registered (0: none).
    std::int32_t delayBeforeMs = 0;
    // Empty the flag before that pause rather than when registering.
    bool emptyFlagBeforeDelay = false;
    // Only a reply to the last request counts (a UID: an earlier attempt's may describe a card
    // taken off since). A request still unanswered is waited for before it is sent again, so
    // a slow programmer's answer still comes to the last request.
    bool onlyLatestReply = false;
};

bool sendCounted(ProgrammerLink& link, const CountedCommand& command, const Frame& frame);

} // namespace zr::protocol
