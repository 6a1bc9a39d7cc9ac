#pragma once

#include "base/Result.h"
#include "platform/Database.h"
#include "register/Orders.h"
#include "register/RegisterDashboard.h"
#include "register/RegisterError.h"
#include "register/RegisterTypes.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zr::reg {

using Clock = std::function<std::chrono::system_clock::time_point()>;

// UTC text of a time point, to the millisecond: 2026-12-06T20:28:28.123Z.
std::string utcText(std::chrono::system_clock::time_point time);
// The local midnight at or before `now`.
std::chrono::system_clock::time_point
localMidnightBefore(std::chrono::system_clock::time_point now);

// Filters of a listing; empty fields do not filter.
struct ListFilter {
    std::string since;  // time at or after (a prefix such as "2026-12-06" works)
    std::string before; // time before
    std::string station;
    std::optional<int> group;
    std::optional<int> cardFrom; // card code range, inclusive
    std::optional<int> cardTo;
    std::optional<int> limit;
};

// A number on more than one UID, or a UID with more than one number.
struct Duplicate {
    std::string key;                  // the number (group:card) or the UID
    std::vector<std::string> holders; // the UIDs or the numbers, sorted
};

struct StationHour {
    std::string station;
    std::string hour; // 2026-12-06T20
    std::int64_t attempts = 0;
    std::int64_t failed = 0;
};

// The register of recorded cards over one database connection. Every write is its own
// committed transaction: when a record call returns true the row is on disk (SQLite,
// synchronous=FULL) or committed on the server. A lost PostgreSQL connection is opened
// again once per call before the call gives up.
class CardRegister {
  public:
    using Result = base::Result<std::shared_ptr<CardRegister>, RegisterError>;
    enum class Access { ReadWrite, ReadOnly };

    // Opens the register on `db`, migrating it to this build's schema. ReadWrite also proves
    // that rows can be written. `where` names the register in messages.
    static Result open(std::unique_ptr<platform::Database> db, std::string where,
                       std::string station, Access access, Clock clock);

    const std::string& where() const { return where_; }
    const std::string& station() const { return station_; }
    const RegisterError& lastError() const { return error_; }

    // How a write attempt picks its number.
    struct NumberRule {
        // Claim the number against every other station sharing the register.
        bool sharedSequence = false;
        // Move on past numbers that other cards hold; false writes exactly the number asked
        // for (the operator has been asked and said so).
        bool skipHeld = true;
        // A card that already holds a number in the group gets that number again.
        bool ownNumberFirst = false;
    };

    // A write attempt about to begin: the card code it will write, and the register row
    // that stands for it until its outcome is known.
    struct Attempt {
        int card = 0;
        std::int64_t id = 0;
        bool ownNumber = false; // the card's own earlier number
        // The first number passed over because another card holds it, and that card's UID.
        std::optional<int> skippedCard;
        std::string skippedHolder;
    };

    // Before anything is written to the card: picks the card code and stores a "started"
    // row for it, in one transaction, so a card written by a station that dies before it can
    // say so is still on record. The code is the card's own (when the rule asks for it and
    // the card holds one), else the first from `card` up that no other card holds (a row
    // holding its number, see rows::kHoldsNumber) and, with the shared sequence, that no
    // other station has claimed: the claim is made against the unique group-and-card key
    // (this station's own claims whose writes left nothing on a card are reused). A UID that
    // is not ten digits with two halves up to 65535 is refused.
    std::optional<Attempt> startAttempt(int group, int card, const std::string& uid, bool lock,
                                        const NumberRule& rule);
    // startAttempt for an order: the card's own number when it holds one of the range, else
    // the first number of the range that no card holds (void numbers count as held) and no
    // other station has claimed; the number is claimed and the row names the order. When the
    // order gives no number, nothing and lastError() says why: UnknownOrder, OrderNotOpen,
    // OrderComplete (the order is marked complete), or OrderWaiting (unfinished cards hold the
    // numbers left).
    std::optional<Attempt> startOrderAttempt(const std::string& reference, const std::string& uid,
                                             bool lock);
    // The shared-sequence claim alone: the card code startAttempt gives.
    std::optional<int> claimNumber(int group, int card, const std::string& uid);

