// Hand-made PNGs for what PngSuite does not hold: whole-sample colour keys, CRC policy per
// inflate route, and refusal of damaged or implausible data. The suite sweep proves the rest.
#include "PngBuilder.h"
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <gtest/gtest.h>
#include <optional>
#include <zlib.h>

namespace zr::imaging {
namespace {

using test::assemblePng;
using test::Bytes;
using test::ihdrData;
using test::pngChunk;
using test::pngChunkWithCrc;
using test::simplePng;
using test::zlibCompress;
using test::ZlibRoute;

enum class Route { Zlib, Own, Both };

struct EdgeCase {
    const char* name;
    Bytes png;
    Route route;
    std::optional<Bytes> pixels; // bottom-up B, G, R, A; empty means "no image"
    bool alpha = false;
};

Bytes withIdatCrc(std::uint32_t crc) {
    const Bytes scanlines{0, 10, 20, 30};
    return assemblePng({pngChunk("IHDR", ihdrData(1, 1, 8, 2)),
                        pngChunkWithCrc("IDAT", zlibCompress(scanlines), crc),
                        pngChunk("IEND", {})});
}

// A 1 × 1 RGB image whose zlib stream holds `count` empty stored blocks before its one final
// stored block.
Bytes withEmptyBlocks(std::size_t count) {
    const Bytes scanline{0, 10, 20, 30};
    Bytes stream{0x78, 0x01};
    for (std::size_t i = 0; i < count; ++i) {
        stream.insert(stream.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
    }
    stream.insert(stream.end(), {0x01, 4, 0, 0xFB, 0xFF});
    stream.insert(stream.end(), scanline.begin(), scanline.end());
    const auto adler = static_cast<std::uint32_t>(adler32(1, scanline.data(), 4));
    for (int shift = 24; shift >= 0; shift -= 8) {
        stream.push_back(static_cast<std::uint8_t>(adler >> shift));
    }
    return assemblePng(
        {pngChunk("IHDR", ihdrData(1, 1, 8, 2)), pngChunk("IDAT", stream), pngChunk("IEND", {})});
}

std::vector<EdgeCase> edgeCases() {
    const Bytes redPalette = pngChunk("PLTE", {255, 0, 0, 0, 0, 255});
    return {
        {"grey 16 key compares the whole sample",
         simplePng(2, 1, 16, 0, {0, 1, 2, 1, 3}, {pngChunk("tRNS", {1, 2})}), Route::Both,
         Bytes{0, 0, 0, 0, 1, 1, 1, 255}, true},
        {"rgb16 key compares the whole samples",
         simplePng(2, 1, 16, 2, {0, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 7},
                   {pngChunk("tRNS", {1, 2, 3, 4, 5, 6})}),
         Route::Both, Bytes{0, 0, 0, 0, 5, 3, 1, 255}, true},
        {"palette alpha table shorter than palette",
         simplePng(2, 1, 8, 3, {0, 0, 1}, {redPalette, pngChunk("tRNS", {0})}), Route::Both,
         Bytes{0, 0, 0, 0, 255, 0, 0, 255}, true},
        {"tRNS with bad CRC is ignored when CRCs are checked",
         simplePng(1, 1, 8, 3, {0, 0}, {redPalette, pngChunkWithCrc("tRNS", {0}, 1)}), Route::Zlib,
         Bytes{0, 0, 255, 255}, false},
        {"tRNS CRC is not checked without zlib",
         simplePng(1, 1, 8, 3, {0, 0}, {redPalette, pngChunkWithCrc("tRNS", {0}, 1)}), Route::Own,
         Bytes{0, 0, 0, 0}, true},
        {"stored CRC 0 is never checked", withIdatCrc(0), Route::Both, Bytes{30, 20, 10, 255},
         true},
        {"filter byte 5", simplePng(1, 2, 8, 0, {0, 1, 5, 2}), Route::Both, std::nullopt},
        // Above 6, upper left 10, left 12: above and upper left tie, and above wins.
        {"grey Paeth tie", simplePng(2, 2, 8, 0, {0, 10, 6, 4, 2, 94}), Route::Both,
         Bytes{12, 12, 12, 255, 100, 100, 100, 255, 10, 10, 10, 255, 6, 6, 6, 255}, false},
        {"PLTE of 10 bytes", simplePng(1, 1, 8, 3, {0, 0}, {pngChunk("PLTE", Bytes(10, 1))}),
         Route::Both, std::nullopt},
        {"PLTE of 257 entries",
         simplePng(1, 1, 8, 3, {0, 0}, {pngChunk("PLTE", Bytes(3 * 257, 1))}), Route::Both,
         std::nullopt},
        {"palette index beyond the palette", simplePng(1, 1, 8, 3, {0, 2}, {redPalette}),
         Route::Both, std::nullopt},
        {"palette image without PLTE: black", simplePng(1, 1, 8, 3, {0, 7}), Route::Both,
         Bytes{0, 0, 0, 255}, false},
        {"depth not allowed for the colour type", simplePng(1, 1, 4, 2, {0, 0}), Route::Both,
         std::nullopt},
        {"data inflates short of the image: the rest is zero", simplePng(1, 2, 8, 0, {0, 9}),
         Route::Both, Bytes{0, 0, 0, 255, 9, 9, 9, 255}, false},
        {"more deflate blocks than the output allows", withEmptyBlocks(65), Route::Both,
         std::nullopt},
        {"64 empty blocks before the data", withEmptyBlocks(63), Route::Both,
         Bytes{30, 20, 10, 255}, true},
        {"data inflates beyond the image", simplePng(1, 1, 8, 0, {0, 1, 0, 2}), Route::Both,
         std::nullopt},
        {"IHDR after another chunk, then a second IHDR: the last counts",
         assemblePng({pngChunk("gAMA", {0, 0, 0, 1}), pngChunk("IHDR", ihdrData(9, 9, 8, 0)),
                      pngChunk("IDAT", zlibCompress({0, 5})),
                      pngChunk("IHDR", ihdrData(1, 1, 8, 0)), pngChunk("IEND", {})}),
         Route::Both, Bytes{5, 5, 5, 255}, false},
        {"no IHDR", assemblePng({pngChunk("IDAT", zlibCompress({0, 0})), pngChunk("IEND", {})}),
         Route::Both, std::nullopt},
        {"chunk runs past the end",
         assemblePng(
             {pngChunk("IHDR", ihdrData(1, 1, 8, 0)), Bytes{0, 0, 1, 0, 'I', 'D', 'A', 'T', 0, 0}}),
         Route::Both, std::nullopt},
        {"width 0", simplePng(0, 1, 8, 0, {0}), Route::Both, std::nullopt},
    };
}

TEST(PngEdgeCases, DecodeAsTheReaderRulesSay) {
    for (const EdgeCase& edgeCase : edgeCases()) {
        for (const bool useZlib : {true, false}) {
            if ((edgeCase.route == Route::Zlib && !useZlib) ||
                (edgeCase.route == Route::Own && useZlib)) {
                continue;
            }
            SCOPED_TRACE(std::string(edgeCase.name) + (useZlib ? " (zlib)" : " (own inflater)"));
            const ZlibRoute route(useZlib);
            c32bppDIB surface;
            cPNGparser parser;
            ASSERT_TRUE(parser.LoadStream(edgeCase.png, surface));
            if (!edgeCase.pixels) {
                EXPECT_FALSE(surface.hasImage());
                EXPECT_EQ(surface.ImageType(), ImageKind::None);
                continue;
            }
            ASSERT_TRUE(surface.hasImage()) << static_cast<int>(parser.lastError());
            const auto bits = surface.Bits();
            EXPECT_EQ(Bytes(bits.begin(), bits.end()), *edgeCase.pixels);
            EXPECT_EQ(surface.Alpha(), edgeCase.alpha);
            EXPECT_EQ(surface.ImageType(), ImageKind::Png);
        }
    }
}

TEST(PngEdgeCases, SizesTheDataCannotReachAreRefusedBeforeAllocating) {
    const struct {
        const char* name;
        Bytes png;
        PngError error;
    } cases[] = {
        {"3000 x 3000 RGBA from a few bytes", simplePng(3000, 3000, 8, 6, {0, 1, 2, 3, 4}),
         PngError::ImplausibleRatio},
        {"surface beyond the load budget", simplePng(60000, 60000, 1, 0, {0}), PngError::TooLarge},
        {"8192 x 8192 RGBA 16 over zeros: surface and inflate buffer beyond the budget",
         simplePng(8192, 8192, 16, 6, Bytes(100000, 0)), PngError::TooLarge},
        {"4096 x 3072 RGBA 16: the surface fits, the inflate buffer beside it does not",
         simplePng(4096, 3072, 16, 6, Bytes(100000, 0)), PngError::TooLarge},
        {"width beyond 2^31 - 1", simplePng(0x80000000u, 1, 8, 0, {0}), PngError::BadHeader},
        {"the last chunk's CRC runs past the end",
         assemblePng({pngChunk("IHDR", ihdrData(1, 1, 8, 0)),
                      Bytes{0, 0, 0, 8, 'I', 'D', 'A', 'T', 0x78, 0x9C, 0x63, 0x00}}),
         PngError::ChunkOutOfBounds},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.name);
        c32bppDIB surface;
        cPNGparser parser;
        EXPECT_TRUE(parser.LoadStream(refused.png, surface));
        EXPECT_EQ(parser.lastError(), refused.error);
        EXPECT_FALSE(surface.hasImage());
    }
}

TEST(PngEdgeCases, StreamSliceIsHonoured) {
    const Bytes png = simplePng(1, 1, 8, 0, {0, 77});
    Bytes padded(5, 0xEE);
    padded.insert(padded.end(), png.begin(), png.end());
    padded.insert(padded.end(), 3, 0xEE);
    c32bppDIB surface;
    cPNGparser parser;
    ASSERT_TRUE(parser.LoadStream(padded, surface, 5, static_cast<std::int32_t>(png.size())));
    EXPECT_EQ(surface.Bits()[0], 77);
    EXPECT_FALSE(parser.LoadStream(padded, surface, 5, static_cast<std::int32_t>(padded.size())));
}

} // namespace
} // namespace zr::imaging
