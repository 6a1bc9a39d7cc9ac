// The icon and cursor reader: the test suites against Qt's decoding of the chosen entry, the
// entry choice, the decoding routes and hostile directories.
#include "ImageBuilders.h"
#include "PngBuilder.h"
#include "QtReference.h"
#include "ReferenceDecoder.h"
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/ico/IcoDirectory.h"
#include "imaging/ico/cICOparser.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

using test::Bytes;
using test::IcoImage;

std::vector<test::ManifestEntry> iconEntries() {
    auto entries = test::manifestEntries("ico");
    const auto cursors = test::manifestEntries("cur");
    entries.insert(entries.end(), cursors.begin(), cursors.end());
    return entries;
}

// The AND mask bit of pixel (x, y) of a bitmap entry, read straight from the file. Qt's reader
// ignores the mask of 24-bit entries, so the reference takes it from here.
bool maskBit(const Bytes& file, const IcoEntry& entry, std::int32_t width, std::int32_t height,
             std::int32_t x, std::int32_t y) {
    const std::size_t header = entry.offset;
    const std::size_t colours = entry.bitCount <= 8 ? (std::size_t{1} << entry.bitCount) : 0;
    const std::size_t used = file[header + 32] | file[header + 33] << 8;
    const std::size_t palette = (used != 0 ? used : colours) * 4;
    const auto colourStride = static_cast<std::size_t>((entry.bitCount * width + 31) / 32 * 4);
    const auto maskStride = static_cast<std::size_t>((width + 31) / 32 * 4);
    const std::size_t mask =
        header + 40 + palette + colourStride * static_cast<std::size_t>(height);
    const std::size_t row = static_cast<std::size_t>(height - 1 - y);
    const std::uint8_t bits = file[mask + row * maskStride + static_cast<std::size_t>(x) / 8];
    return ((bits >> (7 - x % 8)) & 1) != 0;
}

// What the chosen entry must decode to: libspng's pixels for a PNG entry, Qt's for a bitmap
// entry with the AND mask applied.
std::optional<test::ReferenceImage> expectedEntry(const Bytes& file, const IcoEntry& entry,
                                                  std::size_t index, bool& nearBy) {
    if (entry.isPng()) {
        nearBy = false;
        return test::referenceDecode(Bytes(file.begin() + entry.offset, file.end()), false);
    }
    auto qt = test::qtDecode(file, static_cast<int>(index));
    if (!qt) {
        // Qt refuses entries whose byte count is too short; it reads them once it is right.
        Bytes repaired = file;
        const auto bytes = static_cast<std::uint32_t>(file.size() - entry.offset);
        for (std::size_t i = 0; i < 4; ++i) {
            repaired[6 + 16 * index + 8 + i] = static_cast<std::uint8_t>(bytes >> (8 * i));
        }
        qt = test::qtDecode(repaired, static_cast<int>(index));
    }
    if (!qt) {
        return std::nullopt;
    }
    nearBy = qt->premultiplied;
    test::ReferenceImage expected{qt->width, qt->height, {}};
    for (std::int32_t y = qt->height; y-- > 0;) {
        for (std::int32_t x = 0; x < qt->width; ++x) {
            Bytes pixel(qt->pixel(x, y), qt->pixel(x, y) + 4);
            if (entry.bitCount != 32 && maskBit(file, entry, qt->width, qt->height, x, y)) {
                pixel = {0, 0, 0, 0};
            }
            test::premultiplyStraight(pixel.data());
            expected.bottomUpPremultipliedBgra.insert(expected.bottomUpPremultipliedBgra.end(),
                                                      pixel.begin(), pixel.end());
        }
    }
    return expected;
}

