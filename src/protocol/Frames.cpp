#include "protocol/Frames.h"

namespace zr::protocol {
namespace {

Frame frameOf(CommandCode code, std::initializer_list<std::uint8_t> operands) {
    Frame frame;
    frame.reserve(2 + operands.size());
    frame.push_back(static_cast<std::uint8_t>(1 + operands.size()));
    frame.push_back(static_cast<std::uint8_t>(code));
    frame.insert(frame.end(), operands.begin(), operands.end());
    return frame;
}

Frame keyFrame(CommandCode code, std::uint8_t block, const keys::KeyBytes& key) {
    return frameOf(code, {block, key[0], key[1], key[2], key[3], key[4], key[5]});
}

KeyFrameResult keyFrameFromBoxes(CommandCode code, std::uint8_t block,
                                 const keys::KeyBoxes& boxes) {
    const auto key = keys::keyBytesFromBoxes(boxes);
    if (!key) {
        return key.error();
    }
    return keyFrame(code, block, key.value());
}

} // namespace

Frame readUidFrame() {
    return frameOf(CommandCode::ReadUid, {});
}
Frame v1ReadCardCodeFrame() {
    return frameOf(CommandCode::V1ReadCardCode, {});
}
Frame v2ReadCardCodeFrame() {
    return frameOf(CommandCode::V2ReadCardCode, {});
}
Frame v1SelectTypeFrame(std::uint8_t cardType) {
    return frameOf(CommandCode::V1SelectType, {cardType});
}
Frame v1ModifyKeyFrame() {
    return frameOf(CommandCode::V1ModifyKey, {kV1PasswordSet});
}

Frame loginBlockFrame(std::uint8_t block, const keys::KeyBytes& key) {
    return keyFrame(CommandCode::LoginBlock, block, key);
}
Frame changeBlockKeyFrame(std::uint8_t block, const keys::KeyBytes& key) {
    return keyFrame(CommandCode::ChangeBlockKey, block, key);
}

KeyFrameResult v2LoginTypedKeyFrame(const keys::KeyBoxes& aKeyBoxes) {
    return keyFrameFromBoxes(CommandCode::LoginBlock, kV2KeyBlock, aKeyBoxes);
}
KeyFrameResult v2ModifyKeyFrame(const keys::KeyBoxes& aKeyBoxes) {
    return keyFrameFromBoxes(CommandCode::ChangeBlockKey, kV2KeyBlock, aKeyBoxes);
}

Frame v2LoginFixedKeyFrame(const keys::KeyBytes& loginKey) {
    return loginBlockFrame(kV2KeyBlock, loginKey);
}
Frame v1LoginFixedKeyFrame(const keys::KeyBytes& loginKey) {
    return loginBlockFrame(kV1FixedKeyBlock, loginKey);
}
Frame v1ModifyFixedKeyFrame(const keys::KeyBytes& v1CardKey) {
    return changeBlockKeyFrame(kV1FixedKeyBlock, v1CardKey);
}

Frame writeCardCodeFrame(const base::CardPayload& payload) {
    return frameOf(CommandCode::WriteCardCode,
                   {payload[0], payload[1], payload[2], payload[3], payload[4]});
}

} // namespace zr::protocol
