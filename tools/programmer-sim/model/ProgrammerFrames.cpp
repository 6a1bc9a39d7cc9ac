#include "ProgrammerFrames.h"

namespace zr::sim {

std::optional<std::size_t> operandCount(std::uint8_t code) {
    switch (static_cast<CommandCode>(code)) {
    case CommandCode::ReadUid:
    case CommandCode::V1ReadNumber:
    case CommandCode::V2ReadNumber:
        return 0;
    case CommandCode::V1ModifyKey:
    case CommandCode::V1SelectType:
        return 1;
    case CommandCode::WriteNumber:
        return 5;
    case CommandCode::LogIn:
    case CommandCode::ChangeKey:
        return 7;
    }
    return std::nullopt;
}

bool isRequestLengthByte(std::uint8_t byte) {
    return byte == 1 || byte == 2 || byte == 6 || byte == 8;
}

namespace {

std::optional<std::uint8_t> hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return std::nullopt;
}

} // namespace

std::optional<Key> parseKeyHex(std::string_view text) {
    Key key{};
    if (text.size() != key.size() * 2) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto high = hexDigitValue(text[2 * i]);
        const auto low = hexDigitValue(text[2 * i + 1]);
        if (!high || !low) {
            return std::nullopt;
        }
        key[i] = static_cast<std::uint8_t>(*high << 4 | *low);
    }
    return key;
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    static constexpr std::string_view digits = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

ControllerCheckBytes controllerCheckBytes(std::span<const std::uint8_t> body) {
    std::uint8_t x = 0xFF;
    unsigned sum = 0;
    for (const std::uint8_t byte : body) {
        x = static_cast<std::uint8_t>(x ^ byte);
        sum += byte;
    }
    return {x, static_cast<std::uint8_t>((x + sum) & 0xFF)};
}

bool controllerFrameChecksOut(std::span<const std::uint8_t> frame) {
    if (frame.size() != kControllerFrameLength || frame[0] != kControllerFrameStart ||
        frame[1] != kControllerCountByte) {
        return false;
    }
    const ControllerCheckBytes expected = controllerCheckBytes(frame.subspan(2, 10));
    return frame[12] == expected.x && frame[13] == expected.s;
}

} // namespace zr::sim