TEST(IcoSuite, ValidIconsDecodeTheChosenEntryAsTheReferenceDoes) {
    std::size_t checked = 0;
    for (const auto& entry : iconEntries()) {
        if (entry.expect != "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        const auto directory = readIcoDirectory(bytes);
        ASSERT_TRUE(directory.has_value());
        const auto chosen = chooseIcoEntry(directory->entries, 0, 0);
        ASSERT_TRUE(chosen.has_value());
        c32bppDIB surface;
        ASSERT_TRUE(cICOparser().LoadStream(bytes, surface, 0, 0));
        ASSERT_TRUE(surface.hasImage());
        bool nearBy = false;
        const auto expected = expectedEntry(bytes, directory->entries[*chosen], *chosen, nearBy);
        ASSERT_TRUE(expected.has_value());
        ASSERT_EQ(surface.Width(), expected->width);
        ASSERT_EQ(surface.Height(), expected->height);
        const auto& want = expected->bottomUpPremultipliedBgra;
        const auto got = surface.Bits();
        ASSERT_EQ(got.size(), want.size());
        bool translucent = false;
        for (std::size_t i = 0; i < want.size(); ++i) {
            const int difference = std::abs(int{got[i]} - int{want[i]});
            ASSERT_LE(difference, nearBy && i % 4 != 3 ? 1 : 0) << "byte " << i;
            translucent = translucent || (i % 4 == 3 && want[i] != 255);
        }
        if (!directory->entries[*chosen].isPng()) {
            EXPECT_EQ(surface.Alpha(), translucent);
        }
        ++checked;
    }
    EXPECT_GT(checked, 100u);
}

TEST(IcoSuite, DamagedFilesNeverCrash) {
    std::size_t checked = 0;
    for (const auto& entry : iconEntries()) {
        if (entry.expect == "valid") {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        cICOparser().LoadStream(bytes, surface, 0, 0);
        if (surface.hasImage()) {
            EXPECT_EQ(surface.Bits().size(),
                      static_cast<std::size_t>(surface.Width()) * 4 * surface.Height());
        }
        ++checked;
    }
    EXPECT_GT(checked, 5u);
}

Bytes threeSizes() {
    return test::icoFile(1, {{16, 16, 32, test::icoBitmap32(16, 16, 0xFF102030)},
                             {32, 32, 32, test::icoBitmap32(32, 32, 0xFF102030)},
                             {48, 48, 32, test::icoBitmap32(48, 48, 0xFF102030)}});
}

TEST(IcoEdgeCases, TheEntryClosestToTheWantedSizeIsChosen) {
    const struct {
        std::int32_t cx, cy, width;
    } lines[] = {{32, 32, 32}, {40, 40, 48}, {64, 64, 48}, {0, 0, 32},
                 {-5, 0, 32},  {16, 16, 16}, {17, 17, 32}, {300, 20, 48}};
    const Bytes file = threeSizes();
    for (const auto& line : lines) {
        SCOPED_TRACE(std::to_string(line.cx) + "x" + std::to_string(line.cy));
        c32bppDIB surface;
        ASSERT_TRUE(cICOparser().LoadStream(file, surface, line.cx, line.cy));
        EXPECT_EQ(surface.Width(), line.width);
        EXPECT_EQ(surface.ImageType(), ImageKind::Icon32);
    }
}

TEST(IcoEdgeCases, AnEntrySmallerBothWaysNeverBeatsOneLargeEnough) {
    // 31 × 31 at 1 bit scores 27 (-2 - 2 + 31) for a 32 × 32 request; the 64 × 64 32-bit entry
    // scores 64.
    Bytes mono = test::icoBitmap(31, 31, 1, {0, 0, 0, 0, 255, 255, 255, 0}, Bytes(4 * 31, 0),
                                 Bytes(4 * 31, 0));
    const Bytes file =
        test::icoFile(1, {{31, 31, 1, mono}, {64, 64, 32, test::icoBitmap32(64, 64, 0xFF000000)}});
    c32bppDIB surface;
    ASSERT_TRUE(cICOparser().LoadStream(file, surface, 32, 32));
    EXPECT_EQ(surface.Width(), 64);
}

TEST(IcoEdgeCases, DecodingRoutesAndKinds) {
    const Bytes palette{0, 0, 0, 0, 10, 20, 30, 0};
    const Bytes halfMasked{0x80, 0, 0, 0, 0x00, 0, 0, 0}; // bottom row: first pixel masked
    const Bytes png =
        test::simplePng(2, 2, 8, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 100, 50, 20, 128, 0, 0, 0, 0});
    const struct {
        const char* name;
        std::uint16_t type;
        IcoImage image;
        std::int32_t kind;
        bool alpha;
        Bytes bottomLeft;
    } lines[] = {
        {"8-bit, mask all clear",
         1,
         {2, 2, 8, test::icoBitmap(2, 2, 8, palette, Bytes(8, 1), Bytes(8, 0))},
         ImageKind::IconMasked,
         false,
         {10, 20, 30, 255}},
        {"1-bit cursor, masked pixel",
         2,
         {2, 2, 1,
          test::icoBitmap(2, 2, 1, palette, Bytes{0xC0, 0, 0, 0, 0xC0, 0, 0, 0}, halfMasked)},
         ImageKind::CursorMasked,
         true,
         {0, 0, 0, 0}},
        {"32-bit straight alpha",
         1,
         {2, 2, 32, test::icoBitmap32(2, 2, 0x64C80A0A)},
         ImageKind::Icon32,
         true,
         {3, 3, 78, 100}},
        {"32-bit cursor",
         2,
         {2, 2, 32, test::icoBitmap32(2, 2, 0xFF010203)},
         ImageKind::Cursor32,
         false,
         {3, 2, 1, 255}},
        {"32-bit, every alpha 0: drawn through the mask",
         1,
         {2, 2, 32, test::icoBitmap32(2, 2, 0x00010203)},
         ImageKind::IconMasked,
         false,
         {3, 2, 1, 255}},
        {"bit count only in the directory",
         1,
         {2, 2, 32,
          [] {
              Bytes b = test::icoBitmap32(2, 2, 0xFF010203);
              b[14] = 0;
              return b;
          }()},
         ImageKind::Icon32,
         false,
         {3, 2, 1, 255}},
        {"PNG entry", 1, {2, 2, 0, png}, ImageKind::IconPng, true, {10, 25, 50, 128}},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        ASSERT_TRUE(cICOparser().LoadStream(test::icoFile(line.type, {line.image}), surface, 0, 0));
        ASSERT_TRUE(surface.hasImage());
        EXPECT_EQ(surface.ImageType(), line.kind);
        EXPECT_EQ(surface.Alpha(), line.alpha);
        EXPECT_EQ(Bytes(surface.Bits().begin(), surface.Bits().begin() + 4), line.bottomLeft);
    }
}

TEST(IcoEdgeCases, A256PixelPngEntryIsStoredAsZeroAndDecodesAsPng) {
    Bytes rows;
    for (int y = 0; y < 256; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), 256 * 4, 0x80);
    }
    const Bytes file = test::icoFile(1, {{0, 0, 32, test::simplePng(256, 256, 8, 6, rows)},
                                         {32, 32, 32, test::icoBitmap32(32, 32, 0xFF000000)}});
    c32bppDIB surface;
    ASSERT_TRUE(cICOparser().LoadStream(file, surface, 256, 256));
    EXPECT_EQ(surface.Width(), 256);
    EXPECT_EQ(surface.ImageType(), ImageKind::IconPng);
}

