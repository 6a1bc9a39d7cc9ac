#pragma once

#include "tools/register/serve/ServeViews.h"

#include <chrono>
#include <optional>

// The live page's orders: how far each is, who works on it and how fast, and the orders that
// stand still while a bench has them.
namespace zr::tools::serve {

inline constexpr int kMaxOrders = 50;
inline constexpr std::chrono::minutes kStallAlarm{10};
// A bench's rate counts from its first card in the window, but over at least this long, so a
// bench that has just begun does not show a burst.
inline constexpr std::chrono::minutes kShortestRateSpan{1};

// A register time text (2026-12-07T14:02:11.480Z); nothing when it is not one.
std::optional<Now> timeOfText(const std::string& utc);

// Cards per hour: the bench's cards in the recent window over the time from the first of them
// to now.
double benchCardsPerHour(const reg::OrderBench& bench, Now now);

// Open orders first (oldest first), then those changed since the server's local midnight, at
// most kMaxOrders: written of ordered, void, unfinished, free, per bench, cards per hour,
// seconds left, and the stalled orders.
View ordersView(reg::CardRegister& cards, Now now);

} // namespace zr::tools::serve
