// Render: opacity rules, the two blend formulas, stretching, clipping and orientation.
#include "imaging/c32bppDIB.h"

#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An image whose pixels are given top row first, left to right.
c32bppDIB imageOf(std::int32_t width, std::int32_t height, const Bytes& topDownPixels, bool alpha) {
    c32bppDIB image;
    EXPECT_TRUE(image.InitializeDIB(width, height));
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    for (std::int32_t y = 0; y < height; ++y) {
        const auto source = topDownPixels.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        std::copy(source, source + static_cast<std::ptrdiff_t>(rowBytes),
                  image.Bits().begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * rowBytes));
    }
    image.SetAlpha(alpha);
    return image;
}

Bytes pixelAt(const PixelSurface& surface, std::int32_t x, std::int32_t y) {
    const auto row = surface.row(y);
    return Bytes(row.begin() + x * 4, row.begin() + x * 4 + 4);
}

TEST(DibRender, OpacityBecomesConstantAlphaRoundedToEven) {
    const c32bppDIB white = imageOf(1, 1, {255, 255, 255, 255}, true);
    const struct {
        std::int32_t opacity;
        std::uint8_t constantAlpha;
    } cases[] = {{100, 255}, {200, 255}, {50, 128}, {150, 128}, {30, 76},
                 {-30, 76},  {1, 3},     {99, 252}, {-100, 255}};
    for (const auto& opacity : cases) {
        SCOPED_TRACE(opacity.opacity);
        PixelSurface destination(1, 1);
        std::int32_t width = 1;
        ASSERT_TRUE(white.Render(&destination, 0, 0, width, 1, opacity.opacity));
        const std::uint8_t k = opacity.constantAlpha;
        EXPECT_EQ(pixelAt(destination, 0, 0), (Bytes{k, k, k, k}));
    }
}

TEST(DibRender, BlendFormulaDependsOnTheAlphaFlag) {
    const Bytes source{100, 50, 200, 200};
    const struct {
        const char* name;
        bool alpha;
        std::int32_t opacity;
        Bytes expected;
    } cases[] = {
        // d = s·k/255 + d·(1 − a·k/255²)
        {"per-pixel alpha, opacity 50", true, 50, {56, 37, 119, 255}},
        {"per-pixel alpha, opacity 30", true, 30, {37, 30, 83, 255}},
        {"per-pixel alpha, opacity 100", true, 100, {102, 54, 206, 255}},
        // d = s·k/255 + d·(1 − k/255), the image counting as opaque
        {"constant alpha only, opacity 30", false, 30, {37, 29, 81, 255}},
        {"constant alpha only, opaque", false, 100, {100, 50, 200, 255}},
    };
    for (const auto& blend : cases) {
        SCOPED_TRACE(blend.name);
        const c32bppDIB image = imageOf(1, 1, source, blend.alpha);
        PixelSurface destination(1, 1);
        destination.fill(10, 20, 30, 255);
        std::int32_t width = 1;
        ASSERT_TRUE(image.Render(&destination, 0, 0, width, 1, blend.opacity));
        EXPECT_EQ(pixelAt(destination, 0, 0), blend.expected);
    }
}

TEST(DibRender, ZeroSizeMeansImageSizeAndWidthIsWrittenBack) {
    const c32bppDIB image = imageOf(2, 1, {9, 9, 9, 255, 7, 7, 7, 255}, true);
    PixelSurface destination(3, 2);
    std::int32_t width = 0;
    ASSERT_TRUE(image.Render(&destination, 0, 0, width, 0, 100));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(pixelAt(destination, 1, 0), (Bytes{7, 7, 7, 255}));
    EXPECT_EQ(pixelAt(destination, 2, 0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(destination, 0, 1), (Bytes{0, 0, 0, 0}));
}

TEST(DibRender, TopOfTheImageLandsOnTheTopRowAndClipsAtEdges) {
    const c32bppDIB image = imageOf(2, 2,
                                    {1, 0, 0, 255, 2, 0, 0, 255, //
                                     3, 0, 0, 255, 4, 0, 0, 255},
                                    true);
    PixelSurface destination(2, 2);
    std::int32_t width = 2;
    ASSERT_TRUE(image.Render(&destination, -1, 1, width, 2, 100));
    EXPECT_EQ(pixelAt(destination, 0, 0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(destination, 0, 1), (Bytes{2, 0, 0, 255}));
    EXPECT_EQ(pixelAt(destination, 1, 1), (Bytes{0, 0, 0, 0}));
}

TEST(DibRender, StretchingKeepsFlatColourAndAveragesWhenShrinking) {
    const c32bppDIB one = imageOf(1, 1, {40, 80, 120, 255}, true);
    PixelSurface enlarged(3, 2);
    std::int32_t width = 3;
    ASSERT_TRUE(one.Render(&enlarged, 0, 0, width, 2, 100));
    for (std::int32_t y = 0; y < 2; ++y) {
        for (std::int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(pixelAt(enlarged, x, y), (Bytes{40, 80, 120, 255}));
        }
    }

    const c32bppDIB blackWhite = imageOf(2, 1, {0, 0, 0, 255, 255, 255, 255, 255}, true);
    PixelSurface shrunk(1, 1);
    width = 1;
    ASSERT_TRUE(blackWhite.Render(&shrunk, 0, 0, width, 1, 100));
    EXPECT_EQ(pixelAt(shrunk, 0, 0), (Bytes{128, 128, 128, 255}));

    PixelSurface ramp(4, 1);
    width = 4;
    ASSERT_TRUE(blackWhite.Render(&ramp, 0, 0, width, 1, 100));
    EXPECT_EQ(pixelAt(ramp, 0, 0)[0], 0);
    EXPECT_EQ(pixelAt(ramp, 3, 0)[0], 255);
    EXPECT_LT(pixelAt(ramp, 1, 0)[0], pixelAt(ramp, 2, 0)[0]);
}

} // namespace
} // namespace zr::imaging
