#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace zr::imaging {

// The platform's shared zlib, looked up at run time. Absent when the library cannot be
// loaded, or when the process was told to behave as if it were absent (environment
// variable ZR_NO_ZLIB=1, or setZlibDisabled(true)).
class ZlibRuntime {
  public:
    // Null when zlib is absent or disabled. The library is loaded at the first call and stays
    // loaded for the life of the process; the switches are consulted at every call.
    static const ZlibRuntime* get();
    static void setZlibDisabled(bool disabled);

    // zlib's one-shot uncompress into exactly `output`; true on a zero return.
    // `written` receives the length zlib reports.
    bool uncompress(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                    std::size_t& written) const;
    bool hasUncompress() const;
    // zlib's streaming inflate into `output`, a block at a time: true when the stream ends
    // within `output` after at most `maxBlocks` deflate blocks. `written` receives the bytes
    // produced.
    bool inflate(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                 std::size_t maxBlocks, std::size_t& written) const;
    bool hasInflate() const;
    // CRC-32 of `data`; empty when the library lacks the entry point.
    std::optional<std::uint32_t> crc32(std::span<const std::uint8_t> data) const;

  private:
    struct LibraryCloser {
        void operator()(void* library) const;
    };
    using LibraryHandle = std::unique_ptr<void, LibraryCloser>;
    using UncompressFunction = int (*)(unsigned char*, unsigned long*, const unsigned char*,
                                       unsigned long);
    using Crc32Function = unsigned long (*)(unsigned long, const unsigned char*, unsigned);
    using InflateInitFunction = int (*)(void*, const char*, int);
    using InflateFunction = int (*)(void*, int);
    using InflateEndFunction = int (*)(void*);

    ZlibRuntime() = default;
    static std::optional<ZlibRuntime> load();

    LibraryHandle m_library;
    UncompressFunction m_uncompress = nullptr;
    Crc32Function m_crc32 = nullptr;
    InflateInitFunction m_inflateInit = nullptr;
    InflateFunction m_inflate = nullptr;
    InflateEndFunction m_inflateEnd = nullptr;
};

} // namespace zr::imaging