    // The outcome of a write attempt: completes the row of `attemptId` (from startAttempt)
    // or adds a row, at `time` (now when empty). False when it could not be stored (the
    // caller keeps the row) or when its UID is not a card UID.
    bool recordWrite(const CardWrite& write, std::int64_t attemptId = 0, std::string time = {});
    // Proves the register can be written now (a write that is rolled back).
    bool writable();

    // A read-back: compared with the number the register last gave that UID, stored, and
    // the verdict returned. Nothing when it could not be stored.
    std::optional<Verdict> recordReadBack(const CardReadBack& readBack);

    // The UID another card was successfully given this number under, if any.
    base::Result<std::optional<std::string>, RegisterError> otherUidWith(int group, int card,
                                                                         const std::string& uid);

    // Orders (CardRegisterOrders.cpp). Each change is one transaction that either is refused
    // with its reason (nothing changed) or is done whole.
    base::Result<Order, RegisterError> addOrder(const NewOrder& order);
    base::Result<std::vector<OrderProgress>, RegisterError> orders();
    // The open orders alone, without their counts: one cheap query, for a bench's list.
    base::Result<std::vector<Order>, RegisterError> openOrders();
    base::Result<OrderProgress, RegisterError> orderProgress(const std::string& reference);
    // Open orders only: no more numbers are given; what was written stays.
    base::Result<Order, RegisterError> closeOrder(const std::string& reference);
    base::Result<Order, RegisterError> cancelOrder(const std::string& reference);
    // Moves the last card code of an open or complete order up to `last` over free numbers.
    base::Result<Order, RegisterError> extendOrder(const std::string& reference, int last);
    // The card holding a number under `uid` (its latest such row) is spoiled.
    base::Result<VoidCard, RegisterError> voidCard(const std::string& uid,
                                                   const std::string& reason);
    // The spoiled cards whose numbers lie in group..first..last, in number order.
    base::Result<std::vector<VoidCard>, RegisterError> voidCards(int group, int first, int last);
    int schemaVersion() const { return schemaVersion_; }

    // Queries.
    base::Result<std::vector<WriteRow>, RegisterError> list(const ListFilter& filter);
    base::Result<std::vector<WriteRow>, RegisterError> lastCards(int count);
    base::Result<std::vector<WriteRow>, RegisterError> findUid(const std::string& uid);
    base::Result<std::vector<WriteRow>, RegisterError> findNumber(int group, int card);
    base::Result<std::vector<VerificationRow>, RegisterError>
    verificationsOf(const std::string& uid);
    // Cards written (successful attempts) at or after `since`.
    base::Result<std::int64_t, RegisterError> countWrittenSince(const std::string& since);
    // Cards written since the local midnight before now.
    base::Result<std::int64_t, RegisterError> countWrittenToday();
    base::Result<std::vector<Duplicate>, RegisterError> numbersOnSeveralUids();
    base::Result<std::vector<Duplicate>, RegisterError> uidsWithSeveralNumbers();
    base::Result<std::vector<StationHour>, RegisterError> stationHours();
    // Every write attempt the filter lets through, in order; `onRow` returning false stops.
    // False when reading failed.
    bool forEachWrite(const std::function<bool(const WriteRow&)>& onRow,
                      const ListFilter& filter = {});

    // The live page's views (RegisterDashboard.cpp), each one query of at most `limit` rows.
    // Stations with attempts since `dayStart`; recentWritten counts from `recentStart`.
    base::Result<std::vector<StationDay>, RegisterError>
    stationDays(const std::string& dayStart, const std::string& recentStart, int limit);
    // Per station and group, the codes written since `since`, latest first.
    base::Result<std::vector<RangeProgress>, RegisterError> rangesSince(const std::string& since,
                                                                        int limit);
    // Numbers that more than one card holds, among those with an attempt since `since`.
    base::Result<std::vector<SharedNumber>, RegisterError>
    sharedNumbersSince(const std::string& since, int limit);
    // Partly written attempts since `since` whose card has not been written since, newest
    // first.
    base::Result<std::vector<WriteRow>, RegisterError> openPartlyWritten(const std::string& since,
                                                                         int limit);
    // Stations whose attempts since `since` end in at least `atLeast` failures.
    base::Result<std::vector<FailureRun>, RegisterError> failureRuns(const std::string& since,
                                                                     int atLeast, int limit);
    // Open orders, then those changed since `changedSince` (RegisterOrderView.cpp), at most
    // `limit`: their progress and the benches with attempts on their numbers; recentWritten
    // counts from `recentStart`.
    base::Result<std::vector<OrderAtWork>, RegisterError>
    ordersAtWork(const std::string& changedSince, const std::string& recentStart, int limit);
    // Each station's latest attempt since `since`.
    base::Result<std::vector<LatestAttempt>, RegisterError> latestAttempts(const std::string& since,
                                                                           int limit);

