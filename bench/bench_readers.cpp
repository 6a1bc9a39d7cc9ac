// Decode time of the GIF, icon and BMP readers beside Qt's own readers of the same files, in
// the same run. Prints ratios at the end (own ÷ Qt; below 1.0 means the own reader is faster),
// of CPU time: the decoders are single-threaded and wall time swings on a shared machine.
// First it prints each reader's peak memory: one load per file in a child process of its own,
// the growth of its resident set during the load divided by the surface the load produced.
#include "CpuTimeReporter.h"
#include "ImageBuilders.h"
#include "PngBuilder.h"
#include "TestFiles.h"
#include "imaging/bmp/cBMPparser.h"
#include "imaging/c32bppDIB.h"
#include "imaging/gif/cGIFparser.h"
#include "imaging/ico/cICOparser.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using zr::imaging::test::Bytes;

enum class Format { Gif, Icon, Bmp };

struct File {
    Bytes bytes;
    int qtIndex = 0;         // the image Qt is asked for (the icon entry the reader chooses)
    std::int32_t wanted = 0; // the icon size asked of the own reader
};

struct Case {
    std::string name;
    Format format;
    std::vector<File> files; // decoded one after the other per iteration
};

std::uint32_t nextNoise(std::uint32_t& state) {
    state = state * 1103515245U + 12345U;
    return (state >> 16) & 0x7FFFU;
}

// A real LZW coder (growing code size, a clear code when the table is full), so the reader
// sees the code mix an image editor writes.
Bytes lzwCompress(const Bytes& indices) {
    constexpr std::uint32_t kClear = 256;
    constexpr std::uint32_t kEnd = 257;
    std::vector<std::uint16_t> child(4096 * 256, 0);
    zr::imaging::test::GifCodeWriter codes;
    std::uint32_t bits = 9;
    std::uint32_t next = kEnd + 1;
    const auto put = [&](std::uint32_t code) { codes.put(code, bits); };
    const auto grow = [&] {
        ++next;
        if (next > (1U << bits) && bits < 12) {
            ++bits;
        }
    };
    put(kClear);
    std::uint32_t prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t index = indices[i];
        const std::uint16_t known = child[prefix * 256 + index];
        if (known != 0) {
            prefix = known;
            continue;
        }
        put(prefix);
        if (next < 4096) {
            child[prefix * 256 + index] = static_cast<std::uint16_t>(next);
            grow();
        } else {
            put(kClear);
            std::fill(child.begin(), child.end(), 0);
            bits = 9;
            next = kEnd + 1;
        }
        prefix = index;
    }
    put(prefix);
    grow();
    put(kEnd);
    return codes.finish();
}

Bytes gifWithFrames(std::uint16_t width, std::uint16_t height, int frames) {
    Bytes palette;
    for (int i = 0; i < 256; ++i) {
        palette.insert(palette.end(),
                       {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                        static_cast<std::uint8_t>(i * 7)});
    }
    Bytes file{'G', 'I', 'F', '8', '9', 'a'};
    zr::imaging::test::putLe16(file, width);
    zr::imaging::test::putLe16(file, height);
    file.insert(file.end(), {0xF7, 0, 0});
    file.insert(file.end(), palette.begin(), palette.end());
    std::uint32_t noise = 99;
    for (int frame = 0; frame < frames; ++frame) {
        Bytes indices(std::size_t{width} * height);
        for (std::size_t y = 0; y < height; ++y) {
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint32_t jitter = nextNoise(noise) % 4;
                indices[y * width + x] = static_cast<std::uint8_t>(
                    (x / 5 + y / 7 + static_cast<std::size_t>(frame) * 9 + jitter) & 255U);
            }
        }
        file.insert(file.end(), {0x21, 0xF9, 0x04, 0x05, 10, 0, 3, 0x00, 0x2C, 0, 0, 0, 0});
        zr::imaging::test::putLe16(file, width);
        zr::imaging::test::putLe16(file, height);
        file.insert(file.end(), {0x00, 0x08});
        const Bytes codes = lzwCompress(indices);
        zr::imaging::test::appendGifSubBlocks(file, codes);
    }
    file.push_back(0x3B);
    return file;
}

// Straight-alpha B, G, R, A pixels, bottom-up: gradients, noise and a translucent band.
Bytes noisyBgra(std::int32_t width, std::int32_t height) {
    Bytes pixels;
    std::uint32_t noise = 7;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const auto jitter = static_cast<std::uint8_t>(nextNoise(noise) & 15U);
            pixels.insert(pixels.end(),
                          {static_cast<std::uint8_t>(x * 255 / width + jitter),
                           static_cast<std::uint8_t>(y * 255 / height + jitter),
                           static_cast<std::uint8_t>((x + y) / 16 + jitter),
                           static_cast<std::uint8_t>((x / 8 + y / 8) % 2 ? 255 : x % 256)});
        }
    }
    return pixels;
}

