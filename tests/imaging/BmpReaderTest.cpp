// The BMP reader: bmpsuite against Qt's reader, the alpha classification, top-down rows
// and hostile headers.
#include "ImageBuilders.h"
#include "QtReference.h"
#include "TestFiles.h"
#include "imaging/bmp/cBMPparser.h"
#include "imaging/c32bppDIB.h"
#include "imaging/mdlGDI.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::Bytes;

Bytes pixels(std::initializer_list<std::uint32_t> values) {
    Bytes out;
    for (const std::uint32_t value : values) {
        test::putLe32(out, value);
    }
    return out;
}

// g/: Qt's colours; alpha 255 from the platform route, and the own 32-bit route finds the
// fourth byte unused (kind 1, drawn opaque). q/ and b/: no crash, and a consistent surface
// when one loads.
TEST(BmpSuite, EveryFileOfTheSuite) {
    std::size_t good = 0;
    for (const auto& entry : test::manifestEntries("bmp")) {
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        const bool loaded = cBMPparser().LoadStream(bytes, surface);
        ASSERT_EQ(loaded, surface.hasImage());
        if (entry.expect != "valid") {
            EXPECT_TRUE(!loaded ||
                        surface.Bits().size() ==
                            static_cast<std::size_t>(surface.Width() * 4 * surface.Height()));
            continue;
        }
        ASSERT_TRUE(loaded);
        const auto reference = test::qtDecode(bytes);
        ASSERT_TRUE(reference.has_value());
        ASSERT_EQ(surface.Width(), reference->width);
        ASSERT_EQ(surface.Height(), reference->height);
        const bool own = bytes[28] == 32 && bytes[30] == 0;
        EXPECT_EQ(surface.ImageType(), own ? ImageKind::BmpNoAlpha : platform::PictureType::Bitmap);
        EXPECT_FALSE(surface.Alpha());
        for (std::int32_t y = 0; y < reference->height; ++y) {
            for (std::int32_t x = 0; x < reference->width; ++x) {
                Bytes want(reference->pixel(x, y), reference->pixel(x, y) + 4);
                want[3] = own ? 0 : 255;
                ASSERT_EQ(test::pixelAt(surface, x, y), want) << x << "," << y;
            }
        }
        ++good;
    }
    EXPECT_GT(good, 25u);
}

// Two pixels side by side; values are 0xAARRGGBB.
TEST(BmpEdgeCases, TheFourthByteIsClassified) {
    const struct {
        const char* name;
        std::uint32_t first, second;
        std::int32_t kind;
        std::uint32_t firstAfter; // as stored: premultiplied
    } lines[] = {
        {"all alpha 0: unused", 0x00102030, 0x00405060, ImageKind::BmpNoAlpha, 0x00102030},
        {"colour above alpha: straight", 0x640A0AC8, 0xFF010203, ImageKind::BmpStraightAlpha,
         0x6403034E},
        {"colour under alpha 0, then opaque", 0x00FFFFFF, 0xFF010203, ImageKind::BmpStraightAlpha,
         0},
        {"opaque, then colour under alpha 0", 0xFF010203, 0x00FFFFFF, ImageKind::BmpStraightAlpha,
         0xFF010203},
        {"colours within alpha: premultiplied", 0x80404040, 0, ImageKind::BmpPremultiplied,
         0x80404040},
        {"all opaque: premultiplied", 0xFF102030, 0xFF405060, ImageKind::BmpPremultiplied,
         0xFF102030},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        ASSERT_TRUE(cBMPparser().LoadStream(
            test::bmpFile(2, 1, 32, pixels({line.first, line.second})), surface));
        EXPECT_EQ(surface.ImageType(), line.kind);
        EXPECT_EQ(surface.Alpha(), line.kind != ImageKind::BmpNoAlpha);
        EXPECT_EQ(test::pixelAt(surface, 0, 0), pixels({line.firstAfter}));
    }
}

