#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zr::sim {

// Request frames: byte 0 counts the bytes that follow, byte 1 is the command code.
enum class CommandCode : std::uint8_t {
    ReadUid = 0x00,
    V1ModifyKey = 0x02,
    V1SelectType = 0x03,
    V1ReadNumber = 0x04,
    LogIn = 0x07,
    ChangeKey = 0x08,
    WriteNumber = 0x09,
    V2ReadNumber = 0x0A,
};

// The controller key frame has no length byte of its own at offset 0.
inline constexpr std::uint8_t kControllerFrameStart = 0x8F;
inline constexpr std::uint8_t kControllerCountByte = 0x0C;
inline constexpr std::size_t kControllerFrameLength = 14;

// Longest frame the programmer accepts; the frame cutter never buffers more.
inline constexpr std::size_t kMaxFrameLength = kControllerFrameLength;

using Key = std::array<std::uint8_t, 6>;

inline constexpr Key kTransportKey{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Operand bytes after the command code, or nothing for a code the programmer does not know.
std::optional<std::size_t> operandCount(std::uint8_t code);

// True when the byte can be the length byte of some request frame.
bool isRequestLengthByte(std::uint8_t byte);

// Twelve hexadecimal digits (either case) to a key; nothing for any other text.
std::optional<Key> parseKeyHex(std::string_view text);

// Upper-case hex bytes separated by single spaces: "08 07 20 FF".
std::string hexText(std::span<const std::uint8_t> bytes);

struct ControllerCheckBytes {
    std::uint8_t x = 0;
    std::uint8_t s = 0;
};

// Check bytes over frame bytes 2 to 11: X is 0xFF xor each byte, S is X plus their sum.
ControllerCheckBytes controllerCheckBytes(std::span<const std::uint8_t> body);

// A full 14-byte controller frame whose two check bytes match its body.
bool controllerFrameChecksOut(std::span<const std::uint8_t> frame);

} // namespace zr::sim
