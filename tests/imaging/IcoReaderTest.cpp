// The icon and cursor reader: the test suites against a reference decoding of the chosen
// entry, the entry choice, the decoding routes and hostile directories.
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

// A directory entry as the file states it, read here without the reader's directory code.
struct RawEntry {
    std::size_t index = 0;
    std::size_t offset = 0;
    std::uint16_t bitCount = 0; // the bitmap header's
    bool png = false;
};

std::vector<RawEntry> rawEntries(const Bytes& file) {
    std::vector<RawEntry> entries;
    const std::size_t count = file[4] | file[5] << 8;
    for (std::size_t i = 0; i < count && 6 + 16 * i + 16 <= file.size(); ++i) {
        const std::uint8_t* at = file.data() + 6 + 16 * i;
        const std::size_t offset = at[12] | at[13] << 8 | at[14] << 16 | std::size_t{at[15]} << 24;
        if (offset + 16 > file.size()) {
            continue;
        }
        const bool png = file[offset] == 0x89 && file[offset + 1] == 'P';
        const auto bits = static_cast<std::uint16_t>(file[offset + 14] | file[offset + 15] << 8);
        entries.push_back({i, offset, bits != 0 ? bits : std::uint16_t(at[6] | at[7] << 8), png});
    }
    return entries;
}

// The AND mask bit of pixel (x, y) of a bitmap entry, read straight from the file: Qt's reader
// ignores the mask of 24-bit entries, so the reference takes it from here.
bool maskBit(const Bytes& file, const RawEntry& entry, std::int32_t width, std::int32_t height,
             std::int32_t x, std::int32_t y) {
    const std::size_t used = file[entry.offset + 32] | file[entry.offset + 33] << 8;
    const std::size_t colours = entry.bitCount <= 8 ? (std::size_t{1} << entry.bitCount) : 0;
    const auto colourStride = static_cast<std::size_t>((entry.bitCount * width + 31) / 32 * 4);
    const std::size_t mask = entry.offset + 40 + (used != 0 ? used : colours) * 4 +
                             colourStride * static_cast<std::size_t>(height);
    const auto row = static_cast<std::size_t>(height - 1 - y);
    const auto bits = file[mask + row * static_cast<std::size_t>((width + 31) / 32 * 4) +
                           static_cast<std::size_t>(x) / 8];
    return ((bits >> (7 - x % 8)) & 1) != 0;
}

// libspng's pixels for a PNG entry; Qt's for a bitmap entry, with the AND mask applied to
// masked depths and, as Qt refuses entries whose byte count is too short, the count corrected
// first. `slack` is 1 when Qt produced premultiplied pixels (straight colours may be 1 off).
std::optional<test::ReferenceImage> expectedEntry(const Bytes& file, const RawEntry& entry,
                                                  int& slack) {
    slack = 0;
    if (entry.png) {
        return test::referenceDecode(Bytes(file.begin() + entry.offset, file.end()), false);
    }
    Bytes repaired = file;
    const auto bytes = static_cast<std::uint32_t>(file.size() - entry.offset);
    for (std::size_t i = 0; i < 4; ++i) {
        repaired[6 + 16 * entry.index + 8 + i] = static_cast<std::uint8_t>(bytes >> (8 * i));
    }
    // And the entry's size as its header gives it, where a directory lies.
    repaired[6 + 16 * entry.index] = file[entry.offset + 4];
    repaired[6 + 16 * entry.index + 1] =
        static_cast<std::uint8_t>((file[entry.offset + 8] | file[entry.offset + 9] << 8) / 2);
    const auto qt = test::qtDecode(repaired, static_cast<int>(entry.index));
    if (!qt) {
        return std::nullopt;
    }
    slack = qt->premultiplied ? 1 : 0;
    test::ReferenceImage expected{qt->width, qt->height, {}};
    for (std::int32_t y = qt->height; y-- > 0;) {
        for (std::int32_t x = 0; x < qt->width; ++x) {
            Bytes pixel(qt->pixel(x, y), qt->pixel(x, y) + 4);
            if (entry.bitCount != 32 && maskBit(file, entry, qt->width, qt->height, x, y)) {
                pixel = {0, 0, 0, 0};
            }
            test::premultiplyStraight(pixel.data());
            auto& out = expected.bottomUpPremultipliedBgra;
            out.insert(out.end(), pixel.begin(), pixel.end());
        }
    }
    return expected;
}

