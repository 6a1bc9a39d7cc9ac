// zr-image: loads an image the way the station's buttons do and reports or converts it.
#include "LoadFailure.h"
#include "imaging/c32bppDIB.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum ExitCode { Loaded = 0, LoadFailed = 1, BadArguments = 2 };

struct Options {
    std::string command;
    std::vector<std::string> files;
    std::int32_t iconCx = 0;
    std::int32_t iconCy = 0;
    bool noZlib = false;
};

int usage() {
    std::fputs("usage: zr-image info FILE [--icon WxH] [--no-zlib]\n"
               "       zr-image convert FILE OUT.bmp [--icon WxH] [--no-zlib]\n",
               stderr);
    return BadArguments;
}

std::optional<std::int32_t> parseDimension(std::string_view text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

bool parseIconSize(std::string_view text, Options& options) {
    const auto separator = text.find('x');
    if (separator == std::string_view::npos) {
        return false;
    }
    const auto cx = parseDimension(text.substr(0, separator));
    const auto cy = parseDimension(text.substr(separator + 1));
    if (!cx || !cy) {
        return false;
    }
    options.iconCx = *cx;
    options.iconCy = *cy;
    return true;
}

std::optional<Options> parseArguments(int argc, char** argv) {
    if (argc < 2) {
        return std::nullopt;
    }
    Options options;
    options.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--no-zlib") {
            options.noZlib = true;
        } else if (argument == "--icon") {
            if (i + 1 >= argc || !parseIconSize(argv[++i], options)) {
                return std::nullopt;
            }
        } else if (argument.starts_with("--")) {
            return std::nullopt;
        } else {
            options.files.emplace_back(argument);
        }
    }
    const std::size_t wanted = options.command == "info" ? 1 : options.command == "convert" ? 2 : 0;
    if (wanted == 0 || options.files.size() != wanted) {
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseArguments(argc, argv);
    if (!options) {
        return usage();
    }
    if (options->noZlib) {
        zr::imaging::ZlibRuntime::setZlibDisabled(true);
    }
    zr::imaging::c32bppDIB image;
    if (!image.LoadPicture_File(options->files[0], options->iconCx, options->iconCy)) {
        std::puts("empty");
        std::fprintf(stderr, "zr-image: %s: %s\n", options->files[0].c_str(),
                     explainLoadFailure(options->files[0]).c_str());
        return LoadFailed;
    }
    if (options->command == "info") {
        std::printf("width=%d height=%d kind=%d alpha=%d\n", image.Width(), image.Height(),
                    image.ImageType(), image.Alpha() ? 1 : 0);
        return Loaded;
    }
    if (!image.SaveToFile(options->files[1])) {
        std::fprintf(stderr, "zr-image: cannot write %s\n", options->files[1].c_str());
        return LoadFailed;
    }
    return Loaded;
}
