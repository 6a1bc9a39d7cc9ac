#include "TestFiles.h"

#include "imaging/c32bppDIB.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace zr::imaging::test {

std::vector<ManifestEntry> manifestEntries(const std::string& format) {
    const std::filesystem::path root(ZR_TESTDATA_DIR);
    std::ifstream manifest(root / "MANIFEST.tsv");
    std::vector<ManifestEntry> entries;
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string path;
        std::string fileFormat;
        std::string expect;
        if (std::getline(fields, path, '\t') && std::getline(fields, fileFormat, '\t') &&
            std::getline(fields, expect, '\t') && fileFormat == format) {
            entries.push_back(
                {(root / path).string(), std::filesystem::path(path).filename().string(), expect});
        }
    }
    return entries;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> pixelAt(const c32bppDIB& surface, std::int32_t x, std::int32_t y) {
    const auto row = static_cast<std::size_t>(surface.Height() - 1 - y);
    const auto at = surface.Bits().subspan(
        row * static_cast<std::size_t>(surface.ScanWidth()) + static_cast<std::size_t>(x) * 4, 4);
    return {at.begin(), at.end()};
}

} // namespace zr::imaging::test