TEST(IcoHostileInput, InconsistentDirectoriesAreNotIcons) {
    const Bytes valid = threeSizes();
    const auto with = [&](std::size_t at, std::uint8_t value) {
        Bytes file = valid;
        file[at] = value;
        return file;
    };
    const struct {
        const char* name;
        Bytes file;
    } lines[] = {
        {"count 0", with(4, 0)},
        {"type 3", with(2, 3)},
        {"reserved not 0", with(0, 1)},
        {"byte counts add up past the end", with(6 + 8 + 3, 0x10)},
        {"directory longer than the data", with(4, 200)},
        {"header only", Bytes(valid.begin(), valid.begin() + 6)},
        {"no bit count anywhere",
         [&] {
             Bytes file = test::icoFile(1, {{16, 16, 0, test::icoBitmap32(16, 16, 0)}});
             file[6 + 16 + 14] = 0;
             return file;
         }()},
        {"PNG entry wider than 256",
         [&] {
             Bytes png = test::simplePng(1, 1, 8, 6, {0, 1, 2, 3, 4});
             png[16 + 2] = 0x01; // width 257
             return test::icoFile(1, {{0, 0, 32, png}});
         }()},
        {"only entry outside the data",
         [&] {
             Bytes file = valid;
             file[4] = 1;
             file[6 + 12 + 3] = 0x7F; // offset far beyond the data
             return file;
         }()},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_FALSE(cICOparser().LoadStream(line.file, surface, 0, 0));
        EXPECT_FALSE(surface.hasImage());
    }
}

TEST(IcoHostileInput, AnEntryPointingOutsideTheDataIsNeverChosen) {
    // The byte counts still add up, but the 32 × 32 entry's offset points past the end.
    Bytes file = threeSizes();
    file[6 + 16 + 12 + 2] = 0x40;
    c32bppDIB surface;
    ASSERT_TRUE(cICOparser().LoadStream(file, surface, 32, 32));
    ASSERT_TRUE(surface.hasImage());
    EXPECT_NE(surface.Width(), 32);
}

TEST(IcoHostileInput, UndecodableEntriesLeaveTheSurfaceEmpty) {
    const Bytes palette{0, 0, 0, 0, 10, 20, 30, 0};
    const struct {
        const char* name;
        Bytes image;
    } lines[] = {
        {"index beyond the colour table",
         test::icoBitmap(2, 2, 8, palette, Bytes(8, 5), Bytes(8, 0))},
        {"rows cut short",
         [] {
             Bytes b = test::icoBitmap32(8, 8, 0xFF000000);
             b.resize(100);
             return b;
         }()},
        {"mask missing", test::icoBitmap(2, 2, 8, palette, Bytes(8, 1), {})},
        {"height -2^31",
         [] {
             Bytes b = test::icoBitmap32(2, 2, 0xFF000000);
             b[8] = b[9] = b[10] = 0;
             b[11] = 0x80;
             return b;
         }()},
        {"width 2^31 - 1",
         [] {
             Bytes b = test::icoBitmap32(2, 2, 0xFF000000);
             b[4] = b[5] = b[6] = 0xFF;
             b[7] = 0x7F;
             return b;
         }()},
        {"RLE compression",
         [] {
             Bytes b = test::icoBitmap(2, 2, 8, {0, 0, 0, 0}, Bytes(8, 0), Bytes(8, 0));
             b[16] = 1;
             return b;
         }()},
        {"depth 7",
         [] {
             Bytes b = test::icoBitmap32(2, 2, 0xFF000000);
             b[14] = 7;
             return b;
         }()},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_TRUE(
            cICOparser().LoadStream(test::icoFile(1, {{2, 2, 32, line.image}}), surface, 0, 0));
        EXPECT_FALSE(surface.hasImage());
    }
}

} // namespace
} // namespace zr::imaging
