#pragma once

#include <string>

namespace zr::reg {

enum class RegisterFailure {
    None,
    CannotOpen,    // file or server cannot be reached or opened
    NotADatabase,  // the file holds something else
    ReadOnly,      // writes are refused
    NewerSchema,   // written by a newer station; left untouched
    Unavailable,   // a statement failed (disk full, server gone)
    NoFreeNumber,  // no free card code is left in the group
    NotAUid,       // a row's UID is not a card UID; refused
    Refused,       // a change the register's rules forbid (the message says which); nothing done
    UnknownOrder,  // no order has that reference
    OrderNotOpen,  // the order is closed, cancelled or complete: it gives no numbers
    OrderComplete, // every number of the order's range is written or void
    OrderWaiting,  // no number of the range is free, but cards still unfinished hold some
};

struct RegisterError {
    RegisterFailure kind = RegisterFailure::None;
    std::string message; // names the file or the server
};

} // namespace zr::reg