  private:
    CardRegister(std::unique_ptr<platform::Database> db, std::string where, std::string station,
                 Clock clock, int schemaVersion);
    // The card codes an attempt may take: from `from` up to `last`; the card's own number
    // counts only within first..last. An order's attempts jump from free number to free number
    // and name the order on their row.
    struct Span {
        int group = 0;
        int from = 0;
        int first = 0;
        int last = 65535;
        std::optional<std::string> order;
    };
    struct PendingWrite {
        std::string time;
        CardWrite write;
        std::int64_t attemptId = 0;
    };
    bool storeWrite(const PendingWrite& row);
    bool storeWriteOnce(const PendingWrite& row);
    std::optional<Attempt> startSpan(const Span& span, const std::string& uid, bool lock,
                                     const NumberRule& rule);
    std::optional<Attempt> startLightly(const Span& span, const std::string& uid, bool lock,
                                        const NumberRule& rule);
    std::optional<Attempt> startOnce(const Span& span, const std::string& uid, bool lock,
                                     const NumberRule& rule);
    // The lowest code from `from` to `last` that no other card holds, is not void and no other
    // station has claimed; 0 with `none` set when there is none; nothing when reading failed.
    std::optional<int> nextFree(int group, int from, int last, const std::string& uid, bool& none);
    // The order of a started row marked complete when its last number is written (inside the
    // caller's transaction); false on a failed statement.
    bool completeOrderOf(std::int64_t attemptId, const std::string& now);
    std::optional<OrderProgress> progressOf(const Order& order);
    std::optional<Order> findOrder(const std::string& reference, bool& found);
    // The order a change names; nothing, with `why`, when it is unknown or reading failed.
    std::optional<Order> orderToChange(const std::string& reference, RegisterError& why);
    // Runs `change` in a transaction that takes the orders' lock; commits when it returns no
    // error, else rolls back.
    RegisterError changeOrders(const std::function<RegisterError()>& change);
    RegisterError sqlError();
    base::Result<Order, RegisterError> setOrderState(const std::string& reference,
                                                     const std::string& state);
    // The card code of the latest row in which `uid` holds a number of `group`, or 0 when none;
    // nothing when the register could not be read.
    std::optional<int> ownNumber(int group, const std::string& uid);
    // The UID of another card holding the number (empty when none); nothing when the register
    // could not be read.
    std::optional<std::string> holderOf(int group, int card, const std::string& uid);
    // The shared sequence's claim of the number for this card and station: true when it is
    // theirs now, false when another station's claim keeps it; nothing on a failed statement.
    std::optional<bool> claim(int group, int card, const std::string& uid, const std::string& now);
    bool refuseUid(const std::string& uid);
    std::optional<std::int64_t> insertStarted(const Span& span, int card, const std::string& uid,
                                              bool lock, const std::string& time);
    bool query(const std::string& sql, const std::vector<platform::SqlValue>& parameters,
               const platform::SqlRowHandler& onRow);
    base::Result<std::vector<WriteRow>, RegisterError>
    writeRows(const std::string& where, const std::vector<platform::SqlValue>& parameters,
              const std::string& tail = " ORDER BY id");
    bool fail();
    bool abandonTransaction();

    std::unique_ptr<platform::Database> db_;
    std::string where_;
    std::string station_;
    Clock clock_;
    RegisterError error_;
    bool connectionLost_ = false;
    int schemaVersion_ = 0;
};

} // namespace zr::reg
