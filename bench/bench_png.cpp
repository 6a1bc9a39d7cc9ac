// PNG decode time: the own reader with zlib and with the own inflater, beside libspng and Qt's
// PNG reader, on the same images in the same run. Prints ratios at the end (own ÷ peer; below
// 1.0 means the own reader is faster). Ratios use CPU time: the decoders are single-threaded
// and wall time swings when the machine is shared.
#include "CpuTimeReporter.h"
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <QByteArray>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <png.h>
#include <spng.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Image {
    std::string name;
    std::vector<Bytes> files; // decoded one after the other per iteration
};

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A photo-like test picture (gradients plus noise, so every filter type gets used), encoded
// by libpng with its default filter choice.
Bytes generatedPng(std::uint32_t width, std::uint32_t height, bool alpha, bool interlaced) {
    const std::uint32_t channels = alpha ? 4 : 3;
    std::vector<Bytes> rows(height, Bytes(std::size_t{width} * channels));
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const auto jitter = static_cast<std::uint8_t>((noise >> 16) & 15);
            std::uint8_t* pixel = rows[y].data() + std::size_t{x} * channels;
            pixel[0] = static_cast<std::uint8_t>(x * 255 / width + jitter);
            pixel[1] = static_cast<std::uint8_t>(y * 255 / height + jitter);
            pixel[2] = static_cast<std::uint8_t>((x + y) / 16 + jitter);
            if (alpha) {
                pixel[3] = static_cast<std::uint8_t>((x / 8 + y / 8) % 2 ? 255 : x % 256);
            }
        }
    }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendToVector, nullptr);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_bytep> rowPointers;
    rowPointers.reserve(rows.size());
    for (Bytes& row : rows) {
        rowPointers.push_back(row.data());
    }
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<Image> benchmarkImages() {
    std::vector<Image> images;
    Image suite{"PngSuite (all valid files)", {}};
    for (const auto& entry : zr::imaging::test::manifestEntries("png")) {
        if (entry.expect == "valid") {
            suite.files.push_back(zr::imaging::test::readBytes(entry.path));
        }
    }
    images.push_back(std::move(suite));
    for (const bool alpha : {false, true}) {
        for (const bool interlaced : {false, true}) {
            const std::string name = std::string("2000x1500 ") + (alpha ? "RGBA" : "RGB") +
                                     (interlaced ? " interlaced" : "");
            images.push_back({name, {generatedPng(2000, 1500, alpha, interlaced)}});
        }
    }
    return images;
}

void decodeOwn(const Bytes& file) {
    zr::imaging::c32bppDIB surface;
    zr::imaging::cPNGparser().LoadStream(file, surface);
    benchmark::DoNotOptimize(surface.BitsPointer());
}

void decodeSpng(const Bytes& file) {
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> context(spng_ctx_new(0), spng_ctx_free);
    spng_set_png_buffer(context.get(), file.data(), file.size());
    std::size_t size = 0;
    if (spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &size) != 0) {
        return;
    }
    Bytes out(size);
    spng_decode_image(context.get(), out.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    benchmark::DoNotOptimize(out.data());
}

void decodeQt(const Bytes& file) {
    const QImage image =
        QImage::fromData(QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                                 static_cast<qsizetype>(file.size())),
                         "PNG");
    benchmark::DoNotOptimize(image.constBits());
}

enum class Decoder { OwnZlib, OwnInflater, Spng, Qt };

const char* decoderName(Decoder decoder) {
    switch (decoder) {
    case Decoder::OwnZlib:
        return "own+zlib";
    case Decoder::OwnInflater:
        return "own+own-inflater";
    case Decoder::Spng:
        return "libspng";
    default:
        return "Qt";
    }
}

void runDecoder(benchmark::State& state, const Image& image, Decoder decoder) {
    zr::imaging::ZlibRuntime::setZlibDisabled(decoder == Decoder::OwnInflater);
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const Bytes& file : image.files) {
            switch (decoder) {
            case Decoder::OwnZlib:
            case Decoder::OwnInflater:
                decodeOwn(file);
                break;
            case Decoder::Spng:
                decodeSpng(file);
                break;
            case Decoder::Qt:
                decodeQt(file);
                break;
            }
            bytes += file.size();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    zr::imaging::ZlibRuntime::setZlibDisabled(false);
}

void printRatios(const CpuTimeReporter& reporter, const std::vector<Image>& images) {
    std::printf("\nratios of CPU time (own / peer; below 1.0 the own reader is faster)\n");
    std::printf("%-30s %14s %14s %16s\n", "image", "zlib/Qt", "zlib/libspng", "own-inflater/Qt");
    for (const Image& image : images) {
        const auto time = [&](Decoder decoder) {
            return reporter.cpuTime(image.name + "/" + decoderName(decoder));
        };
        const double qt = time(Decoder::Qt);
        const double spng = time(Decoder::Spng);
        if (qt <= 0 || spng <= 0) {
            continue;
        }
        std::printf("%-30s %14.2f %14.2f %16.2f\n", image.name.c_str(), time(Decoder::OwnZlib) / qt,
                    time(Decoder::OwnZlib) / spng, time(Decoder::OwnInflater) / qt);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<Image> images = benchmarkImages();
    for (const Image& image : images) {
        for (const Decoder decoder :
             {Decoder::OwnZlib, Decoder::OwnInflater, Decoder::Spng, Decoder::Qt}) {
            benchmark::RegisterBenchmark(
                (image.name + "/" + decoderName(decoder)).c_str(),
                [&image, decoder](benchmark::State& state) { runDecoder(state, image, decoder); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter, images);
    benchmark::Shutdown();
    return 0;
}
