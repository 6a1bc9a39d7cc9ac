#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sstream>

namespace zr::imaging::test {
namespace {

namespace fs = std::filesystem;

const fs::path testData{ZR_TESTDATA_DIR};

Bytes readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t bigEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// The concatenated IDAT data of a PNG file, as far as its chunks are well formed.
Bytes gatherIdat(const Bytes& png) {
    constexpr std::size_t signatureSize = 8;
    Bytes idat;
    std::size_t position = signatureSize;
    while (png.size() >= position + 12) {
        const std::size_t length = bigEndian32(&png[position]);
        if (length > png.size() - position - 12) {
            break;
        }
        const std::string type(png.begin() + static_cast<std::ptrdiff_t>(position) + 4,
                               png.begin() + static_cast<std::ptrdiff_t>(position) + 8);
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(position) + 8;
        if (type == "IDAT") {
            idat.insert(idat.end(), data, data + static_cast<std::ptrdiff_t>(length));
        } else if (type == "IEND") {
            break;
        }
        position += length + 12;
    }
    return idat;
}

// The PNG files the manifest lists as deliberately broken.
std::set<std::string> corruptPngs() {
    std::ifstream manifest(testData / "MANIFEST.tsv");
    std::set<std::string> corrupt;
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string path, format, expect;
        std::getline(fields, path, '\t');
        std::getline(fields, format, '\t');
        std::getline(fields, expect, '\t');
        if (format == "png" && expect == "corrupt") {
            corrupt.insert(fs::path(path).filename().string());
        }
    }
    return corrupt;
}

TEST(PngIdat, BothRoutesInflateEveryTestImageIdentically) {
    const ZlibRuntime* zlib = ZlibRuntime::get();
    ASSERT_NE(zlib, nullptr);
    const std::set<std::string> corrupt = corruptPngs();
    std::size_t compared = 0;
    for (const auto& entry : fs::directory_iterator(testData / "png")) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const Bytes idat = gatherIdat(readFile(entry.path()));
        const std::optional<Bytes> reference = zlibInflateAll(idat);
        if (!reference) {
            EXPECT_TRUE(corrupt.contains(name)) << "zlib rejects a valid image";
            Bytes scratch(1 << 20);
            static_cast<void>(inflateZlib(idat, scratch)); // must merely come back
            continue;
        }
        Bytes own(reference->size());
        const InflateResult result = inflateZlib(idat, own);
        ASSERT_EQ(result.status, InflateStatus::Ok);
        EXPECT_EQ(result.written, reference->size());
        EXPECT_TRUE(own == *reference);

        Bytes viaRuntime(reference->size());
        std::size_t written = 0;
        ASSERT_TRUE(zlib->uncompress(idat, viaRuntime, written));
        EXPECT_TRUE(viaRuntime == *reference);
        ++compared;
    }
    EXPECT_GE(compared, 150u);
}

} // namespace
} // namespace zr::imaging::test
