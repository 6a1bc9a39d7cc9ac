#include "keys/KeyBoxes.h"

#include "base/TextRules.h"

#include <cstdio>

namespace zr::keys {

base::Result<KeyBytes, KeyBoxError> keyBytesFromBoxes(const KeyBoxes& boxes) {
    KeyBytes key{};
    for (std::size_t i = 0; i < kKeyLength; ++i) {
        std::string text = boxes[i];
        const int value = base::Hex2Dec(text);
        if (value < 0 || value > 255) {
            return KeyBoxError{i, boxes[i], value};
        }
        key[i] = static_cast<std::uint8_t>(value);
    }
    return key;
}

std::string keyBoxErrorMessage(const KeyBoxError& error, KeyRow row, bool english) {
    const std::string box = std::to_string(error.box + 1);
    const std::string text = quotedExcerpt(error.text);
    if (english) {
        const char* rowName = row == KeyRow::NewAKey ? "New A Key" : "A Key";
        return std::string(rowName) + " box " + box + " \"" + text +
               "\" is not a byte (00 - FF), nothing sent!";
    }
    const char* rowName = row == KeyRow::NewAKey ? "新 A KEY" : "A KEY";
    return std::string(rowName) + " 第 " + box + " 格 \"" + text +
           "\" 不是一個位元組 (00 - FF)，未送出!";
}

std::string byteBoxText(std::uint8_t value) {
    char buffer[3];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
    return buffer;
}

KeyBoxes keyBoxTexts(const KeyBytes& key) {
    KeyBoxes boxes;
    for (std::size_t i = 0; i < kKeyLength; ++i) {
        boxes[i] = byteBoxText(key[i]);
    }
    return boxes;
}

std::string joinKeyBoxes(const KeyBoxes& boxes) {
    std::string joined = boxes[0];
    for (std::size_t i = 1; i < kKeyLength; ++i) {
        joined += '-';
        joined += boxes[i];
    }
    return joined;
}

std::vector<std::string> splitKeyText(std::string_view stored) {
    const std::string value = base::trimSpaces(stored);
    std::vector<std::string> parts;
    if (value.empty()) {
        return parts;
    }
    std::size_t start = 0;
    while (parts.size() < kKeyLength) {
        const std::size_t dash = value.find('-', start);
        const std::size_t end = dash == std::string::npos ? value.size() : dash;
        parts.push_back(base::trimSpaces(std::string_view(value).substr(start, end - start)));
        if (dash == std::string::npos) {
            break;
        }
        start = dash + 1;
    }
    return parts;
}

std::string quotedExcerpt(std::string_view text, std::size_t limit) {
    if (base::charCount(text) <= limit) {
        return std::string(text);
    }
    return base::leftChars(text, limit) + "...";
}

} // namespace zr::keys
