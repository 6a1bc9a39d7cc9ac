#include "LoadFailure.h"

#include "imaging/FileBytes.h"
#include "imaging/ImageLimits.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"

#include <algorithm>
#include <filesystem>
#include <span>

namespace {

namespace limits = zr::imaging::limits;

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool isGif(std::span<const std::uint8_t> bytes) {
    const auto upper = [](std::uint8_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    return bytes.size() >= 4 && upper(bytes[0]) == 'G' && upper(bytes[1]) == 'I' &&
           upper(bytes[2]) == 'F' && bytes[3] == '8';
}

std::string explainBytes(std::span<const std::uint8_t> bytes) {
    if (startsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) {
        zr::imaging::c32bppDIB surface;
        zr::imaging::cPNGparser parser;
        parser.LoadStream(bytes, surface);
        return std::string("PNG: ") + zr::imaging::pngErrorText(parser.lastError());
    }
    if (isGif(bytes)) {
        return "GIF: the data ends early, or its first image cannot be decoded";
    }
    if (startsWith(bytes, {0, 0, 1, 0}) || startsWith(bytes, {0, 0, 2, 0})) {
        return "icon/cursor: no directory entry that points to a readable image";
    }
    if (startsWith(bytes, {'B', 'M'})) {
        return "BMP: the header or the pixel data is not valid";
    }
    return "not PNG, GIF, ICO/CUR or BMP, and the platform picture loader does not read it";
}

} // namespace

std::string explainLoadFailure(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path path(fileName);
    if (!std::filesystem::exists(path, error)) {
        return "no such file";
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        return "not a regular file";
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return "cannot be read";
    }
    if (size < limits::kMinimumImageBytes) {
        return "too small to be an image (" + std::to_string(size) + " bytes, at least " +
               std::to_string(limits::kMinimumImageBytes) + ")";
    }
    if (size > limits::kLoadBudgetBytes) {
        return "larger than the loader reads (" + std::to_string(limits::kLoadBudgetBytes >> 20U) +
               " MiB)";
    }
    const auto bytes = zr::imaging::readFileBytes(fileName, limits::kLoadBudgetBytes);
    if (!bytes) {
        return "cannot be read";
    }
    return explainBytes(*bytes);
}
