#pragma once

#include "imaging/inflate/ZlibRuntime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zr::imaging {
class c32bppDIB;
} // namespace zr::imaging

namespace zr::imaging::test {

struct ManifestEntry {
    std::string path;   // absolute
    std::string name;   // file name only
    std::string expect; // valid, corrupt or unknown
};

// The test suites' manifest rows of one format.
std::vector<ManifestEntry> manifestEntries(const std::string& format);

std::vector<std::uint8_t> readBytes(const std::string& path);

// Pixel (x, y) of a surface, rows counted from the top, as B, G, R, A.
std::vector<std::uint8_t> pixelAt(const c32bppDIB& surface, std::int32_t x, std::int32_t y);

// Decodes through zlib or, for the lifetime of the object, as if zlib were absent.
class ZlibRoute {
  public:
    explicit ZlibRoute(bool useZlib) { ZlibRuntime::setZlibDisabled(!useZlib); }
    ~ZlibRoute() { ZlibRuntime::setZlibDisabled(false); }
    ZlibRoute(const ZlibRoute&) = delete;
    ZlibRoute& operator=(const ZlibRoute&) = delete;
};

} // namespace zr::imaging::test
