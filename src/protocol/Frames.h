#pragma once

#include "base/CardNumber.h"
#include "base/Result.h"
#include "keys/KeyBoxes.h"

#include <cstdint>
#include <vector>

// Request frames of the card programmer: byte 0 counts the bytes that follow, byte 1 is the
// command code, operands follow; nothing else is added.
namespace zr::protocol {

enum class CommandCode : std::uint8_t {
    ReadUid = 0x00,
    V1ModifyKey = 0x02,  // change the card key to a password set of the programmer
    V1SelectType = 0x03, // log in with a key the programmer knows: 0 blank card, 1 set 1
    V1ReadCardCode = 0x04,
    LoginBlock = 0x07,     // log in to a block with an A key
    ChangeBlockKey = 0x08, // change the A key of a block
    WriteCardCode = 0x09,
    V2ReadCardCode = 0x0A,
};

inline constexpr std::uint8_t kV2KeyBlock = 32;
inline constexpr std::uint8_t kV1FixedKeyBlock = 4;
inline constexpr std::uint8_t kV1PasswordSet = 1;

using Frame = std::vector<std::uint8_t>;
using KeyFrameResult = base::Result<Frame, keys::KeyBoxError>;

// Frames without operands or with fixed ones.
Frame readUidFrame();                           // 01 00, also the probe of a port search
Frame v1ReadCardCodeFrame();                    // 01 04
Frame v2ReadCardCodeFrame();                    // 01 0A
Frame v1SelectTypeFrame(std::uint8_t cardType); // 02 03 type (0 or 1)
Frame v1ModifyKeyFrame();                       // 02 02 01

// 08 07 block key and 08 08 block key.
Frame loginBlockFrame(std::uint8_t block, const keys::KeyBytes& key);
Frame changeBlockKeyFrame(std::uint8_t block, const keys::KeyBytes& key);

// The senders' frames from the current A key boxes: refused, naming the box, when a box does
// not stand for one byte.
KeyFrameResult v2LoginTypedKeyFrame(const keys::KeyBoxes& aKeyBoxes); // 08 07 20 key
KeyFrameResult v2ModifyKeyFrame(const keys::KeyBoxes& aKeyBoxes);     // 08 08 20 key

// The senders' frames with the site's fixed keys.
Frame v2LoginFixedKeyFrame(const keys::KeyBytes& loginKey);   // 08 07 20 login key
Frame v1LoginFixedKeyFrame(const keys::KeyBytes& loginKey);   // 08 07 04 login key
Frame v1ModifyFixedKeyFrame(const keys::KeyBytes& v1CardKey); // 08 08 04 V1 card key

// 06 09 and the five-byte card number; the V1 and V2 write commands send the same frame.
Frame writeCardCodeFrame(const base::CardPayload& payload);

} // namespace zr::protocol
