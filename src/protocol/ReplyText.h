#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// What the programmer's reply bytes say, as text.
namespace zr::protocol {

// The bytes of one receive event as the reply text: each byte the Latin-1 character of that
// code (stored as UTF-8), NULs dropped, leading and trailing spaces (only spaces) trimmed.
std::string replyText(std::span<const std::uint8_t> bytes);

// Every "OK" removed, then every "NO" in what is left (upper case only, one pass each), the
// way a UID reply is cleaned of the status words mixed into it.
std::string withoutOkAndNo(std::string_view text);

} // namespace zr::protocol
