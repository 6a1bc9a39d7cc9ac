#include "ProgrammerModel.h"

#include <algorithm>
#include <cstdio>

namespace zr::sim {

namespace {

constexpr int kBlockCount = kSectorCount * kBlocksPerSector;
constexpr unsigned kUidHalfMax = 0xFFFF;

std::string yesNo(bool ok) {
    return std::string(ok ? kReplyOk : kReplyNo);
}

Key keyFrom(std::span<const std::uint8_t> bytes) {
    Key key{};
    std::copy_n(bytes.begin(), key.size(), key.begin());
    return key;
}

std::string numberText(const CardNumber& number) {
    char text[16];
    std::snprintf(text, sizeof text, "%05u%05u", unsigned{number.group}, unsigned{number.card});
    return text;
}

} // namespace

std::optional<std::string> parseUidText(std::string_view text) {
    if (text.size() != 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto half = [&](std::size_t offset) {
        unsigned value = 0;
        for (const char c : text.substr(offset, 5)) {
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        return value;
    };
    if (half(0) > kUidHalfMax || half(5) > kUidHalfMax) {
        return std::nullopt;
    }
    return std::string(text);
}

ProgrammerModel::ProgrammerModel(ProgrammerKeys keys) : keys_(keys) {}

void ProgrammerModel::layCard(const std::string& uid) {
    if (!cards_.contains(uid)) {
        CardMemory fresh;
        fresh.keyA.fill(kTransportKey);
        fresh.keyB.fill(keys_.loginKey);
        cards_.emplace(uid, fresh);
    }
    present_ = uid;
    session_ = {};
}

void ProgrammerModel::removeCard() {
    present_.reset();
    session_ = {};
}

const CardMemory* ProgrammerModel::memoryOf(const std::string& uid) const {
    const auto it = cards_.find(uid);
    return it == cards_.end() ? nullptr : &it->second;
}

CardMemory& ProgrammerModel::card() {
    return cards_.at(*present_);
}
const CardMemory& ProgrammerModel::card() const {
    return cards_.at(*present_);
}

std::string ProgrammerModel::answer(std::span<const std::uint8_t> frame) {
    if (!frame.empty() && frame[0] == kControllerFrameStart) {
        return yesNo(controllerFrameChecksOut(frame));
    }
    if (frame.size() < 2 || frame[0] + std::size_t{1} != frame.size()) {
        return yesNo(false);
    }
    const auto operands = operandCount(frame[1]);
    if (!operands || *operands != frame.size() - 2) {
        return yesNo(false);
    }
    if (!present_) {
        return yesNo(false);
    }
    return answerCardCommand(static_cast<CommandCode>(frame[1]), frame.subspan(2));
}

std::string ProgrammerModel::answerCardCommand(CommandCode code,
                                               std::span<const std::uint8_t> operands) {
    switch (code) {
    case CommandCode::ReadUid:
        return *present_;
    case CommandCode::V1ModifyKey:
        return modifyV1Key(operands[0]);
    case CommandCode::V1SelectType:
        return selectV1Type(operands[0]);
    case CommandCode::V1ReadNumber:
        return readV1Number();
    case CommandCode::LogIn:
        return logIn(operands[0], operands.subspan(1));
    case CommandCode::ChangeKey:
        return changeKey(operands[0], operands.subspan(1));
    case CommandCode::WriteNumber:
        return writeNumber(operands);
    case CommandCode::V2ReadNumber:
        return readSessionNumber();
    }
    return yesNo(false);
}

std::optional<Key> ProgrammerModel::passwordSet(std::uint8_t index) const {
    switch (index) {
    case 0:
        return kTransportKey;
    case 1:
        return keys_.passwordSet1;
    default:
        return std::nullopt;
    }
}

// A card type names the key A that the card's V1 sector carries: type 0 a blank card
// (transport key), type 1 a recorded card (password set 1). A refused mode change leaves the
// programmer in the mode it had, as the programmer's firmware does: the next write goes where
// the last accepted step pointed.
std::string ProgrammerModel::selectV1Type(std::uint8_t passwordSetIndex) {
    const auto key = passwordSet(passwordSetIndex);
    if (!key || card().keyA[kV1Sector] != *key) {
        return yesNo(false);
    }
    session_ = {kV1Sector, true};
    return yesNo(true);
}

std::string ProgrammerModel::modifyV1Key(std::uint8_t passwordSetIndex) {
    const auto key = passwordSet(passwordSetIndex);
    if (!key || session_.sector != kV1Sector) {
        return yesNo(false);
    }
    card().keyA[kV1Sector] = *key;
    return yesNo(true);
}

// Without a key-type byte the programmer tries the key as key A, then as key B. Refused, it
// keeps the mode it had (see selectV1Type).
std::string ProgrammerModel::logIn(std::uint8_t block, std::span<const std::uint8_t> key) {
    if (block >= kBlockCount) {
        return yesNo(false);
    }
    const int sector = block / kBlocksPerSector;
    const Key offered = keyFrom(key);
    if (offered != card().keyA[sector] && offered != card().keyB[sector]) {
        return yesNo(false);
    }
    session_ = {sector, false};
    return yesNo(true);
}

std::string ProgrammerModel::changeKey(std::uint8_t block, std::span<const std::uint8_t> key) {
    if (block >= kBlockCount || session_.sector != block / kBlocksPerSector) {
        return yesNo(false);
    }
    card().keyA[*session_.sector] = keyFrom(key);
    return yesNo(true);
}

// The V1 sector's number is reachable only through a card type; any other sector through a
// plain log-in.
bool ProgrammerModel::sessionReachesNumber() const {
    if (!session_.sector) {
        return false;
    }
    return *session_.sector != kV1Sector || session_.v1TypeSelected;
}

std::string ProgrammerModel::writeNumber(std::span<const std::uint8_t> payload) {
    const std::uint8_t lock = payload[4];
    if (lock > 1 || !sessionReachesNumber()) {
        return yesNo(false);
    }
    auto& stored = card().numbers[*session_.sector];
    if (stored && stored->locked) {
        return yesNo(false);
    }
    stored = CardNumber{static_cast<std::uint16_t>(payload[0] << 8 | payload[1]),
                        static_cast<std::uint16_t>(payload[2] << 8 | payload[3]), lock == 1};
    return yesNo(true);
}

std::string ProgrammerModel::readV1Number() const {
    const auto& stored = card().numbers[kV1Sector];
    if (!session_.v1TypeSelected || !stored) {
        return yesNo(false);
    }
    return numberText(*stored);
}

std::string ProgrammerModel::readSessionNumber() const {
    if (!sessionReachesNumber()) {
        return yesNo(false);
    }
    const auto& stored = card().numbers[*session_.sector];
    return stored ? numberText(*stored) : yesNo(false);
}

} // namespace zr::sim
