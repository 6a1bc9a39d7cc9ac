// The BMP reader: bmpsuite against Qt's reader, the alpha classification, the platform route
// and hostile headers.
#include "ImageBuilders.h"
#include "QtReference.h"
#include "TestFiles.h"
#include "imaging/bmp/cBMPparser.h"
#include "imaging/c32bppDIB.h"
#include "imaging/mdlGDI.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::Bytes;

bool isOwn32BitPath(const Bytes& file) {
    return file.size() > 34 && file[14] >= 40 && file[28] == 32 && file[29] == 0 && file[30] == 0 &&
           file[31] == 0 && file[32] == 0 && file[33] == 0;
}

TEST(BmpSuite, GoodImagesMatchQtOpaqueAnd32BitOnesFollowTheClassification) {
    std::size_t checked = 0;
    for (const auto& entry : test::manifestEntries("bmp")) {
        if (entry.expect != "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        ASSERT_TRUE(cBMPparser().LoadStream(bytes, surface));
        ASSERT_TRUE(surface.hasImage());
        const auto reference = test::qtDecode(bytes);
        ASSERT_TRUE(reference.has_value());
        ASSERT_EQ(surface.Width(), reference->width);
        ASSERT_EQ(surface.Height(), reference->height);
        const bool own = isOwn32BitPath(bytes);
        if (own) {
            EXPECT_EQ(surface.ImageType(), ImageKind::BmpNoAlpha);
            EXPECT_FALSE(surface.Alpha());
        } else {
            EXPECT_EQ(surface.ImageType(), platform::PictureType::Bitmap);
            EXPECT_FALSE(surface.Alpha());
        }
        for (std::int32_t y = 0; y < reference->height; ++y) {
            const auto row = static_cast<std::size_t>(surface.Height() - 1 - y);
            for (std::int32_t x = 0; x < reference->width; ++x) {
                const std::uint8_t* ours = surface.Bits().data() +
                                           row * static_cast<std::size_t>(surface.ScanWidth()) +
                                           static_cast<std::size_t>(x) * 4;
                const std::uint8_t* theirs = reference->pixel(x, y);
                ASSERT_EQ(Bytes(ours, ours + 3), Bytes(theirs, theirs + 3)) << x << "," << y;
                ASSERT_EQ(ours[3], own ? 0 : 255);
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 25u);
}

TEST(BmpSuite, QuestionableAndBadImagesNeverCrashAndStayPlausible) {
    std::size_t checked = 0;
    for (const auto& entry : test::manifestEntries("bmp")) {
        if (entry.expect == "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        cBMPparser().LoadStream(bytes, surface);
        if (surface.hasImage()) {
            EXPECT_LE(surface.Width(), 65535);
            EXPECT_LE(surface.Height(), 65535);
            EXPECT_EQ(surface.Bits().size(),
                      static_cast<std::size_t>(surface.Width()) * 4 * surface.Height());
        }
        ++checked;
    }
    EXPECT_GT(checked, 60u);
}

Bytes pixels(std::initializer_list<std::uint32_t> values) {
    Bytes out;
    for (const std::uint32_t value : values) {
        test::putLe32(out, value);
    }
    return out;
}

// 32-bit files of two pixels side by side (bottom row first); values are 0xAARRGGBB.
TEST(BmpEdgeCases, TheFourthByteIsClassified) {
    const struct {
        const char* name;
        std::uint32_t first, second;
        std::int32_t kind;
        bool alpha;
        Bytes firstAfter;
    } lines[] = {
        {"all alpha 0: unused, drawn opaque",
         0x00102030,
         0x00405060,
         ImageKind::BmpNoAlpha,
         false,
         {0x30, 0x20, 0x10, 0}},
        {"colour above alpha: straight",
         0x640A0AC8,
         0xFF010203,
         ImageKind::BmpStraightAlpha,
         true,
         {78, 3, 3, 100}},
        {"colour under alpha 0, then opaque: straight",
         0x00FFFFFF,
         0xFF010203,
         ImageKind::BmpStraightAlpha,
         true,
         {0, 0, 0, 0}},
        {"opaque, then colour under alpha 0: straight",
         0xFF010203,
         0x00FFFFFF,
         ImageKind::BmpStraightAlpha,
         true,
         {3, 2, 1, 255}},
        {"colours within alpha: premultiplied",
         0x80404040,
         0x00000000,
         ImageKind::BmpPremultiplied,
         true,
         {0x40, 0x40, 0x40, 0x80}},
        {"all opaque: premultiplied",
         0xFF102030,
         0xFF405060,
         ImageKind::BmpPremultiplied,
         true,
         {0x30, 0x20, 0x10, 255}},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        ASSERT_TRUE(cBMPparser().LoadStream(
            test::bmpFile(2, 1, 32, pixels({line.first, line.second})), surface));
        EXPECT_EQ(surface.ImageType(), line.kind);
        EXPECT_EQ(surface.Alpha(), line.alpha);
        EXPECT_EQ(Bytes(surface.Bits().begin(), surface.Bits().begin() + 4), line.firstAfter);
    }
}

TEST(BmpEdgeCases, ATopDownFileLoadsRightSideUp) {
    // Top row first in the file: red above blue.
    c32bppDIB surface;
    ASSERT_TRUE(cBMPparser().LoadStream(test::bmpFile(1, -2, 32, pixels({0xFFFF0000, 0xFF0000FF})),
                                        surface));
    ASSERT_EQ(surface.Height(), 2);
    EXPECT_EQ(Bytes(surface.Bits().begin(), surface.Bits().end()),
              (Bytes{255, 0, 0, 255, 0, 0, 255, 255})); // bottom row (blue) first in memory
}

TEST(BmpEdgeCases, ASavedImageLoadsBackUnchangedAsPremultiplied) {
    c32bppDIB original;
    ASSERT_TRUE(cBMPparser().LoadStream(
        test::bmpFile(2, 2, 32, pixels({0x80400000, 0xFF112233, 0x00000000, 0x40102030})),
        original));
    const auto path = std::filesystem::temp_directory_path() / "zr-bmp-roundtrip.bmp";
    std::filesystem::remove(path);
    ASSERT_TRUE(original.SaveToFile(path.string()));
    c32bppDIB loaded;
    ASSERT_TRUE(loaded.LoadPicture_File(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(loaded.ImageType(), ImageKind::BmpPremultiplied);
    EXPECT_TRUE(loaded.Alpha());
    EXPECT_TRUE(std::equal(loaded.Bits().begin(), loaded.Bits().end(), original.Bits().begin(),
                           original.Bits().end()));
}

TEST(BmpEdgeCases, OtherDepthsGoThroughThePlatformPictureLoader) {
    // 24-bit rows padded to 4 bytes: one pixel blue 1, green 2, red 3.
    const Bytes file = test::bmpFile(1, 1, 24, {1, 2, 3, 0});
    c32bppDIB surface;
    ASSERT_TRUE(cBMPparser().LoadStream(file, surface));
    EXPECT_EQ(surface.ImageType(), platform::PictureType::Bitmap);
    EXPECT_FALSE(surface.Alpha());
    EXPECT_EQ(Bytes(surface.Bits().begin(), surface.Bits().end()), (Bytes{1, 2, 3, 255}));

    mdlGDI::SetPictureLoader([](std::span<const std::uint8_t>) -> std::optional<mdlGDI::Picture> {
        return std::nullopt;
    });
    c32bppDIB without;
    EXPECT_FALSE(cBMPparser().LoadStream(file, without));
    EXPECT_FALSE(without.hasImage());
    mdlGDI::SetPictureLoader(nullptr);
}

TEST(BmpEdgeCases, PicturesOfThePlatformLoader) {
    const struct {
        const char* name;
        mdlGDI::Picture picture;
        bool loaded;
        std::int32_t kind;
        Bytes bottomLeft;
    } lines[] = {
        {"bitmap",
         {platform::PictureType::Bitmap, 1, 1, 24, {10, 20, 30, 255}},
         true,
         1,
         {10, 20, 30, 255}},
        {"icon, half transparent",
         {platform::PictureType::Icon, 1, 1, 32, {200, 100, 50, 128}},
         true,
         3,
         {100, 50, 25, 128}},
        {"metafile", {platform::PictureType::Metafile, 1, 1, 32, {1, 2, 3, 255}}, false, 0, {}},
        {"pixels missing", {platform::PictureType::Bitmap, 2, 2, 32, {1, 2, 3, 255}}, false, 0, {}},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_EQ(surface.LoadPicture_StdPicture(&line.picture), line.loaded);
        EXPECT_EQ(surface.ImageType(), line.kind);
        if (line.loaded) {
            EXPECT_EQ(Bytes(surface.Bits().begin(), surface.Bits().begin() + 4), line.bottomLeft);
        }
    }
    c32bppDIB surface;
    EXPECT_FALSE(surface.LoadPicture_StdPicture(nullptr));
}

TEST(BmpHostileInput, BadHeadersAreRefusedWithoutReadingPastTheData) {
    const Bytes one = pixels({0xFF000000});
    const auto withField = [&](std::size_t at, std::uint32_t value) {
        Bytes file = test::bmpFile(1, 1, 32, one);
        for (std::size_t i = 0; i < 4; ++i) {
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return file;
    };
    const struct {
        const char* name;
        Bytes file;
    } lines[] = {
        {"width 0", withField(18, 0)},
        {"width -1", withField(18, 0xFFFFFFFF)},
        {"height 0", withField(22, 0)},
        {"height -2^31", withField(22, 0x80000000)},
        {"rows beyond the data", withField(22, 1000)},
        {"pixel offset beyond the data", withField(10, 0xFFFFFFF0)},
        {"width × height × 4 overflows",
         [&] {
             Bytes f = withField(18, 0x40000000);
             f[22] = 4;
             return f;
         }()},
        {"truncated",
         [&] {
             Bytes f = test::bmpFile(4, 4, 32, pixels({1, 2, 3}));
             return f;
         }()},
        {"metafile",
         [] {
             Bytes f{0xD7, 0xCD, 0xC6, 0x9A};
             f.resize(80, 0);
             return f;
         }()},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_FALSE(cBMPparser().LoadStream(line.file, surface));
        EXPECT_FALSE(surface.hasImage());
    }
}

} // namespace
} // namespace zr::imaging
