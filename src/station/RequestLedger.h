#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace zr::station {

// The requests sent to the programmer that have not been answered yet, oldest first.
//
// The programmer answers every request once, in the order it received them, and nothing in a
// reply names its request. So the next reply answers the oldest request still open, and it is
// handed on only while the sender of that request still waits: a reply that comes after its
// sender gave up is never taken for a later command's answer, whatever command is in flight
// by then. A reply that arrives while no request is open belongs to nobody.
class RequestLedger {
  public:
    // Who a reply belongs to.
    enum class Owner {
        Waiting, // the sender that waits now (any of its attempts)
        GaveUp,  // a sender that no longer waits
        Nobody,  // no request was open
    };
    struct Reply {
        Owner owner = Owner::Nobody;
        std::string command; // the command of the request it answers
        bool latest = false; // it answers the last request sent
    };
    // What the waiting sender (or, once it returned, the last one) got back.
    struct Replies {
        int sends = 0;
        int answers = 0;  // replies that were its own
        int refusals = 0; // of those, exactly "NO"
    };

    // A sender that waits on its replies for as long as the scope lives. Scopes do not nest:
    // a sender starts once the previous one returned.
    class WaitingSender {
      public:
        explicit WaitingSender(RequestLedger& ledger);
        ~WaitingSender();
        WaitingSender(const WaitingSender&) = delete;
        WaitingSender& operator=(const WaitingSender&) = delete;

      private:
        RequestLedger& ledger_;
        std::uint64_t previous_;
    };

    // A request went out for the waiting sender. `detached` marks a request nobody waits on
    // (the key for a controller): its reply is taken while nothing else is open or waiting.
    void sent(std::string command, std::uint32_t tick, bool detached = false);
    // Bytes arrived (the receive settle starts).
    void bytesArrived(std::uint32_t tick) { lastActivity_ = tick; }
    // One reply was read: the request it answers leaves the ledger. `text` is the reply text.
    Reply replyRead(const std::string& text, std::uint32_t tick);

    bool open() const { return !requests_.empty(); }
    bool waiting() const { return waitingSender_ != 0; }
    // Milliseconds since the last request or arrival.
    std::uint32_t quietFor(std::uint32_t now) const { return now - lastActivity_; }
    // Drops every open request: their replies are lost (a link that dropped) or given up on
    // (the line stayed quiet long enough).
    void forgetOpenRequests() { requests_.clear(); }
    const Replies& replies() const { return replies_; }

  private:
    struct Request {
        std::uint64_t sender = 0;
        std::string command;
        bool detached = false;
    };

    std::deque<Request> requests_;
    std::uint64_t waitingSender_ = 0;
    std::uint64_t nextSender_ = 1;
    std::uint32_t lastActivity_ = 0;
    Replies replies_;
};

} // namespace zr::station
