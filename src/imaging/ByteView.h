#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zr::imaging {

// Bounds-checked reads over untrusted bytes, little-endian (BMP, ICO, GIF) or big-endian (PNG):
// a field that does not lie wholly inside the data reads as nothing, so no reader indexes
// past its input.
class ByteView {
  public:
    explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    bool holds(std::size_t offset, std::size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::optional<std::uint8_t> u8(std::size_t offset) const {
        if (!holds(offset, 1)) {
            return std::nullopt;
        }
        return bytes_[offset];
    }
    std::optional<std::uint16_t> u16(std::size_t offset) const {
        if (!holds(offset, 2)) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    std::optional<std::uint32_t> u32(std::size_t offset) const {
        if (!holds(offset, 4)) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(bytes_[offset]) |
               static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
               static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 |
               static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
    }
    std::optional<std::uint16_t> u16be(std::size_t offset) const {
        if (!holds(offset, 2)) {
            return std::nullopt;
        }
        return be16(bytes_.data() + offset);
    }
    std::optional<std::uint32_t> u32be(std::size_t offset) const {
        if (!holds(offset, 4)) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(bytes_[offset]) << 24 |
               static_cast<std::uint32_t>(bytes_[offset + 1]) << 16 |
               static_cast<std::uint32_t>(bytes_[offset + 2]) << 8 |
               static_cast<std::uint32_t>(bytes_[offset + 3]);
    }
    // A big-endian 16-bit sample at a place the caller has already bounded (pixel rows).
    static std::uint16_t be16(const std::uint8_t* bytes) {
        return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
    }
    std::optional<std::int32_t> i32(std::size_t offset) const {
        const auto value = u32(offset);
        if (!value) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(*value);
    }
    // The bytes [offset, offset + length), or nothing when they are not all there.
    std::optional<std::span<const std::uint8_t>> slice(std::size_t offset,
                                                       std::size_t length) const {
        if (!holds(offset, length)) {
            return std::nullopt;
        }
        return bytes_.subspan(offset, length);
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace zr::imaging
