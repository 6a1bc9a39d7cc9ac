#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zr::imaging {

namespace IcoType {
inline constexpr std::uint16_t Icon = 1;
inline constexpr std::uint16_t Cursor = 2;
} // namespace IcoType

// One directory entry after validation. Its size is its own image's (the bitmap's information
// header, the PNG's IHDR), whatever the directory says. A bit count of 0 marks an entry that
// cannot be drawn (its image does not start inside the data, or is not whole there).
struct IcoEntry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint8_t planes = 1; // 255 for a PNG image
    std::uint32_t bytes = 0;
    std::uint32_t offset = 0;

    bool isPng() const { return planes == 255; }
};

struct IcoDirectory {
    std::uint16_t type = IcoType::Icon;
    std::vector<IcoEntry> entries;
};

// The directory of an icon or cursor file, or nothing when it is not one or is inconsistent:
// a bad header, entries or byte counts that do not fit in the data, a bitmap entry with no
// bit count anywhere, or no entry whose image lies inside the data. The directory's sizes
// are not read: writers get them wrong, and each image states its own.
std::optional<IcoDirectory> readIcoDirectory(std::span<const std::uint8_t> data);

// An entry's image: from its offset to the end of the data.
std::span<const std::uint8_t> entryImage(std::span<const std::uint8_t> data, const IcoEntry& entry);

// The entry that best fits the wanted size (values below 1 taken as 32): an exact fit first,
// else the nearest entry at least as large in one direction, else the nearest of the rest
// (searched from the last), else the first. Nothing when the chosen entry cannot be drawn.
std::optional<std::size_t> chooseIcoEntry(std::span<const IcoEntry> entries, std::int32_t iconCx,
                                          std::int32_t iconCy);

} // namespace zr::imaging