bool matches(std::span<const std::uint8_t> got, const test::ReferenceImage& want, int slack) {
    const auto& bytes = want.bottomUpPremultipliedBgra;
    if (got.size() != bytes.size()) {
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (std::abs(int{got[i]} - int{bytes[i]}) > (i % 4 == 3 ? 0 : slack)) {
            return false;
        }
    }
    return true;
}

// Whether the surface holds the reference's picture of one of the file's entries.
bool showsAnEntry(const Bytes& file, const c32bppDIB& surface) {
    bool found = false;
    for (const RawEntry& raw : rawEntries(file)) {
        int slack = 0;
        const auto expected = expectedEntry(file, raw, slack);
        found = found ||
                (expected && expected->width == surface.Width() &&
                 expected->height == surface.Height() && matches(surface.Bits(), *expected, slack));
    }
    return found;
}

// Valid icons and cursors decode to the reference's picture of one of their entries (which
// one the edge cases below settle); damaged ones never crash and hold a consistent surface
// when they load at all.
TEST(IcoSuite, EveryFileOfTheSuites) {
    auto entries = test::manifestEntries("ico");
    const auto cursors = test::manifestEntries("cur");
    entries.insert(entries.end(), cursors.begin(), cursors.end());
    std::size_t valid = 0;
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        const auto bytes = test::readBytes(entry.path);
        c32bppDIB surface;
        const bool recognised = cICOparser().LoadStream(bytes, surface, 0, 0);
        if (entry.expect != "valid") {
            EXPECT_TRUE(!surface.hasImage() ||
                        surface.Bits().size() ==
                            static_cast<std::size_t>(surface.Width() * 4 * surface.Height()));
            continue;
        }
        ASSERT_TRUE(recognised && surface.hasImage());
        EXPECT_TRUE(showsAnEntry(bytes, surface)) << surface.Width() << "x" << surface.Height();
        ++valid;
    }
    EXPECT_GT(valid, 100u);
}

