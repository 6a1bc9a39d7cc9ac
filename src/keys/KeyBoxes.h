#pragma once

#include "base/Result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A key row: six boxes of up to two hexadecimal digits, box 0 first, and the six key bytes
// they stand for.
namespace zr::keys {

inline constexpr std::size_t kKeyLength = 6;
using KeyBytes = std::array<std::uint8_t, kKeyLength>;
using KeyBoxes = std::array<std::string, kKeyLength>;

// A box whose text does not stand for one byte (only pasted text can get there).
struct KeyBoxError {
    std::size_t box = 0; // 0 to 5
    std::string text;    // the box text as it was
    int value = 0;       // what Hex2Dec made of it
};

// Each box through Hex2Dec. A box outside 0 to 255 ("ZZ" gives 595) is an error rather than
// a truncated byte, so a key other than the one shown is never sent.
base::Result<KeyBytes, KeyBoxError> keyBytesFromBoxes(const KeyBoxes& boxes);

enum class KeyRow { CurrentAKey, NewAKey };
// The infoErr text for a refused key box, naming the row and the box (counted from 1).
std::string keyBoxErrorMessage(const KeyBoxError& error, KeyRow row, bool english);

// A byte as a key box shows it: upper-case hexadecimal without leading zero (0 -> "0").
std::string byteBoxText(std::uint8_t value);
KeyBoxes keyBoxTexts(const KeyBytes& key);

// The stored form of a key row: the six box texts joined by "-" ("FF-FF-FF-FF-FF-FF").
std::string joinKeyBoxes(const KeyBoxes& boxes);
// A stored form back into box texts: the value and each part trimmed of blanks; an empty
// value gives no parts, and only the first six parts count. Boxes beyond the parts present
// are left to the caller as they are.
std::vector<std::string> splitKeyText(std::string_view stored);

// At most `limit` characters of `text` for quoting in a message, "..." marking a cut.
std::string quotedExcerpt(std::string_view text, std::size_t limit = 8);

} // namespace zr::keys
