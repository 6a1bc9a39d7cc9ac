#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text conversions that the station applies to what operators type and programmers send.
// Texts are UTF-8; the rules only ever look at ASCII characters.
namespace zr::base {

// Key codes that text boxes treat as editing keys rather than characters.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;

// The number formed by the leading numeric characters of `text`, 0 when there are none:
// leading blanks are skipped, an optional sign, digits, an optional decimal point with
// digits, and an optional exponent are read; anything after them is ignored.
double numericValue(std::string_view text);

// `text` as a whole decimal number, when it is exactly one (no blanks, no sign but '-').
std::optional<int> parseWholeNumber(std::string_view text);

// numericValue rounded half to even and clamped to the range of a 64-bit integer.
long long wholeValue(std::string_view text);

// Leading and trailing spaces removed (only the space character, as operators type it).
std::string trimSpaces(std::string_view text);

// ASCII letters upper-cased; every other byte kept.
std::string upperAscii(std::string_view text);

// `value` in decimal with at least `width` digits, zero-padded ("7" -> "00007").
std::string zeroPadded(long long value, int width);

// `value` in decimal with a comma between groups of three digits ("5000" -> "5,000").
std::string thousands(long long value);

// The first `count` characters (UTF-8 code points) of `text`, and the last `count`.
std::string leftChars(std::string_view text, std::size_t count);
std::string rightChars(std::string_view text, std::size_t count);
// Length of `text` in characters (UTF-8 code points).
std::size_t charCount(std::string_view text);

// A card UID as the programmer reports it: exactly ten decimal digits, the two 16-bit halves
// of the four-byte UID as five digits each, so each half is at most 65535.
bool isCardUid(std::string_view text);

// Two hexadecimal characters to their value, the way key boxes become key bytes: `hex` is
// replaced by its trimmed, upper-cased form (a single character gets a "0" in front); each
// of the first two characters counts as its digit value when below ':' (0 for any other
// character there) and as its code minus 55 otherwise ('A' = 10, 'G' = 16).
int Hex2Dec(std::string& hex);

} // namespace zr::base
