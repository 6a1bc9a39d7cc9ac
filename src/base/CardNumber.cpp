#include "base/CardNumber.h"

#include "base/TextRules.h"

#include <cmath>
#include <limits>

namespace zr::base {
namespace {

int filterKey(int keyCode, std::string_view allowed) {
    if (keyCode == kKeyBackspace || keyCode == kKeyEnter) {
        return keyCode;
    }
    if (keyCode <= 0 || keyCode > 127) {
        return 0;
    }
    return allowed.find(static_cast<char>(keyCode)) == std::string_view::npos ? 0 : keyCode;
}

constexpr std::string_view kTooLargeChinese = "卡號必須小於  65536";
constexpr std::string_view kTooLargeEnglish = "Number must smaller than 65536";
constexpr std::string_view kNegativeChinese = "卡號不可小於 0";
constexpr std::string_view kNegativeEnglish = "Number must not be negative";
constexpr std::string_view kBothZeroChinese = "卡號必須大於 0";
constexpr std::string_view kBothZeroEnglish = "Card Number must greater then 0";
constexpr std::string_view kOutOfRangeChinese = "卡號超出範圍 (0 - 65535)，未送出!";
constexpr std::string_view kOutOfRangeEnglish =
    "Card number out of range (0 - 65535), nothing sent!";

std::string_view pick(bool english, std::string_view chinese, std::string_view englishText) {
    return english ? englishText : chinese;
}

bool inRange(long long value) {
    return value >= 0 && value <= kMaxCode;
}

std::uint8_t highByte(long long value) {
    return static_cast<std::uint8_t>(value / 256);
}
std::uint8_t lowByte(long long value) {
    return static_cast<std::uint8_t>(value % 256);
}

} // namespace

int FilterDigitKey(int keyCode) {
    return filterKey(keyCode, "0123456789");
}

int FilterHexKey(int keyCode) {
    return filterKey(keyCode, "0123456789ABCDEFabcdef");
}

long long codeValue(std::string_view fieldText) {
    const double value = std::trunc(base::numericValue(fieldText));
    constexpr auto kLimit = static_cast<double>(std::numeric_limits<long long>::max());
    if (value >= kLimit) {
        return std::numeric_limits<long long>::max();
    }
    if (value <= -kLimit) {
        return -std::numeric_limits<long long>::max();
    }
    return static_cast<long long>(value);
}

CodeFieldCheck checkCodeField(std::string_view fieldText, std::string_view otherFieldText,
                              bool english) {
    const long long value = codeValue(fieldText);
    if (value > kMaxCode) {
        return {CodeFieldOutcome::TooLarge, std::string(fieldText),
                std::string(pick(english, kTooLargeChinese, kTooLargeEnglish))};
    }
    if (value < 0) {
        return {CodeFieldOutcome::Negative, std::string(fieldText),
                std::string(pick(english, kNegativeChinese, kNegativeEnglish))};
    }
    if (value == 0 && codeValue(otherFieldText) == 0) {
        return {CodeFieldOutcome::BothZero, codeText(value),
                std::string(pick(english, kBothZeroChinese, kBothZeroEnglish))};
    }
    return {CodeFieldOutcome::Accepted, codeText(value), {}};
}

std::string stepCardCodeUp(std::string_view cardText) {
    const long long value = codeValue(cardText);
    if (value < 0 || value >= kMaxCode) {
        return std::string(cardText);
    }
    return codeText(value + 1);
}

std::string stepCardCodeDown(std::string_view cardText) {
    const long long value = codeValue(cardText);
    if (value <= 1) {
        return std::string(cardText);
    }
    return codeText(value - 1);
}

std::optional<CardPayload> encodeCardNumber(std::string_view groupText, std::string_view cardText,
                                            bool lockChecked) {
    const long long group = codeValue(groupText);
    const long long card = codeValue(cardText);
    if (!inRange(group) || !inRange(card)) {
        return std::nullopt;
    }
    return CardPayload{highByte(group), lowByte(group), highByte(card), lowByte(card),
                       static_cast<std::uint8_t>(lockChecked ? 1 : 0)};
}

std::string_view cardNumberOutOfRangeMessage(bool english) {
    return pick(english, kOutOfRangeChinese, kOutOfRangeEnglish);
}

std::string displayForm(std::string_view groupText, std::string_view cardText) {
    std::string form(groupText);
    form += ':';
    form += cardText;
    return form;
}

std::string splitForm(std::string_view text) {
    return base::leftChars(text, kCodeDigits) + ':' + base::rightChars(text, kCodeDigits);
}

std::string codeText(long long code) {
    return zeroPadded(code, kCodeDigits);
}

} // namespace zr::base
