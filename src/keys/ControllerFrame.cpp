#include "keys/ControllerFrame.h"

#include "base/TextRules.h"

#include <cmath>
#include <optional>

namespace zr::keys {
namespace {

constexpr std::uint8_t kFrameStart = 0x8F;
constexpr std::array<std::uint8_t, 3> kFixedBytes{0xFF, 0x34, 0x58};
constexpr std::size_t kBlockOffset = 5;
constexpr std::size_t kKeyOffset = 6;
constexpr std::size_t kFirstChecked = 2;
constexpr std::size_t kLastChecked = 11;

bool startsWithNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return false;
    }
    std::size_t i = first;
    if (text[i] == '+') {
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
    }
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

std::optional<std::uint8_t> blockNumber(std::string_view text) {
    if (!startsWithNumber(text)) {
        return std::nullopt;
    }
    const double value = base::numericValue(text);
    if (value < 0 || value > 255 || value != std::floor(value)) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace

base::Result<ControllerFrame, ControllerFrameError>
buildControllerFrame(std::string_view blockText, const KeyBoxes& newKeyBoxes) {
    const auto block = blockNumber(blockText);
    if (!block) {
        return ControllerFrameError{ControllerFrameError::Kind::BlockNumber, 0,
                                    std::string(blockText)};
    }
    const auto key = keyBytesFromBoxes(newKeyBoxes);
    if (!key) {
        return ControllerFrameError{ControllerFrameError::Kind::KeyBox, key.error().box,
                                    key.error().text};
    }

    ControllerFrame frame{};
    frame[0] = kFrameStart;
    frame[1] = static_cast<std::uint8_t>(kControllerFrameLength - 2);
    frame[2] = kFixedBytes[0];
    frame[3] = kFixedBytes[1];
    frame[4] = kFixedBytes[2];
    frame[kBlockOffset] = *block;
    for (std::size_t i = 0; i < kKeyLength; ++i) {
        frame[kKeyOffset + i] = key.value()[i];
    }

    unsigned x = 0xFF;
    unsigned sum = 0;
    for (std::size_t i = kFirstChecked; i <= kLastChecked; ++i) {
        x ^= frame[i];
        sum += frame[i];
    }
    frame[12] = static_cast<std::uint8_t>(x);
    frame[13] = static_cast<std::uint8_t>((x + sum) % 256);
    return frame;
}

std::string controllerFrameErrorMessage(const ControllerFrameError& error, bool english) {
    if (error.kind == ControllerFrameError::Kind::KeyBox) {
        return keyBoxErrorMessage(KeyBoxError{error.box, error.text, 0}, KeyRow::NewAKey, english);
    }
    const std::string text = quotedExcerpt(error.text);
    if (english) {
        return "Block number \"" + text + "\" is not a whole number from 0 to 255, nothing sent!";
    }
    return "區塊號碼 \"" + text + "\" 不是 0 到 255 的整數，未送出!";
}

std::string_view serialPortClosedMessage(bool english) {
    return english ? "Serial port is not open, nothing sent!" : "序列埠未開啟，未送出!";
}

} // namespace zr::keys