// The choice itself, for 32 × 32: a shortfall in size counts twice, an excess once, 32 bits are
// wanted, the first of equals wins, and with every entry too small the last of equals does.
TEST(IcoEdgeCases, EntryChoiceBySizeDepthAndOrder) {
    const struct {
        std::vector<IcoEntry> entries; // width, height, bit count
        std::size_t chosen;
    } cases[] = {{{{30, 48, 32}, {40, 33, 32}}, 1},
                 {{{32, 32, 24}, {32, 32, 32}}, 1},
                 {{{48, 48, 32}, {48, 48, 32}}, 0},
                 {{{16, 16, 32}, {16, 16, 32}}, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(chooseIcoEntry(c.entries, 32, 32), c.chosen) << c.entries[0].width;
    }
    // The loader's chain of readers passes the wanted width and height on in their order.
    const Bytes oblong = test::icoFile(1, {{16, 48, 32, test::icoBitmap32(16, 48, 0xFF102030)},
                                           {48, 16, 32, test::icoBitmap32(48, 16, 0xFF102030)}});
    c32bppDIB chained;
    ASSERT_TRUE(chained.LoadPicture_Stream(oblong, 48, 16));
    EXPECT_EQ(chained.Width(), 48);
}

// Directories that lie (sizes 0 or wrong, a cursor's hotspot where the depth goes): each entry
// decodes at its own size to the reference's picture of it, and the choice goes by that size.
TEST(IcoEdgeCases, EntriesDecodeAtTheirOwnSize) {
    const Bytes palette{0, 0, 0, 0, 10, 20, 30, 0};
    const Bytes eightBit = test::icoBitmap(16, 16, 8, palette, Bytes(256, 1), Bytes(64, 0));
    const struct {
        const char* name;
        Bytes file;
        std::int32_t wanted, width, height;
    } lines[] = {
        {"directory 32 x 32, header 16 x 16 (height 32)", test::icoFile(1, {{32, 32, 8, eightBit}}),
         32, 16, 16},
        {"cursor: size 0, hotspot as depth", test::icoFile(2, {{0, 0, 7, eightBit}}), 0, 16, 16},
        {"chosen by the real sizes",
         test::icoFile(1, {{16, 16, 32, test::icoBitmap32(48, 48, 0xFF102030)},
                           {48, 48, 32, test::icoBitmap32(16, 16, 0xFF102030)}}),
         48, 48, 48},
        {"PNG entry wider than 256",
         test::icoFile(1, {{0, 0, 0, test::simplePng(300, 2, 8, 6, Bytes(2402, 0))}}), 0, 300, 2},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        ASSERT_TRUE(cICOparser().LoadStream(line.file, surface, line.wanted, line.wanted));
        EXPECT_EQ(surface.Width(), line.width);
        EXPECT_EQ(surface.Height(), line.height);
        EXPECT_TRUE(showsAnEntry(line.file, surface));
    }
}

TEST(IcoEdgeCases, DecodingRoutesAndKinds) {
    const Bytes palette{0, 0, 0, 0, 10, 20, 30, 0};
    const Bytes png =
        test::simplePng(2, 2, 8, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 100, 50, 20, 128, 0, 0, 0, 0});
    Bytes bigRows;
    for (int y = 0; y < 256; ++y) {
        bigRows.push_back(0);
        bigRows.insert(bigRows.end(), 256 * 4, 0x80);
    }
    Bytes onlyDirectoryBits = test::icoBitmap32(2, 2, 0xFF010203);
    onlyDirectoryBits[14] = 0;
    const IcoImage eightBit{2, 2, 8, test::icoBitmap(2, 2, 8, palette, Bytes(8, 1), Bytes(8, 0))};
    const IcoImage oneBitMasked{2, 2, 1,
                                test::icoBitmap(2, 2, 1, palette, {0xC0, 0, 0, 0, 0xC0, 0, 0, 0},
                                                {0x80, 0, 0, 0, 0, 0, 0, 0})};
    const IcoImage straight{2, 2, 32, test::icoBitmap32(2, 2, 0x64C80A0A)};
    const IcoImage opaque{2, 2, 32, test::icoBitmap32(2, 2, 0xFF010203)};
    const IcoImage allAlphaZero{2, 2, 32, test::icoBitmap32(2, 2, 0x00010203)};
    const IcoImage pngEntry{2, 2, 0, png};
    const IcoImage directoryBits{2, 2, 32, onlyDirectoryBits};
    const IcoImage bigPng{0, 0, 0, test::simplePng(256, 256, 8, 6, bigRows)};
    // Headers beyond the 40-byte one: V5 (its alpha in the fourth byte, or in bit fields; a
    // colour profile after the mask) and bit fields naming no alpha, where the AND mask decides.
    const auto fromBmp = [](std::uint32_t headerBytes, std::uint32_t alpha, std::uint32_t code) {
        const Bytes bmp = test::bmpBitFieldsFile(
            2, 2, 32, headerBytes, {0xFF0000, 0xFF00, 0xFF, alpha}, Bytes(16, 0x64), code);
        return IcoImage{2, 2, 32, test::icoBitmapFromBmp(bmp, {0x80, 0, 0, 0, 0, 0, 0, 0})};
    };
    IcoImage profiled = fromBmp(124, 0xFF000000, 0);
    const Bytes embedded{'D', 'E', 'B', 'M', 124 + 16 + 8, 0, 0, 0, 4}; // 4 bytes after the mask
    std::copy(embedded.begin(), embedded.begin() + 4, profiled.image.begin() + 56);
    std::copy(embedded.begin() + 4, embedded.end(), profiled.image.begin() + 112);
    profiled.image.insert(profiled.image.end(), embedded.begin(), embedded.begin() + 4);
    const struct {
        const char* name;
        std::uint16_t type;
        const IcoImage image;
        std::int32_t kind;
        bool alpha;
        std::uint32_t bottomLeft; // as stored: premultiplied, 0xAARRGGBB
    } lines[] = {
        {"8-bit, mask all clear", 1, eightBit, ImageKind::IconMasked, false, 0xFF1E140A},
        {"1-bit cursor, masked pixel", 2, oneBitMasked, ImageKind::CursorMasked, true, 0},
        {"32-bit straight alpha", 1, straight, ImageKind::Icon32, true, 0x644E0303},
        {"32-bit cursor", 2, opaque, ImageKind::Cursor32, false, 0xFF010203},
        {"32-bit, every alpha 0: the mask is not read", 1, allAlphaZero, ImageKind::Icon32, true,
         0},
        {"bit count only in the directory", 1, directoryBits, ImageKind::Icon32, false, 0xFF010203},
        {"PNG entry", 1, pngEntry, ImageKind::IconPng, true, 0x8032190A},
        {"256 × 256 PNG entry, size bytes 0", 1, bigPng, ImageKind::IconPng, true, 0x80404040},
        {"V5", 1, fromBmp(124, 0xFF000000, 0), ImageKind::Icon32, true, 0x64272727},
        {"V5 with a colour profile", 1, profiled, ImageKind::Icon32, true, 0x64272727},
        {"V5 bit fields", 1, fromBmp(124, 0xFF000000, 3), ImageKind::Icon32, true, 0x64272727},
        {"bit fields, no alpha mask", 1, fromBmp(40, 0, 3), ImageKind::IconMasked, true, 0},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        ASSERT_TRUE(cICOparser().LoadStream(test::icoFile(line.type, {line.image}), surface, 0, 0));
        ASSERT_TRUE(surface.hasImage());
        EXPECT_EQ(surface.ImageType(), line.kind);
        EXPECT_EQ(surface.Alpha(), line.alpha);
        Bytes bottomLeft;
        test::putLe32(bottomLeft, line.bottomLeft);
        EXPECT_EQ(test::pixelAt(surface, 0, surface.Height() - 1), bottomLeft);
    }
}

