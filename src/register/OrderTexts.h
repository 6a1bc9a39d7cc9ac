#pragma once

#include "register/Orders.h"

#include <cstdint>
#include <string>

// What a bench that works an order tells its operator, in both languages.
namespace zr::reg {

std::string orderCompleteText(const std::string& reference, std::int64_t size, bool english);
// No number of the order is free, but `unfinished` are held by cards not yet finished.
std::string orderWaitingText(const std::string& reference, std::int64_t unfinished, bool english);
// `state` is the order's ("closed", "cancelled"); empty when the register has no such order.
std::string orderRefusedText(const std::string& reference, const std::string& state, bool english);

} // namespace zr::reg
