#include "base/TextRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zr::base {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

} // namespace

double numericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t digitsStart = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
    }
    if (i == digitsStart || (i == digitsStart + 1 && text[digitsStart] == '.')) {
        return 0.0;
    }
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t expDigits = j;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        if (j > expDigits) {
            end = j;
        }
    }
    const std::string number(text.substr(start, end - start));
    const double value = std::strtod(number.c_str(), nullptr);
    // An overflowing number stays the largest finite value of its sign, so that a range check
    // still refuses it.
    return std::isfinite(value) ? value : std::copysign(std::numeric_limits<double>::max(), value);
}

std::optional<int> parseWholeNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

long long wholeValue(std::string_view text) {
    const double value = std::nearbyint(numericValue(text));
    constexpr auto kMax = static_cast<double>(std::numeric_limits<long long>::max());
    constexpr auto kMin = static_cast<double>(std::numeric_limits<long long>::min());
    if (value >= kMax) {
        return std::numeric_limits<long long>::max();
    }
    if (value <= kMin) {
        return std::numeric_limits<long long>::min();
    }
    return static_cast<long long>(value);
}

std::string trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string upperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

std::string zeroPadded(long long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return buffer;
}

std::size_t charCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += isContinuationByte(c) ? 0 : 1;
    }
    return count;
}

std::string leftChars(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i]) && seen++ == count) {
            break;
        }
    }
    return std::string(text.substr(0, i));
}

std::string rightChars(std::string_view text, std::size_t count) {
    const std::size_t total = charCount(text);
    if (count >= total) {
        return std::string(text);
    }
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i]) && seen++ == total - count) {
            break;
        }
    }
    return std::string(text.substr(i));
}

int Hex2Dec(std::string& hex) {
    hex = upperAscii(trimSpaces(hex));
    if (hex.size() == 1) {
        hex.insert(hex.begin(), '0');
    }
    const auto digitValue = [&hex](std::size_t i) -> int {
        if (i >= hex.size()) {
            return 0;
        }
        const auto code = static_cast<unsigned char>(hex[i]);
        if (code < ':') {
            return isDigit(hex[i]) ? code - '0' : 0;
        }
        return code - 55;
    };
    return digitValue(0) * 16 + digitValue(1);
}

bool isCardUid(std::string_view text) {
    constexpr std::size_t kHalfDigits = 5;
    constexpr unsigned kHalfMax = 65535;
    if (text.size() != 2 * kHalfDigits) {
        return false;
    }
    for (std::size_t start = 0; start < text.size(); start += kHalfDigits) {
        unsigned half = 0;
        for (const char c : text.substr(start, kHalfDigits)) {
            if (c < '0' || c > '9') {
                return false;
            }
            half = half * 10 + static_cast<unsigned>(c - '0');
        }
        if (half > kHalfMax) {
            return false;
        }
    }
    return true;
}

std::string thousands(long long value) {
    const bool negative = value < 0;
    const std::string digits =
        std::to_string(negative ? 0ULL - static_cast<unsigned long long>(value)
                                : static_cast<unsigned long long>(value));
    std::string text = negative ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

} // namespace zr::base
