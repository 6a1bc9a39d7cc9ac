#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace zr::imaging::detail {

// Deflate's bit stream, least significant bit first, through a 64-bit buffer. `bitCount` bits
// of the buffer are counted as read from the input; the bits above them are either zero or the
// true bits of the next input byte (the bulk refill loads whole words), so peeking past the
// counted bits never yields anything but the real stream or zeros at its end.
class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> input)
        : m_next(input.data()), m_end(input.data() + input.size()) {}

    // Room for one refill by word: the fast decoding loop runs only while this holds.
    bool canRefillByWord() const { return m_end - m_next >= static_cast<std::ptrdiff_t>(8); }

    // Tops the buffer up to at least 56 counted bits; needs canRefillByWord().
    void refillByWord() {
        std::uint64_t word;
        std::memcpy(&word, m_next, sizeof word);
        m_buffer |= word << m_bitCount;
        m_next += (63 - m_bitCount) >> 3;
        m_bitCount |= 56;
    }

    // Tops the buffer up byte by byte as far as the input allows.
    void refill() {
        while (m_bitCount <= 56 && m_next != m_end) {
            m_buffer |= std::uint64_t{*m_next++} << m_bitCount;
            m_bitCount += 8;
        }
    }

    std::uint64_t peek() const { return m_buffer; }
    unsigned bitCount() const { return m_bitCount; }

    // Drops `count` bits the caller knows are counted.
    void consume(unsigned count) {
        m_buffer >>= count;
        m_bitCount -= count;
    }

    // Reads `count` (at most 32) bits; false when the input ends first.
    bool read(unsigned count, std::uint32_t& value) {
        if (m_bitCount < count) {
            refill();
            if (m_bitCount < count) {
                return false;
            }
        }
        value = static_cast<std::uint32_t>(m_buffer & ((std::uint64_t{1} << count) - 1));
        consume(count);
        return true;
    }

    // Drops the bits up to the next byte boundary and hands back the unread input bytes, so a
    // stored block can be copied straight from the input.
    std::span<const std::uint8_t> alignAndRelease() {
        consume(m_bitCount & 7);
        m_next -= m_bitCount >> 3;
        m_buffer = 0;
        m_bitCount = 0;
        return {m_next, m_end};
    }

    // Resumes bit reading after the caller took `count` bytes from alignAndRelease()'s span.
    void skipBytes(std::size_t count) { m_next += count; }

  private:
    const std::uint8_t* m_next;
    const std::uint8_t* m_end;
    std::uint64_t m_buffer = 0;
    unsigned m_bitCount = 0;
};

} // namespace zr::imaging::detail
