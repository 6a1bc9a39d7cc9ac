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
using test::pixelAt;

const Bytes kFourColours{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

// Compares the frame with Qt's first frame cut to the frame's rectangle. Under a transparent
// pixel Qt shows its own fill of the screen, so only opaque pixels are compared.
void expectFrameMatchesQt(const Bytes& bytes, const GifFrame& frame, bool indicesOnly) {
    c32bppDIB surface;
    ASSERT_TRUE(cGIFparser().LoadStream(bytes, surface));
    ASSERT_EQ(surface.Width(), frame.width);
    ASSERT_EQ(surface.Height(), frame.height);
    EXPECT_EQ(surface.ImageType(), ImageKind::Gif);
    EXPECT_EQ(surface.Alpha(), frame.transparentIndex >= 0);
    const auto reference = test::qtDecode(bytes);
    ASSERT_TRUE(reference.has_value());
    for (std::int32_t y = 0; y < frame.height && frame.top + y < reference->height; ++y) {
        for (std::int32_t x = 0; x < frame.width && frame.left + x < reference->width; ++x) {
            const Bytes ours = pixelAt(surface, x, y);
            Bytes theirs(reference->pixel(frame.left + x, frame.top + y),
                         reference->pixel(frame.left + x, frame.top + y) + 4);
            // Qt draws a frame without any colour table transparent; here it is opaque black.
            theirs[3] = frame.colourTable.empty() ? 255 : theirs[3];
            if (ours[3] == 0) {
                ASSERT_EQ(ours, (Bytes{0, 0, 0, 0}));
            } else if (indicesOnly) {
                ASSERT_EQ(ours[0], theirs[0]) << x << "," << y;
            } else {
                ASSERT_EQ(ours, theirs) << x << "," << y;
            }
        }
    }
}

// Valid files: colours through the file's own table match Qt; with the table in use replaced
// by a grey ramp every colour is its index, so the indices match too (even where a table holds
// a colour twice). Damaged files never crash; corrupt ones leave the surface empty.
TEST(GifSuite, EveryFileOfTheSuites) {
    std::size_t valid = 0;
    for (const auto& entry : test::manifestEntries("gif")) {
        SCOPED_TRACE(entry.name);
        Bytes bytes = test::readBytes(entry.path);
        if (entry.expect != "valid") {
            c32bppDIB surface;
            EXPECT_TRUE(cGIFparser().LoadStream(bytes, surface));
            EXPECT_TRUE(entry.expect != "corrupt" || !surface.hasImage());
            continue;
        }
        GifFrame frame;
        ASSERT_EQ(scanGif(bytes, frame), GifScan::Image);
        expectFrameMatchesQt(bytes, frame, false);
        if (!frame.colourTable.empty()) {
            const auto table = static_cast<std::size_t>(frame.colourTable.data() - bytes.data());
            for (std::size_t i = 0; i < frame.colourTable.size(); ++i) {
                bytes[table + i] = static_cast<std::uint8_t>(i / 3);
            }
            expectFrameMatchesQt(bytes, frame, true);
        }
        ++valid;
    }
    EXPECT_GT(valid, 75u);
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
}

// Each case damages a valid 2 × 2 file; all are recognised and leave the surface empty.
TEST(GifHostileInput, DamagedImagesLeaveTheSurfaceEmpty) {
    const Bytes valid = test::gifFile("GIF89a", 2, 2, kFourColours, {twoByTwo({0, 1, 2, 3})});
    const std::size_t descriptor = 13 + kFourColours.size();
    const std::size_t codeSize = descriptor + 10;
    const auto with = [&](std::initializer_list<std::pair<std::size_t, std::uint8_t>> changes) {
        Bytes file = valid;
        for (const auto& [at, value] : changes) {
            file[at] = value;
        }
        return file;
    };
    GifImage beyondTable = twoByTwo({0, 1, 2, 7});
    beyondTable.minimumCodeSize = 3;
    const struct {
        const char* name;
        Bytes file;
    } lines[] = {
        {"LZW data runs out",
         Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(codeSize + 3))},
        {"end code before the last pixel",
         test::gifFile("GIF89a", 2, 2, kFourColours, {twoByTwo({0, 1, 2})})},
        {"code size 12", with({{codeSize, 12}})},
        {"code size 0", with({{codeSize, 0}})},
        {"code naming no string yet", with({{codeSize + 2, 0x3C}})}, // clear, then 7
        {"index beyond the table", test::gifFile("GIF89a", 2, 2, kFourColours, {beyondTable})},
        {"65535 × 65535 frame", with({{descriptor + 5, 0xFF},
                                      {descriptor + 6, 0xFF},
                                      {descriptor + 7, 0xFF},
                                      {descriptor + 8, 0xFF}})},
        {"2000 × 2000 frame over a few codes", with({{descriptor + 5, 0xD0},
                                                     {descriptor + 6, 7},
                                                     {descriptor + 7, 0xD0},
                                                     {descriptor + 8, 7}})},
        {"zero width", with({{descriptor + 5, 0}})},
        {"global table cut short", Bytes(valid.begin(), valid.begin() + 20)},
        {"unknown block before the image", with({{descriptor, 0x99}})},
        {"no image", test::gifFile("GIF89a", 2, 2, kFourColours, {})},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_TRUE(cGIFparser().LoadStream(line.file, surface));
        EXPECT_FALSE(surface.hasImage());
    }
}

} // namespace
} // namespace zr::imaging
