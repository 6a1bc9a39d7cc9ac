// Writes the fuzzers' seed corpus: small PNGs of every colour type, an interlaced one, and a
// few shapes the reader must refuse. Usage: make_png_corpus OUTPUT_DIRECTORY
#include "PngBuilder.h"

#include <cstdio>
#include <fstream>
#include <string>

using zr::imaging::test::Bytes;
using namespace zr::imaging::test;

namespace {

void write(const std::string& directory, const std::string& name, const Bytes& bytes) {
    std::ofstream(directory + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes rows(std::size_t rowCount, std::size_t rowBytes, std::uint8_t filter) {
    Bytes out;
    for (std::size_t y = 0; y < rowCount; ++y) {
        out.push_back(filter);
        for (std::size_t x = 0; x < rowBytes; ++x) {
            out.push_back(static_cast<std::uint8_t>(x * 7 + y * 13));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_png_corpus OUTPUT_DIRECTORY\n", stderr);
        return 2;
    }
    const std::string out = argv[1];
    const Bytes palette = pngChunk("PLTE", {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    write(out, "grey1.png", simplePng(9, 3, 1, 0, rows(3, 2, 1)));
    write(out, "grey16-trns.png",
          simplePng(3, 3, 16, 0, rows(3, 6, 2), {pngChunk("tRNS", {0, 7})}));
    write(out, "rgb8-trns.png",
          simplePng(4, 4, 8, 2, rows(4, 12, 3), {pngChunk("tRNS", {0, 1, 0, 2, 0, 3})}));
    write(out, "palette2-trns.png",
          simplePng(5, 2, 2, 3, rows(2, 2, 4), {palette, pngChunk("tRNS", {0, 128})}));
    write(out, "grey-alpha16.png", simplePng(2, 2, 16, 4, rows(2, 8, 0)));
    write(out, "rgba8-interlaced.png", simplePng(9, 9, 8, 6, Bytes(343, 1), {}, 1));
    write(out, "rgba16.png", simplePng(3, 2, 16, 6, rows(2, 24, 1)));
    write(out, "bomb-header.png", simplePng(8000, 8000, 8, 6, rows(1, 4, 0)));
    write(out, "huge-chunk-length.png",
          assemblePng({pngChunk("IHDR", ihdrData(1, 1, 8, 0)),
                       Bytes{0xFF, 0xFF, 0xFF, 0xF0, 'I', 'D', 'A', 'T', 0, 0, 0, 0}}));
    return 0;
}
