#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace zr::imaging::test {

// Writes deflate bits by hand, for streams no encoder would produce.
class DeflateWriter {
  public:
    DeflateWriter() : m_bytes{0x78, 0x01} {}

    // `count` bits of `value`, least significant first (header fields, extra bits).
    DeflateWriter& bits(std::uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i) {
            pushBit((value >> i) & 1u);
        }
        return *this;
    }

    // A Huffman code of `length` bits, most significant first as deflate sends codes.
    DeflateWriter& code(std::uint32_t value, unsigned length) {
        for (unsigned i = length; i > 0; --i) {
            pushBit((value >> (i - 1)) & 1u);
        }
        return *this;
    }

    // Whole bytes after aligning, as a stored block carries its length and data.
    DeflateWriter& bytes(std::initializer_list<std::uint8_t> values) {
        m_used = 0;
        m_bytes.insert(m_bytes.end(), values);
        return *this;
    }

    // The header of a final block: 0 stored, 1 fixed codes, 2 dynamic, 3 reserved.
    DeflateWriter& finalBlock(unsigned type) { return bits(1, 1).bits(type, 2); }

    // Fixed-code symbols.
    DeflateWriter& fixedLiterals(std::string_view text) {
        for (const char letter : text) {
            const auto value = static_cast<std::uint8_t>(letter);
            value < 144 ? code(0x30u + value, 8) : code(0x190u + value - 144u, 9);
        }
        return *this;
    }
    DeflateWriter& fixedLengthSymbol(unsigned symbol) {
        return symbol < 280 ? code(symbol - 256, 7) : code(0xC0u + symbol - 280u, 8);
    }
    DeflateWriter& fixedEndOfBlock() { return fixedLengthSymbol(256); }
    DeflateWriter& fixedDistanceSymbol(unsigned symbol) { return code(symbol, 5); }

    const std::vector<std::uint8_t>& data() const { return m_bytes; }

  private:
    void pushBit(std::uint32_t bit) {
        if (m_used == 0) {
            m_bytes.push_back(0);
        }
        m_bytes.back() = static_cast<std::uint8_t>(m_bytes.back() | (bit << m_used));
        m_used = (m_used + 1) % 8;
    }

    std::vector<std::uint8_t> m_bytes;
    unsigned m_used = 0; // bits used in the last byte; 0 when it is full
};

} // namespace zr::imaging::test