Bytes iconBitmap32(std::int32_t size) {
    const auto maskStride = static_cast<std::size_t>((size + 31) / 32 * 4);
    return zr::imaging::test::icoBitmap(size, size, 32, {}, noisyBgra(size, size),
                                        Bytes(maskStride * static_cast<std::size_t>(size), 0));
}

Bytes pngOf(std::int32_t size) {
    const Bytes bottomUp = noisyBgra(size, size);
    Bytes scanlines;
    const auto rowBytes = static_cast<std::size_t>(size) * 4;
    for (std::int32_t y = size; y-- > 0;) {
        scanlines.push_back(0);
        for (std::size_t x = 0; x < rowBytes; x += 4) {
            const std::uint8_t* pixel =
                bottomUp.data() + static_cast<std::size_t>(y) * rowBytes + x;
            scanlines.insert(scanlines.end(), {pixel[2], pixel[1], pixel[0], pixel[3]});
        }
    }
    return zr::imaging::test::simplePng(static_cast<std::uint32_t>(size),
                                        static_cast<std::uint32_t>(size), 8, 6, scanlines);
}

std::vector<File> suiteFiles(const std::vector<std::string>& formats, const std::string& under) {
    std::vector<File> files;
    for (const std::string& format : formats) {
        for (const auto& entry : zr::imaging::test::manifestEntries(format)) {
            if (entry.expect == "valid" && entry.path.find(under) != std::string::npos) {
                files.push_back({zr::imaging::test::readBytes(entry.path), 0, 0});
            }
        }
    }
    return files;
}

std::vector<Case> benchmarkCases() {
    using zr::imaging::test::icoFile;
    std::vector<Case> cases;
    cases.push_back(
        {"GIF 1600x1200, first of 3 frames", Format::Gif, {{gifWithFrames(1600, 1200, 3), 0, 0}}});
    cases.push_back({"GIF suites (all valid files)", Format::Gif, suiteFiles({"gif"}, "/gif/")});
    const Bytes small = iconBitmap32(16);
    cases.push_back({"icon 16/32/48/256, 256 BMP entry",
                     Format::Icon,
                     {{icoFile(1, {{16, 16, 32, small},
                                   {32, 32, 32, iconBitmap32(32)},
                                   {48, 48, 32, iconBitmap32(48)},
                                   {0, 0, 32, iconBitmap32(256)}}),
                       3, 256}}});
    cases.push_back({"icon 16/32/48/256, 256 PNG entry",
                     Format::Icon,
                     {{icoFile(1, {{16, 16, 32, small},
                                   {32, 32, 32, iconBitmap32(32)},
                                   {48, 48, 32, iconBitmap32(48)},
                                   {0, 0, 32, pngOf(256)}}),
                       3, 256}}});
    cases.push_back({"BMP 2000x1500 32-bit alpha",
                     Format::Bmp,
                     {{zr::imaging::test::bmpFile(2000, 1500, 32, noisyBgra(2000, 1500)), 0, 0}}});
    cases.push_back(
        {"bmpsuite g/ (platform loader for most)", Format::Bmp, suiteFiles({"bmp"}, "/g/")});
    return cases;
}

bool decodeOwn(const File& file, Format format) {
    zr::imaging::c32bppDIB surface;
    switch (format) {
    case Format::Gif:
        zr::imaging::cGIFparser().LoadStream(file.bytes, surface);
        break;
    case Format::Icon:
        zr::imaging::cICOparser().LoadStream(file.bytes, surface, file.wanted, file.wanted);
        break;
    case Format::Bmp:
        zr::imaging::cBMPparser().LoadStream(file.bytes, surface);
        break;
    }
    benchmark::DoNotOptimize(surface.BitsPointer());
    return surface.hasImage();
}

void decodeQt(const File& file) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.bytes.data()),
                                              static_cast<qsizetype>(file.bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (file.qtIndex > 0) {
        reader.jumpToImage(file.qtIndex);
    }
    const QImage image = reader.read();
    benchmark::DoNotOptimize(image.constBits());
}

