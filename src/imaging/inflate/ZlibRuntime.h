#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zr::imaging {

// The platform's shared zlib, looked up at run time. Absent when the library cannot be
// loaded, or when the process was told to behave as if it were absent (environment
// variable ZR_NO_ZLIB=1, or setZlibDisabled(true)).
class ZlibRuntime {
public:
    // Null when zlib is absent or disabled.
    static const ZlibRuntime* get();
    static void setZlibDisabled(bool disabled);

    // zlib's one-shot uncompress into exactly `output`; true on a zero return.
    // `written` receives the length zlib reports.
    bool uncompress(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                    std::size_t& written) const;
    bool hasUncompress() const;
    // CRC-32 of `data`; empty when the library lacks the entry point.
    std::optional<std::uint32_t> crc32(std::span<const std::uint8_t> data) const;
};

} // namespace zr::imaging
