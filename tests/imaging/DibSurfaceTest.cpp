// The surface's own operations: creation, the loader's size rule, scaling, copying, saving.
#include "PngBuilder.h"
#include "TestFiles.h"
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

// 57 bytes exactly: signature, IHDR, one IDAT of 12 compressed bytes, no IEND.
Bytes png57Bytes() {
    Bytes png = test::assemblePng({test::pngChunk("IHDR", test::ihdrData(1, 1, 8, 2)),
                                   test::pngChunk("IDAT", test::zlibCompress({0, 0, 0, 0}))});
    EXPECT_EQ(png.size(), 57u);
    return png;
}

std::filesystem::path scratchFile(const std::string& name) {
    const auto directory = std::filesystem::temp_directory_path() / "zr-imaging-tests";
    std::filesystem::create_directories(directory);
    return directory / name;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

c32bppDIB twoByOne() {
    c32bppDIB surface;
    EXPECT_TRUE(surface.InitializeDIB(2, 1));
    const Bytes pixels{1, 2, 3, 255, 0, 0, 0, 0};
    std::copy(pixels.begin(), pixels.end(), surface.Bits().begin());
    surface.SetAlpha(true);
    surface.SetImageType(ImageKind::Png);
    return surface;
}

TEST(DibSurface, InitializeDibAcceptsOnlyPositiveWidthAndNonZeroHeight) {
    const struct {
        std::int32_t width, height;
        bool created;
        std::int32_t rows;
    } cases[] = {{10, -5, true, 5},        {10, 5, true, 5},        {10, 0, false, 0},
                 {-1, 5, false, 0},        {0, 5, false, 0},        {70000, 1, false, 0},
                 {1, INT32_MIN, false, 0}, {20000, 20000, false, 0}};
    for (const auto& sizes : cases) {
        SCOPED_TRACE(std::to_string(sizes.width) + "x" + std::to_string(sizes.height));
        c32bppDIB surface;
        ASSERT_TRUE(surface.InitializeDIB(3, 3));
        EXPECT_EQ(surface.InitializeDIB(sizes.width, sizes.height), sizes.created);
        EXPECT_EQ(surface.hasImage(), sizes.created);
        EXPECT_EQ(surface.Height(), sizes.rows);
        EXPECT_EQ(surface.Handle() != 0, sizes.created);
        if (sizes.created) {
            EXPECT_EQ(surface.ScanWidth(), sizes.width * 4);
            EXPECT_EQ(surface.Bits().size(),
                      static_cast<std::size_t>(sizes.width * 4 * sizes.rows));
            EXPECT_TRUE(std::all_of(surface.Bits().begin(), surface.Bits().end(),
                                    [](std::uint8_t byte) { return byte == 0; }));
        }
    }
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

TEST(DibSurface, LoadsShorterThan57BytesAreRefused) {
    const Bytes png = png57Bytes();
    c32bppDIB surface;
    EXPECT_TRUE(surface.LoadPicture_Stream(png));
    EXPECT_EQ(surface.Width(), 1);
    EXPECT_FALSE(surface.LoadPicture_Stream(png, 0, 0, 0, 56));
    EXPECT_TRUE(surface.hasImage()) << "refused before the surface is touched";
    EXPECT_FALSE(surface.LoadPicture_Stream(Bytes(png.begin(), png.end() - 1)));

    const auto file = scratchFile("short.png");
    writeFile(file, png);
    EXPECT_TRUE(surface.LoadPicture_File(file.string()));
    writeFile(file, Bytes(png.begin(), png.end() - 1));
    EXPECT_FALSE(surface.LoadPicture_File(file.string()));
}

TEST(DibSurface, StreamSlicesOutsideTheArrayAreRefused) {
    Bytes padded(10, 0);
    const Bytes png = png57Bytes();
    padded.insert(padded.end(), png.begin(), png.end());
    c32bppDIB surface;
    EXPECT_TRUE(surface.LoadPicture_Stream(padded, 0, 0, 10, 57));
    EXPECT_TRUE(surface.LoadPicture_Stream(padded, 0, 0, 10));
    EXPECT_FALSE(surface.LoadPicture_Stream(padded, 0, 0, 10, 58));
    EXPECT_FALSE(surface.LoadPicture_Stream(padded, 0, 0, 67));
    EXPECT_FALSE(surface.LoadPicture_Stream(padded, 0, 0, -5, 57));
    EXPECT_FALSE(surface.LoadPicture_Stream({}));
}

TEST(DibSurface, FilesThatDoNotLoadReturnFalse) {
    const std::string png = std::string(ZR_TESTDATA_DIR) + "/png/";
    // A name that is no loadable file is refused before the surface is touched; a file that
    // reaches the readers and fails leaves the surface empty.
    const struct {
        std::string name;
        bool keepsPreviousImage;
    } cases[] = {{png + "xcsn0g01.png", false},
                 {std::string(ZR_TESTDATA_DIR) + "/MANIFEST.tsv", false},
                 {png + "no-such-file.png", true},
                 {png, true}};
    for (const auto& file : cases) {
        SCOPED_TRACE(file.name);
        c32bppDIB surface;
        ASSERT_TRUE(surface.InitializeDIB(4, 4));
        EXPECT_FALSE(surface.LoadPicture_File(file.name));
        EXPECT_EQ(surface.hasImage(), file.keepsPreviousImage);
    }
}

TEST(DibSurface, SaveFormatKeepsTheWholeArray) {
    Bytes padded(3, 0xAB);
    const Bytes png = png57Bytes();
    padded.insert(padded.end(), png.begin(), png.end());
    c32bppDIB surface;
    Bytes kept;
    ASSERT_TRUE(surface.LoadPicture_Stream(padded, 0, 0, 3, 0, false));
    EXPECT_FALSE(surface.GetOrginalFormat(kept));
    ASSERT_TRUE(surface.LoadPicture_Stream(padded, 0, 0, 3, 0, true));
    ASSERT_TRUE(surface.GetOrginalFormat(kept));
    EXPECT_EQ(kept, padded);

    c32bppDIB withSource;
    c32bppDIB withoutSource;
    surface.CopyImageTo(&withSource, true);
    surface.CopyImageTo(&withoutSource, false);
    EXPECT_TRUE(withSource.GetOrginalFormat(kept));
    EXPECT_FALSE(withoutSource.GetOrginalFormat(kept));
    surface.DestroyDIB();
    EXPECT_FALSE(surface.GetOrginalFormat(kept));
}

TEST(DibSurface, CopyImageToCopiesPixelsAlphaAndKind) {
    const c32bppDIB source = twoByOne();
    c32bppDIB target;
    ASSERT_TRUE(target.InitializeDIB(7, 7));
    source.CopyImageTo(&target);
    EXPECT_EQ(target.Width(), 2);
    EXPECT_EQ(target.Height(), 1);
    EXPECT_TRUE(target.Alpha());
    EXPECT_EQ(target.ImageType(), ImageKind::Png);
    EXPECT_TRUE(std::equal(source.Bits().begin(), source.Bits().end(), target.Bits().begin(),
                           target.Bits().end()));
    EXPECT_NE(source.BitsPointer(), target.BitsPointer());
}

TEST(DibSurface, SaveToStreamWritesA32BitBmp) {
    Bytes bmp;
    ASSERT_TRUE(twoByOne().SaveToStream(bmp));
    const Bytes expected{
        'B', 'M', 62, 0,   0, 0, 0, 0, 0, 0, 54, 0, 0, 0,        // file header
        40,  0,   0,  0,   2, 0, 0, 0, 1, 0, 0,  0, 1, 0, 32, 0, // size .. bit count
        0,   0,   0,  0,   8, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, // compression, image size
        0,   0,   0,  0,   0, 0, 0, 0,                           // colour counts
        1,   2,   3,  255, 0, 0, 0, 0};
    EXPECT_EQ(bmp, expected);
    c32bppDIB empty;
    EXPECT_FALSE(empty.SaveToStream(bmp));
    EXPECT_TRUE(bmp.empty());
}

TEST(DibSurface, SaveToFileAsksBeforeReplacingWhenTold) {
    const auto file = scratchFile("saved.bmp");
    writeFile(file, {'o', 'l', 'd'});
    const c32bppDIB image = twoByOne();
    std::string askedTitle;
    const auto answer = [&askedTitle](bool yes) {
        return [&askedTitle, yes](const std::string&, const std::string& title) {
            askedTitle = title;
            return yes;
        };
    };
    EXPECT_FALSE(image.SaveToFile(file.string(), true, answer(false)));
    EXPECT_EQ(askedTitle, "Overwrite Confirmation");
    EXPECT_EQ(test::readBytes(file.string()), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(image.SaveToFile(file.string(), true));
    EXPECT_TRUE(image.SaveToFile(file.string(), true, answer(true)));
    Bytes expected;
    ASSERT_TRUE(image.SaveToStream(expected));
    EXPECT_EQ(test::readBytes(file.string()), expected);
    EXPECT_TRUE(image.SaveToFile(file.string()));
    EXPECT_FALSE(image.SaveToFile(""));
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

// SwapLong is proved by every PNG chunk the suite sweep reads.
TEST(MdlGdi, ScanlineBytesAndPictureRoute) {
    const struct {
        std::uint8_t bits;
        std::int32_t width, bytes;
    } lines[] = {{1, 1, 4},   {1, 33, 8}, {24, 3, 12}, {24, 5, 16},
                 {32, 7, 28}, {8, 0, 0},  {4, -1, 0}};
    for (const auto& line : lines) {
        EXPECT_EQ(mdlGDI::ScanlineBytes(line.bits, line.width), line.bytes);
    }
    EXPECT_FALSE(mdlGDI::PictureFromBytes(png57Bytes()).has_value());
}

} // namespace
} // namespace zr::imaging
