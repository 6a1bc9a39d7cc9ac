#pragma once

#include "imaging/inflate/ZlibRuntime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zr::imaging::test {

struct ManifestEntry {
    std::string path;   // absolute
    std::string name;   // file name only
    std::string expect; // valid, corrupt or unknown
};

// The test suites' manifest rows of one format.
std::vector<ManifestEntry> manifestEntries(const std::string& format);

std::vector<std::uint8_t> readBytes(const std::string& path);

// Decodes through zlib or, for the lifetime of the object, as if zlib were absent.
class ZlibRoute {
  public:
    explicit ZlibRoute(bool useZlib) { ZlibRuntime::setZlibDisabled(!useZlib); }
    ~ZlibRoute() { ZlibRuntime::setZlibDisabled(false); }
    ZlibRoute(const ZlibRoute&) = delete;
    ZlibRoute& operator=(const ZlibRoute&) = delete;
};

} // namespace zr::imaging::test
