// The GIF reader: the test suites against Qt's first frame, the edge cases and hostile input.
#include "ImageBuilders.h"
#include "QtReference.h"
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/gif/GifStructure.h"
#include "imaging/gif/cGIFparser.h"

#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::Bytes;
using test::GifImage;

// Pixel (x, y) of a surface, counted from the top.
const std::uint8_t* pixelAt(const c32bppDIB& surface, std::int32_t x, std::int32_t y) {
    const auto row = static_cast<std::size_t>(surface.Height() - 1 - y);
    return surface.Bits().data() + row * static_cast<std::size_t>(surface.ScanWidth()) +
           static_cast<std::size_t>(x) * 4;
}

Bytes bgra(const std::uint8_t* pixel) {
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

const Bytes kFourColours{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

TEST(GifSuite, ValidFirstFramesMatchQtCutToTheFrame) {
    std::size_t checked = 0;
    for (const auto& entry : test::manifestEntries("gif")) {
        if (entry.expect != "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        ASSERT_TRUE(cGIFparser().LoadStream(bytes, surface));
        ASSERT_TRUE(surface.hasImage());
        EXPECT_EQ(surface.ImageType(), ImageKind::Gif);
        GifFrame frame;
        ASSERT_EQ(scanGif(bytes, frame), GifScan::Image);
        ASSERT_EQ(surface.Width(), frame.width);
        ASSERT_EQ(surface.Height(), frame.height);
        EXPECT_EQ(surface.Alpha(), frame.transparentIndex >= 0);
        const auto reference = test::qtDecode(bytes);
        ASSERT_TRUE(reference.has_value());
        const bool anyTable = !frame.colourTable.empty();
        for (std::int32_t y = 0; y < frame.height && frame.top + y < reference->height; ++y) {
            for (std::int32_t x = 0; x < frame.width && frame.left + x < reference->width; ++x) {
                const Bytes ours = bgra(pixelAt(surface, x, y));
                Bytes theirs = bgra(reference->pixel(frame.left + x, frame.top + y));
                // Qt draws a frame without any colour table as transparent black; here every
                // index is opaque black.
                if (!anyTable) {
                    theirs[3] = 255;
                }
                // Under a transparent pixel Qt shows its own fill of the screen.
                if (ours[3] == 0) {
                    EXPECT_EQ(ours, (Bytes{0, 0, 0, 0}));
                    continue;
                }
                test::premultiplyStraight(theirs.data());
                ASSERT_EQ(ours, theirs) << x << "," << y;
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 75u);
}

TEST(GifSuite, DamagedFilesNeverCrashAndCorruptOnesStayEmpty) {
    std::size_t checked = 0;
    for (const auto& entry : test::manifestEntries("gif")) {
        if (entry.expect == "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        EXPECT_TRUE(cGIFparser().LoadStream(bytes, surface));
        if (entry.expect == "corrupt") {
            EXPECT_FALSE(surface.hasImage());
        }
        if (surface.hasImage()) {
            EXPECT_EQ(surface.Bits().size(),
                      static_cast<std::size_t>(surface.Width()) * 4 * surface.Height());
        }
        ++checked;
    }
    EXPECT_GT(checked, 15u);
}

GifImage twoByTwo(std::vector<std::uint8_t> indices) {
    GifImage image;
    image.width = 2;
    image.height = 2;
    image.indices = std::move(indices);
    return image;
}

TEST(GifEdgeCases, SignatureIsMatchedInAnyCase) {
    const struct {
        std::string signature;
        bool recognised;
    } lines[] = {
        {"GIF89a", true}, {"GIF89A", true}, {"gif87a", true}, {"GIF88a", false}, {"GIF8", false}};
    for (const auto& line : lines) {
        SCOPED_TRACE(line.signature);
        const Bytes file =
            test::gifFile(line.signature, 2, 2, kFourColours, {twoByTwo({0, 1, 2, 3})});
        c32bppDIB surface;
        EXPECT_EQ(cGIFparser().LoadStream(file, surface), line.recognised);
        EXPECT_EQ(surface.hasImage(), line.recognised);
    }
}

TEST(GifEdgeCases, FirstFrameOfAnAnimationAtItsOwnSize) {
    GifImage first = twoByTwo({0, 1, 2, 3});
    first.left = 5;
    first.top = 7;
    const GifImage second = [] {
        GifImage image;
        image.width = 10;
        image.height = 10;
        image.indices = Bytes(100, 3);
        return image;
    }();
    const Bytes file = test::gifFile("GIF89a", 10, 10, kFourColours, {first, second});
    c32bppDIB surface;
    ASSERT_TRUE(cGIFparser().LoadStream(file, surface));
    ASSERT_EQ(surface.Width(), 2);
    ASSERT_EQ(surface.Height(), 2);
    EXPECT_EQ(bgra(pixelAt(surface, 0, 0)), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(bgra(pixelAt(surface, 1, 0)), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(bgra(pixelAt(surface, 0, 1)), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(bgra(pixelAt(surface, 1, 1)), (Bytes{255, 255, 255, 255}));
}

TEST(GifEdgeCases, TransparencyFollowsTheControlExtensionFlagAndTheTableInUse) {
    const Bytes localTable{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    const struct {
        const char* name;
        std::uint8_t flags;
        Bytes local;
        bool alpha;
        Bytes pixel1; // index 1
        Bytes pixel2; // index 2, the transparent index when the flag is set
    } lines[] = {
        {"flag clear", 0x00, {}, false, {0, 255, 0, 255}, {255, 0, 0, 255}},
        {"flag set", 0x01, {}, true, {0, 255, 0, 255}, {0, 0, 0, 0}},
        {"local table", 0x01, localTable, true, {60, 50, 40, 255}, {0, 0, 0, 0}},
        {"local table, flag clear", 0x00, localTable, false, {60, 50, 40, 255}, {90, 80, 70, 255}},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        GifImage image = twoByTwo({0, 1, 2, 3});
        image.controlExtension = true;
        image.controlFlags = line.flags;
        image.transparentIndex = 2;
        image.localTable = line.local;
        c32bppDIB surface;
        ASSERT_TRUE(
            cGIFparser().LoadStream(test::gifFile("GIF89a", 2, 2, kFourColours, {image}), surface));
        ASSERT_TRUE(surface.hasImage());
        EXPECT_EQ(surface.Alpha(), line.alpha);
        EXPECT_EQ(bgra(pixelAt(surface, 1, 0)), line.pixel1);
        EXPECT_EQ(bgra(pixelAt(surface, 0, 1)), line.pixel2);
    }
}

// Each case damages a valid 2 × 2 file; all are recognised and leave the surface empty.
TEST(GifHostileInput, DamagedImagesLeaveTheSurfaceEmpty) {
    const Bytes valid = test::gifFile("GIF89a", 2, 2, kFourColours, {twoByTwo({0, 1, 2, 3})});
    const std::size_t descriptor = 13 + kFourColours.size();
    const std::size_t codeSize = descriptor + 10;
    const struct {
        const char* name;
        Bytes file;
    } lines[] = {
        {"LZW data runs out",
         Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(codeSize + 3))},
        {"end code before the last pixel",
         test::gifFile("GIF89a", 2, 2, kFourColours, {twoByTwo({0, 1, 2})})},
        {"code size 12",
         [&] {
             Bytes f = valid;
             f[codeSize] = 12;
             return f;
         }()},
        {"code size 0",
         [&] {
             Bytes f = valid;
             f[codeSize] = 0;
             return f;
         }()},
        {"index beyond the table", test::gifFile("GIF89a", 2, 2, kFourColours, {[] {
                                                     GifImage image = twoByTwo({0, 1, 2, 7});
                                                     image.minimumCodeSize = 3;
                                                     return image;
                                                 }()})},
        {"huge frame over a few codes",
         [&] {
             Bytes f = valid;
             f[descriptor + 5] = f[descriptor + 6] = f[descriptor + 7] = f[descriptor + 8] = 0xFF;
             return f;
         }()},
        {"large frame over a few codes",
         [&] {
             Bytes f = valid;
             f[descriptor + 5] = f[descriptor + 7] = 0xD0;
             f[descriptor + 6] = f[descriptor + 8] = 0x07;
             return f;
         }()},
        {"zero width",
         [&] {
             Bytes f = valid;
             f[descriptor + 5] = 0;
             return f;
         }()},
        {"global table cut short", Bytes(valid.begin(), valid.begin() + 20)},
        {"unknown block before the image",
         [&] {
             Bytes f = valid;
             f[descriptor] = 0x99;
             return f;
         }()},
        {"no image", test::gifFile("GIF89a", 2, 2, kFourColours, {})},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_TRUE(cGIFparser().LoadStream(line.file, surface));
        EXPECT_FALSE(surface.hasImage());
    }
}

TEST(GifHostileInput, AnUndefinedCodeIsRefused) {
    // Code size 2: clear 4, end 5; after clear, code 7 names no string yet.
    Bytes file = test::gifFile("GIF89a", 2, 2, kFourColours, {twoByTwo({0, 1, 2, 3})});
    const std::size_t data = 13 + kFourColours.size() + 10 + 2;
    file[data] = 0x3C; // codes 4 (clear), 7
    c32bppDIB surface;
    EXPECT_TRUE(cGIFparser().LoadStream(file, surface));
    EXPECT_FALSE(surface.hasImage());
}

} // namespace
} // namespace zr::imaging