// Directories that do not hold together are not icons (False, the next reader tries); a valid
// directory whose chosen entry does not decode leaves the surface empty (True).
TEST(IcoHostileInput, BadDirectoriesAndEntries) {
    const Bytes valid = test::icoFile(1, {{16, 16, 32, test::icoBitmap32(16, 16, 0xFF000000)},
                                          {32, 32, 32, test::icoBitmap32(32, 32, 0xFF000000)}});
    const auto with = [](Bytes file, std::size_t at, std::uint8_t value) {
        file[at] = value;
        return file;
    };
    const auto entry = [](Bytes image) { return test::icoFile(1, {{2, 2, 32, std::move(image)}}); };
    const Bytes palette{0, 0, 0, 0, 10, 20, 30, 0};
    const Bytes pixel32 = test::icoBitmap32(2, 2, 0xFF000000);
    Bytes cut = test::icoBitmap32(8, 8, 0xFF000000);
    cut.resize(100);
    const struct {
        const char* name;
        Bytes file;
        bool recognised;
    } lines[] = {
        {"count 0", with(valid, 4, 0), false},
        {"type 3", with(valid, 2, 3), false},
        {"reserved not 0", with(valid, 0, 1), false},
        {"byte counts add up past the end", with(valid, 6 + 11, 0x10), false},
        {"directory longer than the data", with(valid, 4, 200), false},
        {"header only", Bytes(valid.begin(), valid.begin() + 6), false},
        {"no bit count anywhere", with(test::icoFile(1, {{2, 2, 0, pixel32}}), 22 + 14, 0), false},
        {"only usable entry outside the data", with(with(valid, 4, 1), 6 + 15, 0x7F), false},
        {"index beyond the colour table",
         entry(test::icoBitmap(2, 2, 8, palette, Bytes(8, 5), Bytes(8, 0))), true},
        {"rows cut short", entry(cut), true},
        {"mask missing", entry(test::icoBitmap(2, 2, 8, palette, Bytes(8, 1), {})), true},
        {"height -2^31", entry(with(with(pixel32, 8, 0), 11, 0x80)), true},
        {"width 0x7F00FFFF", entry(with(with(with(pixel32, 4, 0xFF), 5, 0xFF), 7, 0x7F)), true},
        {"RLE compression", entry(with(pixel32, 16, 1)), true},
        {"depth 7", entry(with(pixel32, 14, 7)), true},
        {"16 × 16 entry whose header says 8192 × 16384",
         test::icoFile(
             1,
             {{16, 16, 32,
               with(with(with(with(test::icoBitmap32(16, 16, 0xFF000000), 5, 0x20), 4, 0), 9, 0x80),
                    8, 0)}}),
         true},
        {"bit-field masks that overlap",
         entry(test::icoBitmapFromBmp(
             test::bmpBitFieldsFile(2, 2, 32, 124, {0xFF0000, 0xFFFF, 0xFF, 0}, Bytes(16, 0)),
             Bytes(8, 0))),
         true},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.name);
        c32bppDIB surface;
        EXPECT_EQ(cICOparser().LoadStream(line.file, surface, 0, 0), line.recognised);
        EXPECT_FALSE(surface.hasImage());
    }
    // The byte counts still add up, but the 32 × 32 entry's offset points past the end: it is
    // never chosen, the other entry is.
    c32bppDIB surface;
    ASSERT_TRUE(cICOparser().LoadStream(with(valid, 6 + 16 + 14, 0x40), surface, 32, 32));
    EXPECT_EQ(surface.Width(), 16);
}

} // namespace
} // namespace zr::imaging
