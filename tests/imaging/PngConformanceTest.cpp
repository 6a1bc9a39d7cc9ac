// Every PngSuite image through both inflate routes, against libspng: the sweep that proves
// the pixel rules (premultiplying, 16-bit samples, interlacing, split IDAT, bottom-up rows).
#include "ReferenceDecoder.h"
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::ManifestEntry;
using test::ZlibRoute;

// Damaged only in a CRC: without zlib no CRC is checked, so these decode.
bool isChecksumOnlyCorruption(const std::string& name) {
    return name.starts_with("xcs") || name.starts_with("xhd");
}

class PngSuite : public ::testing::TestWithParam<bool> {};

TEST_P(PngSuite, ValidImagesMatchTheReferenceDecoder) {
    const ZlibRoute route(GetParam());
    const auto entries = test::manifestEntries("png");
    ASSERT_GT(entries.size(), 150u);
    std::size_t checked = 0;
    for (const ManifestEntry& entry : entries) {
        if (entry.expect != "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        const auto reference = test::referenceDecode(bytes, false);
        ASSERT_TRUE(reference.has_value());
        c32bppDIB surface;
        cPNGparser parser;
        ASSERT_TRUE(parser.LoadStream(bytes, surface));
        ASSERT_TRUE(surface.hasImage()) << static_cast<int>(parser.lastError());
        EXPECT_EQ(surface.ImageType(), ImageKind::Png);
        ASSERT_EQ(surface.Width(), reference->width);
        ASSERT_EQ(surface.Height(), reference->height);
        const auto bits = surface.Bits();
        const std::vector<std::uint8_t> pixels(bits.begin(), bits.end());
        EXPECT_EQ(pixels, reference->bottomUpPremultipliedBgra);
        ++checked;
    }
    EXPECT_GT(checked, 150u);
}

TEST_P(PngSuite, CorruptImagesLeaveTheSurfaceEmptyUnlessOnlyACrcIsWrongAndZlibIsAbsent) {
    const bool useZlib = GetParam();
    const ZlibRoute route(useZlib);
    std::size_t checked = 0;
    for (const ManifestEntry& entry : test::manifestEntries("png")) {
        if (entry.expect != "corrupt") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        const bool loaded = surface.LoadPicture_Stream(bytes);
        EXPECT_EQ(loaded, surface.hasImage());
        if (useZlib || !isChecksumOnlyCorruption(entry.name)) {
            EXPECT_FALSE(surface.hasImage());
            EXPECT_EQ(surface.ImageType(), ImageKind::None);
        } else {
            const auto reference = test::referenceDecode(bytes, true);
            ASSERT_TRUE(reference.has_value());
            ASSERT_TRUE(surface.hasImage());
            const auto bits = surface.Bits();
            EXPECT_EQ(std::vector<std::uint8_t>(bits.begin(), bits.end()),
                      reference->bottomUpPremultipliedBgra);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 14u);
}

TEST_P(PngSuite, AlphaFlagFollowsColourTypeAndTransparency) {
    const ZlibRoute route(GetParam());
    const struct {
        const char* name;
        bool alpha;
    } cases[] = {
        {"basn0g08.png", false}, {"basn2c08.png", true},  {"basn3p08.png", false},
        {"basn4a08.png", true},  {"basn6a16.png", true},  {"tbbn3p08.png", true},
        {"tbbn0g04.png", true},  {"tp0n3p08.png", false}, {"tm3n3p02.png", true},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.name);
        c32bppDIB surface;
        ASSERT_TRUE(
            surface.LoadPicture_File(std::string(ZR_TESTDATA_DIR) + "/png/" + expected.name));
        EXPECT_EQ(surface.Alpha(), expected.alpha);
    }
}

// Wide noisy rows make the encoder pick every filter type and leave pixel counts that are not a
// multiple of the four-pixel fast paths.
TEST_P(PngSuite, NoisyEncodedImagesMatchTheReferenceDecoder) {
    const ZlibRoute route(GetParam());
    for (const bool alpha : {true, false}) {
        SCOPED_TRACE(alpha ? "RGBA" : "RGB");
        c32bppDIB original;
        ASSERT_TRUE(original.InitializeDIB(301, 67));
        std::uint32_t noise = 99;
        const auto bits = original.Bits();
        for (std::size_t i = 0; i < bits.size(); i += 4) {
            noise = noise * 1103515245u + 12345u;
            const auto a = static_cast<std::uint8_t>(noise >> 24);
            const auto base = static_cast<std::uint8_t>(i / 4 % 251);
            bits[i + 3] = alpha ? a : 255;
            for (std::size_t c = 0; c < 3; ++c) {
                const auto channel = static_cast<std::uint8_t>(base + (noise >> (8 * c) & 31));
                bits[i + c] = static_cast<std::uint8_t>(channel * bits[i + 3] / 255);
            }
        }
        original.SetAlpha(alpha);
        std::vector<std::uint8_t> png;
        ASSERT_TRUE(cPNGparser().SaveTo(original, png));
        const auto reference = test::referenceDecode(png, false);
        ASSERT_TRUE(reference.has_value());
        c32bppDIB decoded;
        ASSERT_TRUE(cPNGparser().LoadStream(png, decoded));
        ASSERT_TRUE(decoded.hasImage());
        const auto pixels = decoded.Bits();
        EXPECT_EQ(std::vector<std::uint8_t>(pixels.begin(), pixels.end()),
                  reference->bottomUpPremultipliedBgra);
    }
}

INSTANTIATE_TEST_SUITE_P(BothInflaters, PngSuite, ::testing::Values(true, false),
                         [](const auto& route) { return route.param ? "zlib" : "ownInflater"; });

} // namespace
} // namespace zr::imaging
