#include "protocol/ReplyText.h"

#include "base/TextRules.h"

namespace zr::protocol {
namespace {

void appendLatin1(std::string& out, std::uint8_t byte) {
    if (byte < 0x80) {
        out += static_cast<char>(byte);
        return;
    }
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

std::string withoutEvery(std::string_view text, std::string_view word) {
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (auto found = text.find(word); found != std::string_view::npos;
         found = text.find(word, start)) {
        result.append(text.substr(start, found - start));
        start = found + word.size();
    }
    result.append(text.substr(start));
    return result;
}

} // namespace

std::string replyText(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const std::uint8_t byte : bytes) {
        if (byte != 0) {
            appendLatin1(text, byte);
        }
    }
    return base::trimSpaces(text);
}

std::string withoutOkAndNo(std::string_view text) {
    return withoutEvery(withoutEvery(text, "OK"), "NO");
}

} // namespace zr::protocol
