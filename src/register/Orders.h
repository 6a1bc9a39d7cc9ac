#pragma once

#include <cstdint>
#include <string>

// Orders: a range of card codes of one group, taken by any number of benches at once.
namespace zr::reg {

struct NewOrder {
    std::string reference; // free text, unique ("PO-4711")
    std::string customer;  // may be empty
    int group = 0;
    int first = 0; // card codes, inclusive
    int last = 0;
};

struct Order {
    std::string reference;
    std::string customer;
    int group = 0;
    int first = 0;
    int last = 0;
    std::string state; // "open", "complete", "closed", "cancelled"
    std::string created;
    std::string changed;
    std::int64_t size() const { return std::int64_t{last} - first + 1; }
};

// How far an order is, counted over its range whoever wrote the numbers.
struct OrderProgress {
    Order order;
    std::int64_t written = 0; // numbers of the range on a card whose write was confirmed
    std::int64_t voided = 0;  // numbers of cards spoiled after they were written
    // Numbers neither written nor void that no bench may take: a card whose write is unknown
    // or unfinished holds them, or a station has claimed them.
    std::int64_t unfinished = 0;
    std::int64_t done() const { return written + voided; }
    std::int64_t free() const { return order.size() - done() - unfinished; }
};

// A card spoiled after it was written: its number is never given again nor delivered.
struct VoidCard {
    std::string uid;
    int group = 0;
    int card = 0;
    std::string reason;
    std::string time;
};

} // namespace zr::reg
