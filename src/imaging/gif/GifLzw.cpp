#include "imaging/gif/GifLzw.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

namespace zr::imaging {

namespace {

constexpr std::uint32_t kMaxCodeBits = 12;
constexpr std::uint32_t kTableSize = 1U << kMaxCodeBits;
constexpr std::uint32_t kNoCode = kTableSize;
constexpr std::uint32_t kIndexCount = 256;
// Larger minimum sizes are legal; 11 still leaves the clear and end codes inside 12 bits.
constexpr std::uint8_t kMaxMinimumCodeSize = 11;

class CodeReader {
  public:
    explicit CodeReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next code of `bits` bits, or kNoCode when the data has run out.
    std::uint32_t next(std::uint32_t bits) {
        while (held_ < bits) {
            if (position_ == bytes_.size()) {
                return kNoCode;
            }
            buffer_ |= std::uint32_t{bytes_[position_++]} << held_;
            held_ += 8;
        }
        const std::uint32_t code = buffer_ & ((1U << bits) - 1U);
        buffer_ >>= bits;
        held_ -= bits;
        return code;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::uint32_t buffer_ = 0;
    std::uint32_t held_ = 0;
};

// Every string in the table is an earlier string plus one index; strings are written
// backwards from their last index, so no stack is needed.
struct StringTable {
    std::array<std::uint16_t, kTableSize> prefix{};
    std::array<std::uint16_t, kTableSize> length{};
    std::array<std::uint8_t, kTableSize> last{};
    std::array<std::uint8_t, kTableSize> first{};
};

} // namespace

bool decodeGifLzw(std::span<const std::uint8_t> codes, std::uint8_t minimumCodeSize,
                  std::size_t pixelCount, std::vector<std::uint8_t>& pixels) {
    pixels.clear();
    if (minimumCodeSize < 1 || minimumCodeSize > kMaxMinimumCodeSize) {
        return false;
    }
    auto table = std::make_unique<StringTable>();
    const std::uint32_t clearCode = 1U << minimumCodeSize;
    const std::uint32_t endCode = clearCode + 1;
    for (std::uint32_t code = 0; code < std::min(clearCode, kIndexCount); ++code) {
        table->length[code] = 1;
        table->last[code] = static_cast<std::uint8_t>(code);
        table->first[code] = static_cast<std::uint8_t>(code);
    }
    CodeReader reader(codes);
    std::uint32_t codeBits = minimumCodeSize + 1U;
    std::uint32_t nextCode = endCode + 1;
    std::uint32_t previous = kNoCode;
    std::size_t written = 0;
    while (written < pixelCount) {
        const std::uint32_t code = reader.next(codeBits);
        if (code == kNoCode || code == endCode) {
            return false;
        }
        // A colour index is one byte; larger literals (possible with code sizes above 8) name
        // no colour of any table.
        if (code < clearCode && code >= kIndexCount) {
            return false;
        }
        if (code == clearCode) {
            codeBits = minimumCodeSize + 1U;
            nextCode = endCode + 1;
            previous = kNoCode;
            continue;
        }
        if (previous == kNoCode) {
            if (code >= clearCode) {
                return false;
            }
        } else if (code <= nextCode && nextCode < kTableSize) {
            // code == nextCode is the string being defined right now: previous plus its own
            // first index.
            const std::uint8_t appended =
                code < nextCode ? table->first[code] : table->first[previous];
            table->prefix[nextCode] = static_cast<std::uint16_t>(previous);
            table->length[nextCode] = static_cast<std::uint16_t>(table->length[previous] + 1U);
            table->last[nextCode] = appended;
            table->first[nextCode] = table->first[previous];
            ++nextCode;
            if (nextCode == (1U << codeBits) && codeBits < kMaxCodeBits) {
                ++codeBits;
            }
        } else if (code >= nextCode) {
            return false;
        }
        const std::size_t length = table->length[code];
        if (written + length > pixels.size()) {
            pixels.resize(std::min(pixelCount, std::max(pixels.size() * 2, written + length)));
        }
        std::uint32_t walk = code;
        for (std::size_t i = length; i-- > 0;) {
            if (written + i < pixels.size()) {
                pixels[written + i] = table->last[walk];
            }
            walk = table->prefix[walk];
        }
        written += length;
        previous = code;
    }
    pixels.resize(pixelCount);
    return true;
}

} // namespace zr::imaging
