// The GIF reader: the test suites against giflib's first frame, the edge cases and hostile input.
#include "GifReference.h"
#include "ImageBuilders.h"
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/gif/GifLzw.h"
#include "imaging/gif/cGIFparser.h"

#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::Bytes;
using test::GifImage;
using test::pixelAt;

const Bytes kFourColours{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

// Every file giflib reads: the frame's size, its indices and its table as giflib reads them,
// with the reader's rules on top (the transparent index clear, an index without a table colour
// opaque black, so the suite's invalid-colors.gif draws too). Files giflib refuses: valid ones
// (max-codes.gif, code size 11) still decode, corrupt ones leave the surface empty; the
// unknown ones only must not crash.
TEST(GifSuite, EveryFileOfTheSuites) {
    std::size_t compared = 0;
    for (const auto& entry : test::manifestEntries("gif")) {
        SCOPED_TRACE(entry.name);
        const Bytes bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        ASSERT_TRUE(cGIFparser().LoadStream(bytes, surface));
        const auto reference = test::giflibFirstFrame(bytes);
        if (!reference || entry.expect == "unknown") {
            EXPECT_TRUE(entry.expect != "valid" || surface.hasImage());
            EXPECT_TRUE(entry.expect != "corrupt" || !surface.hasImage());
            continue;
        }
        ASSERT_EQ(surface.Width(), reference->width);
        ASSERT_EQ(surface.Height(), reference->height);
        EXPECT_EQ(surface.ImageType(), ImageKind::Gif);
        EXPECT_EQ(surface.Alpha(), reference->transparentIndex >= 0);
        for (std::int32_t y = 0; y < reference->height; ++y) {
            for (std::int32_t x = 0; x < reference->width; ++x) {
                const std::size_t index =
                    reference->indices[static_cast<std::size_t>(y * reference->width + x)];
                Bytes want{0, 0, 0, 255};
                if (static_cast<std::int32_t>(index) == reference->transparentIndex) {
                    want = {0, 0, 0, 0};
                } else if (3 * index + 2 < reference->colourTable.size()) {
                    const std::uint8_t* rgb = reference->colourTable.data() + 3 * index;
                    want = {rgb[2], rgb[1], rgb[0], 255};
                }
                ASSERT_EQ(pixelAt(surface, x, y), want) << x << "," << y;
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 75u);
}

GifImage twoByTwo(Bytes indices, std::uint16_t left = 0, std::uint16_t top = 0) {
    GifImage image;
    image.left = left;
    image.top = top;
    image.width = 2;
    image.height = 2;
    image.indices = std::move(indices);
    return image;
}

TEST(GifEdgeCases, SignatureInAnyCaseAndTheFirstFrameAtItsOwnSize) {
    GifImage later = twoByTwo(Bytes(100, 3));
    later.width = later.height = 10;
    for (const std::string signature : {"GIF89a", "GIF89A", "gif87a", "GIF88a"}) {
        SCOPED_TRACE(signature);
        const Bytes file =
            test::gifFile(signature, 10, 10, kFourColours, {twoByTwo({0, 1, 2, 3}, 5, 7), later});
        c32bppDIB surface;
        const bool recognised = signature != "GIF88a";
        ASSERT_EQ(cGIFparser().LoadStream(file, surface), recognised);
        if (recognised) {
            ASSERT_EQ(surface.Width(), 2);
            EXPECT_EQ(pixelAt(surface, 0, 0), (Bytes{0, 0, 255, 255}));
            EXPECT_EQ(pixelAt(surface, 1, 1), (Bytes{255, 255, 255, 255}));
        }
    }
}

TEST(GifEdgeCases, TransparencyFollowsTheControlExtensionFlagAndTheTableInUse) {
    const Bytes local{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    const struct {
        std::uint8_t flags;
        Bytes local;
        Bytes index1, index2; // index 2 is the transparent index when the flag is set
    } lines[] = {
        {0x00, {}, {0, 255, 0, 255}, {255, 0, 0, 255}},
        {0x01, {}, {0, 255, 0, 255}, {0, 0, 0, 0}},
        {0x01, local, {60, 50, 40, 255}, {0, 0, 0, 0}},
        {0x00, local, {60, 50, 40, 255}, {90, 80, 70, 255}},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(testing::Message() << int{line.flags} << " " << line.local.size());
        GifImage image = twoByTwo({0, 1, 2, 3});
        image.controlExtension = true;
        image.controlFlags = line.flags;
        image.transparentIndex = 2;
        image.localTable = line.local;
        c32bppDIB surface;
        ASSERT_TRUE(
            cGIFparser().LoadStream(test::gifFile("GIF89a", 2, 2, kFourColours, {image}), surface));
        EXPECT_EQ(surface.Alpha(), line.flags != 0);
        EXPECT_EQ(pixelAt(surface, 1, 0), line.index1);
        EXPECT_EQ(pixelAt(surface, 0, 1), line.index2);
    }
    // A second control extension whose flag is clear leaves the first one's index in force;
    // an index beyond the table is opaque black.
    GifImage image = twoByTwo({0, 1, 2, 7});
    image.minimumCodeSize = 3;
    image.controlExtension = true;
    image.controlFlags = 0x01;
    image.transparentIndex = 2;
    Bytes file = test::gifFile("GIF89a", 2, 2, kFourColours, {image});
    const std::size_t afterFirst = 13 + kFourColours.size() + 8;
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(afterFirst),
                {0x21, 0xF9, 4, 0x00, 0, 0, 5, 0});
    c32bppDIB surface;
    ASSERT_TRUE(cGIFparser().LoadStream(file, surface));
    EXPECT_TRUE(surface.Alpha());
    EXPECT_EQ(pixelAt(surface, 0, 1), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(surface, 1, 1), (Bytes{0, 0, 0, 255}));
}

// Each case damages a valid 2 × 2 file; all are recognised and leave the surface empty.
// Literals fill the table without a clear; its last entry, 4095, is then a string like any
// other (each entry here is the literal before it and its own).
TEST(GifEdgeCases, TheLastTableEntryIsUsable) {
    test::GifCodeWriter writer;
    Bytes indices;
    std::uint32_t bits = 3;
    std::uint32_t next = 6;
    writer.put(4, bits);
    for (std::uint32_t i = 0; i < 4100; ++i) {
        indices.push_back(static_cast<std::uint8_t>(i % 3));
        writer.put(indices.back(), bits);
        if (i > 0 && next < 4096 && ++next == (1U << bits) && bits < 12) {
            ++bits;
        }
    }
    writer.put(4095, 12);
    indices.insert(indices.end(), {indices[4089], indices[4090]});
    std::vector<std::uint8_t> pixels;
    ASSERT_TRUE(decodeGifLzw(writer.finish(), 2, indices.size(), pixels));
    EXPECT_EQ(pixels, indices);
}

} // namespace
} // namespace zr::imaging
