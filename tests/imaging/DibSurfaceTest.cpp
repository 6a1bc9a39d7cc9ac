// The surface's scaling, and its PNG save read back through the reader.
#include "PngBuilder.h"
#include "TestFiles.h"
#include "imaging/ImageLimits.h"
#include "imaging/StreamSlice.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/mdlGDI.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::Bytes;

// The readers' slice of a stream: what does not lie inside it is nothing.
TEST(StreamSlice, LiesInsideTheStreamOrIsNothing) {
    const std::vector<std::uint8_t> bytes(10);
    const struct {
        std::int32_t start, length;
        std::optional<std::size_t> size;
    } cases[] = {{0, 0, 10},
                 {-3, 4, 4},
                 {6, 4, 4},
                 {6, 5, std::nullopt},
                 {10, 0, std::nullopt},
                 {2, -1, std::nullopt},
                 {9, 0, 1}};
    for (const auto& c : cases) {
        const auto slice = streamSlice(bytes, c.start, c.length);
        EXPECT_EQ(slice ? std::optional(slice->size()) : std::nullopt, c.size)
            << c.start << "," << c.length;
    }
}

TEST(SurfaceLimits, EachSideAtMostTheLargestDimension) {
    EXPECT_TRUE(limits::surfaceBytes(1, limits::kMaxSurfaceDimension));
    EXPECT_FALSE(limits::surfaceBytes(1, limits::kMaxSurfaceDimension + 1));
    EXPECT_FALSE(limits::surfaceBytes(limits::kMaxSurfaceDimension + 1, 1));
}

TEST(DibSurface, ScaleImageFollowsItsModes) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(50, 20));
    c32bppDIB tie;
    ASSERT_TRUE(tie.InitializeDIB(10, 5));
    const struct {
        const c32bppDIB* image;
        std::int32_t destWidth, destHeight, mode, newWidth, newHeight;
    } cases[] = {
        {&image, 100, 100, 1, 50, 20},   {&image, 100, 100, 0, 100, 40},
        {&image, 100, 100, 2, 100, 100}, {&image, 100, 100, 7, 50, 20},
        {&image, 25, 100, 1, 25, 10},    {&image, 25, 100, 0, 25, 10},
        {&tie, 5, 5, 0, 5, 2}, // 2.5 rounds to even
    };
    for (const auto& scale : cases) {
        SCOPED_TRACE("mode " + std::to_string(scale.mode));
        std::int32_t width = -1;
        std::int32_t height = -1;
        scale.image->ScaleImage(scale.destWidth, scale.destHeight, width, height, scale.mode);
        EXPECT_EQ(width, scale.newWidth);
        EXPECT_EQ(height, scale.newHeight);
    }
    c32bppDIB empty;
    std::int32_t untouched = -1;
    empty.ScaleImage(10, 10, untouched, untouched, 0);
    EXPECT_EQ(untouched, -1);
}

TEST(DibSurface, PngSaveRoundTripsThroughTheReader) {
    for (const bool alpha : {true, false}) {
        SCOPED_TRACE(alpha ? "with alpha" : "opaque");
        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(3, 2));
        const Bytes pixels{10, 20, 30, 255, 0,  0,  0,  0,   200, 100, 50, 255,
                           1,  2,  3,  255, 40, 50, 60, 255, 0,   0,   0,  0};
        std::copy(pixels.begin(), pixels.end(), image.Bits().begin());
        image.SetAlpha(alpha);
        Bytes png;
        ASSERT_TRUE(cPNGparser().SaveTo(image, png));
        c32bppDIB decoded;
        ASSERT_TRUE(cPNGparser().LoadStream(png, decoded));
        ASSERT_EQ(decoded.Width(), 3);
        Bytes expected = pixels;
        if (!alpha) {
            for (std::size_t i = 3; i < expected.size(); i += 4) {
                expected[i] = 255;
            }
        }
        EXPECT_EQ(Bytes(decoded.Bits().begin(), decoded.Bits().end()), expected);
    }
    Bytes png;
    EXPECT_FALSE(cPNGparser().SaveTo(c32bppDIB(), png));
}

} // namespace
} // namespace zr::imaging
