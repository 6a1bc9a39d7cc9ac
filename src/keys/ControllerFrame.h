#pragma once

#include "base/Result.h"
#include "keys/KeyBoxes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The frame that hands the new A key and a block number to a controller on the serial line.
namespace zr::keys {

inline constexpr std::size_t kControllerFrameLength = 14;
using ControllerFrame = std::array<std::uint8_t, kControllerFrameLength>;

// The command name registered while the controller's answer is awaited.
inline constexpr std::string_view kControllerCommandName = "120";

struct ControllerFrameError {
    enum class Kind { BlockNumber, KeyBox };
    Kind kind = Kind::BlockNumber;
    std::size_t box = 0; // 0 to 5, for Kind::KeyBox
    std::string text;    // the offending block or box text
};

// 8F 0C FF 34 58, block, six key bytes, X, S. The block is the leading number of the block
// list's text and must be a whole number 0 to 255; a text without a leading number is
// refused too rather than sent as block 0. Key boxes go through Hex2Dec and must fit a byte.
base::Result<ControllerFrame, ControllerFrameError>
buildControllerFrame(std::string_view blockText, const KeyBoxes& newKeyBoxes);

// The infoErr text for a refused frame, naming the block text or the key box (from 1).
std::string controllerFrameErrorMessage(const ControllerFrameError& error, bool english);
// The infoErr text when the serial port is not open: nothing is sent.
std::string_view serialPortClosedMessage(bool english);

} // namespace zr::keys