// Bit-field files that name an alpha mask: colours as Qt decodes them (it does not widen
// 5-bit values, hence the slack), alpha by the classification above, so an alpha channel of
// all 0 draws opaque and a one-bit alpha is 0 or 255 (Qt makes it 128).
TEST(BmpEdgeCases, BitFieldsWithAnAlphaMask) {
    using Masks = std::array<std::uint32_t, 4>;
    constexpr Masks bgra{0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        rgba{0xFF000000, 0xFF0000, 0xFF00, 0xFF}, abgr{0xFF, 0xFF00, 0xFF0000, 0xFF000000},
        a1r5g5b5{0x7C00, 0x3E0, 0x1F, 0x8000};
    constexpr std::int32_t none = ImageKind::BmpNoAlpha, straight = ImageKind::BmpStraightAlpha;
    const struct {
        const char* name;
        std::uint32_t headerBytes, bits;
        Masks masks;
        std::uint32_t compression, first, second; // 16 bits: two pixels in each
        std::int32_t kind;
        std::uint32_t firstAfter;
    } lines[] = {
        {"V5 BGRA, all alpha 0", 124, 32, bgra, 3, 0x102030, 0x405060, none, 0x00102030},
        {"V5 RGBA, all alpha 0", 124, 32, rgba, 3, 0x30201000, 0x60504000, none, 0x00302010},
        {"V4 ABGR, all alpha 0", 108, 32, abgr, 3, 0x302010, 0x605040, none, 0x00102030},
        {"56-byte header", 56, 32, bgra, 3, 0x80FF0000, 0xFF010203, straight, 0x80800000},
        {"alpha bit fields, 40-byte header", 40, 32, bgra, 6, 0x40202020, 0xFF010203,
         ImageKind::BmpPremultiplied, 0x40202020},
        {"A1R5G5B5: red, green under 0", 124, 16, a1r5g5b5, 3, 0x03E0FC00, 0, straight, 0xFFFF0000},
        {"A1R5G5B5, all alpha bits 0", 124, 16, a1r5g5b5, 3, 0x03E07C00, 0, none, 0x00FF0000},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        const std::int32_t width = line.bits == 16 ? 4 : 2;
        const Bytes file = test::bmpBitFieldsFile(
            width, 1, static_cast<std::uint16_t>(line.bits), line.headerBytes, line.masks,
            pixels({line.first, line.second}), line.compression);
        c32bppDIB surface;
        ASSERT_TRUE(cBMPparser().LoadStream(file, surface));
        EXPECT_EQ(surface.ImageType(), line.kind);
        EXPECT_EQ(surface.Alpha(), line.kind != none);
        EXPECT_EQ(test::pixelAt(surface, 0, 0), pixels({line.firstAfter}));
        const auto qt = test::qtDecode(file); // Qt reads neither 56-byte headers nor code 6
        for (std::int32_t x = 0; qt && x < width; ++x) {
            const Bytes ours = test::pixelAt(surface, x, 0);
            Bytes want(qt->pixel(x, 0), qt->pixel(x, 0) + 4);
            want[3] = ours[3];
            if (surface.Alpha()) {
                test::premultiplyStraight(want.data());
            }
            for (std::size_t c = 0; c < 3; ++c) {
                EXPECT_NEAR(ours[c], want[c], line.bits == 16 ? 7 : 0) << x;
            }
        }
    }
}

TEST(BmpEdgeCases, TopDownRowsAndTheSavedImageRoundTrip) {
    c32bppDIB topDown; // top row first in the file: red above blue
    ASSERT_TRUE(cBMPparser().LoadStream(test::bmpFile(1, -2, 32, pixels({0xFFFF0000, 0xFF0000FF})),
                                        topDown));
    EXPECT_EQ(test::pixelAt(topDown, 0, 0), (Bytes{0, 0, 255, 255}));
    c32bppDIB topDownFields; // the same through bit fields with an alpha mask
    ASSERT_TRUE(cBMPparser().LoadStream(test::bmpBitFieldsFile(1, -2, 32, 124,
                                                               {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                                               pixels({0xFFFF0000, 0xFF0000FF})),
                                        topDownFields));
    EXPECT_EQ(test::pixelAt(topDownFields, 0, 0), (Bytes{0, 0, 255, 255}));

    c32bppDIB original;
    ASSERT_TRUE(cBMPparser().LoadStream(
        test::bmpFile(2, 2, 32, pixels({0x80400000, 0xFF112233, 0, 0x40102030})), original));
    const auto path = std::filesystem::temp_directory_path() / "zr-bmp-roundtrip.bmp";
    std::filesystem::remove(path);
    ASSERT_TRUE(original.SaveToFile(path.string()));
    c32bppDIB loaded;
    ASSERT_TRUE(loaded.LoadPicture_File(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(loaded.ImageType(), ImageKind::BmpPremultiplied);
    EXPECT_TRUE(std::ranges::equal(loaded.Bits(), original.Bits()));
}

} // namespace
} // namespace zr::imaging
