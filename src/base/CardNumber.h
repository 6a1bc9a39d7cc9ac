#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Card numbers as the operator types them: a group code and a card code, each 0 to 65535,
// kept as five-digit texts and sent as a five-byte payload. Pure functions of plain values;
// `english` is the interface language (false: Traditional Chinese).
namespace zr::base {

inline constexpr long long kMaxCode = 65535;
inline constexpr int kCodeDigits = 5;

// Keystroke filters of the number and key fields: the key code itself when it may be typed
// (backspace 8, Enter 13, or one of the allowed characters), 0 to discard it.
int FilterDigitKey(int keyCode);
int FilterHexKey(int keyCode);

// The whole-number value of a code field: its leading number (pasted text counts by that),
// with any fraction dropped.
long long codeValue(std::string_view fieldText);

// What leaving a code field does.
enum class CodeFieldOutcome {
    Accepted, // text reformatted to five digits
    TooLarge, // above 65535: text kept as typed, message shown, focus back
    Negative, // below 0 (pasted only): text kept as typed, message shown, focus back
    BothZero, // text reformatted, but both codes are 0: message shown, focus back
};

struct CodeFieldCheck {
    CodeFieldOutcome outcome = CodeFieldOutcome::Accepted;
    std::string text;    // the field's text afterwards
    std::string message; // message box text; empty when Accepted
    bool keepsFocus() const { return outcome != CodeFieldOutcome::Accepted; }
};

// Validation of the field that was left, given the other code field's text.
CodeFieldCheck checkCodeField(std::string_view fieldText, std::string_view otherFieldText,
                              bool english);

// The card code one up (below 65535) or one down (above 1); otherwise the text unchanged.
std::string stepCardCodeUp(std::string_view cardText);
std::string stepCardCodeDown(std::string_view cardText);

// Group high, group low, card high, card low, lock (0 or 1).
using CardPayload = std::array<std::uint8_t, 5>;

// The payload of the write commands, or nothing when either code is outside 0 to 65535:
// such a number is refused rather than sent truncated.
std::optional<CardPayload> encodeCardNumber(std::string_view groupText, std::string_view cardText,
                                            bool lockChecked);
// The infoErr text for a refused encoding.
std::string_view cardNumberOutOfRangeMessage(bool english);

// group:card, as shown after a write ("00012:00345").
std::string displayForm(std::string_view groupText, std::string_view cardText);

// A group or card code as the fields hold it: five digits, zero-padded.
std::string codeText(long long code);
// First five characters, ':', last five characters ("1234567890" -> "12345:67890").
std::string splitForm(std::string_view text);

} // namespace zr::base
