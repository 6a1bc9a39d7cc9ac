#pragma once

#include "ProgrammerFrames.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zr::sim {

inline constexpr int kSectorCount = 16;
inline constexpr int kBlocksPerSector = 4;
inline constexpr int kV1Sector = 1; // block 4
inline constexpr int kV3Sector = 8; // block 32

inline constexpr std::string_view kReplyOk = "OK";
inline constexpr std::string_view kReplyNo = "NO";

// The site's fixed keys as the programmer knows them.
struct ProgrammerKeys {
    Key loginKey = kTransportKey;                            // key B of the site's blank cards
    Key passwordSet1 = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}; // the V1 card key
};

struct CardNumber {
    std::uint16_t group = 0;
    std::uint16_t card = 0;
    bool locked = false;

    bool operator==(const CardNumber&) const = default;
};

// What a Mifare Classic 1K card keeps between visits to the programmer.
struct CardMemory {
    std::array<Key, kSectorCount> keyA{};
    std::array<Key, kSectorCount> keyB{};
    std::array<std::optional<CardNumber>, kSectorCount> numbers{};
};

// A UID text as the programmer reports it: ten decimal digits, the two 16-bit halves of the
// four-byte UID as five digits each. Nothing for any other text.
std::optional<std::string> parseUidText(std::string_view text);

// The programmer with whatever card lies on it. Cards are remembered by UID, so a card that is
// taken off and laid on again keeps its keys and numbers; its log-in state does not survive.
class ProgrammerModel {
  public:
    explicit ProgrammerModel(ProgrammerKeys keys = {});

    // uid must come from parseUidText.
    void layCard(const std::string& uid);
    void removeCard();

    std::optional<std::string> presentUid() const { return present_; }
    const CardMemory* memoryOf(const std::string& uid) const;

    // The reply text to one request frame (as cut by FrameCutter). Malformed frames get "NO".
    std::string answer(std::span<const std::uint8_t> frame);

  private:
    struct Session {
        std::optional<int> sector;
        bool v1TypeSelected = false;
    };

    std::string answerCardCommand(CommandCode code, std::span<const std::uint8_t> operands);
    std::string selectV1Type(std::uint8_t passwordSet);
    std::string modifyV1Key(std::uint8_t passwordSet);
    std::string logIn(std::uint8_t block, std::span<const std::uint8_t> key);
    std::string changeKey(std::uint8_t block, std::span<const std::uint8_t> key);
    std::string writeNumber(std::span<const std::uint8_t> payload);
    std::string readV1Number() const;
    std::string readSessionNumber() const;

    std::optional<Key> passwordSet(std::uint8_t index) const;
    bool sessionReachesNumber() const;
    CardMemory& card();
    const CardMemory& card() const;

    ProgrammerKeys keys_;
    std::map<std::string, CardMemory> cards_;
    std::optional<std::string> present_;
    Session session_;
};

} // namespace zr::sim