void run(benchmark::State& state, const Case& benchCase, bool own) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const File& file : benchCase.files) {
            if (own) {
                decodeOwn(file, benchCase.format);
            } else {
                decodeQt(file);
            }
            bytes += file.bytes.size();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// The peak resident set since it was last reset (VmHWM), in bytes.
std::size_t peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmHWM:") {
            std::size_t kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

// Loads `bytes` once in a fresh child process; the child reports the growth of its resident
// set at the peak of the load and the size of the surface it made.
bool measurePeak(const Bytes& bytes, std::int32_t wanted, double& peak, double& surface) {
    int channel[2];
    if (pipe(channel) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        // Writing 5 to clear_refs resets the peak to the present resident set.
        std::ofstream("/proc/self/clear_refs") << "5";
        const std::size_t before = residentBytes();
        zr::imaging::c32bppDIB image;
        image.LoadPicture_Stream(bytes, wanted, wanted);
        const double figures[2] = {static_cast<double>(peakResidentBytes()) -
                                       static_cast<double>(before),
                                   static_cast<double>(image.Bits().size())};
        const auto written = write(channel[1], figures, sizeof figures);
        _exit(written == sizeof figures ? 0 : 1);
    }
    close(channel[1]);
    double figures[2] = {0, 0};
    const bool read = ::read(channel[0], figures, sizeof figures) == sizeof figures;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    peak = figures[0];
    surface = figures[1];
    return read && surface > 0;
}

Bytes qtEncoded(std::int32_t width, std::int32_t height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t noise = 5;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const auto jitter = static_cast<int>(nextNoise(noise) & 15U);
            image.setPixel(x, y, qRgb(x * 255 / width + jitter, y * 255 / height, jitter * 8));
        }
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return {data.begin(), data.end()};
}

Bytes png16Of(std::int32_t size) {
    Bytes scanlines;
    std::uint32_t noise = 3;
    for (std::int32_t y = 0; y < size; ++y) {
        scanlines.push_back(0);
        for (std::int32_t x = 0; x < size * 8; ++x) {
            scanlines.push_back(static_cast<std::uint8_t>(x % 8 >= 6 ? 255 : nextNoise(noise)));
        }
    }
    return zr::imaging::test::simplePng(static_cast<std::uint32_t>(size),
                                        static_cast<std::uint32_t>(size), 16, 6, scanlines);
}

void printPeakMemory(const std::vector<Case>& cases) {
    struct Load {
        std::string name;
        Bytes bytes;
        std::int32_t wanted;
    };
    std::vector<Load> loads{
        {"PNG 1024x1024 RGBA 8", pngOf(1024), 0},
        {"PNG 1024x1024 RGBA 16", png16Of(1024), 0},
        {"BMP 2000x1500 24-bit (platform loader)", qtEncoded(2000, 1500, "BMP"), 0},
        {"JPEG 2000x1500 (platform loader)", qtEncoded(2000, 1500, "JPEG"), 0},
    };
    for (const Case& benchCase : cases) {
        if (benchCase.files.size() == 1) {
            loads.push_back({benchCase.name, benchCase.files[0].bytes, benchCase.files[0].wanted});
        }
    }
    std::printf("peak memory of one load (growth of the resident set / surface bytes)\n");
    for (const Load& load : loads) {
        double peak = 0;
        double surface = 0;
        if (measurePeak(load.bytes, load.wanted, peak, surface)) {
            std::printf("%-42s %8.1f MB / %8.1f MB = %5.2f\n", load.name.c_str(), peak / 1e6,
                        surface / 1e6, peak / surface);
        } else {
            std::printf("%-42s does not load\n", load.name.c_str());
        }
    }
    std::printf("\n");
}

void printRatios(const CpuTimeReporter& reporter, const std::vector<Case>& cases) {
    std::printf("\nratios of CPU time (own / Qt; below 1.0 the own reader is faster)\n");
    for (const Case& benchCase : cases) {
        const double own = reporter.cpuTime(benchCase.name + "/own");
        const double qt = reporter.cpuTime(benchCase.name + "/Qt");
        if (own <= 0 || qt <= 0) {
            continue;
        }
        std::printf("%-42s %6.2f\n", benchCase.name.c_str(), own / qt);
    }
}

} // namespace

int main(int argc, char** argv) {
    // A fixed threshold keeps every large buffer a fresh mapping, so a load's buffers show in
    // its resident set instead of reusing heap the set-up already made resident.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const std::vector<Case> cases = benchmarkCases();
    for (const Case& benchCase : cases) {
        for (const File& file : benchCase.files) {
            if (!decodeOwn(file, benchCase.format)) {
                std::fprintf(stderr, "%s: a file does not decode\n", benchCase.name.c_str());
                return 1;
            }
        }
    }
    printPeakMemory(cases);
    for (const Case& benchCase : cases) {
        for (const bool own : {true, false}) {
            benchmark::RegisterBenchmark(
                (benchCase.name + (own ? "/own" : "/Qt")).c_str(),
                [&benchCase, own](benchmark::State& state) { run(state, benchCase, own); })
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter, cases);
    benchmark::Shutdown();
    return 0;
}
