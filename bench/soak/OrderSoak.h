#pragma once

// Benches on one PostgreSQL register filling one order under every fault of the soak.
namespace zr::soak {

struct OrderSoakOptions {
    int benches = 8;
    int cards = 2000; // the order's size: card codes 1..cards
    unsigned seed = 1;
    double faultRate = 0.04;
};

// Runs the benches, checks what their cards hold against the register and the order, and
// prints the figures and the violations; the exit status (1 on a violation).
int soakOrder(const OrderSoakOptions& options);

} // namespace zr::soak
