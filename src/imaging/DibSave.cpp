#include "imaging/FileBytes.h"
#include "imaging/c32bppDIB.h"

#include <filesystem>
#include <new>
#include <system_error>

namespace zr::imaging {

namespace {

constexpr std::uint32_t kBmpHeadersSize = 54;
constexpr std::uint32_t kInfoHeaderSize = 40;

void putLe16(std::vector<std::uint8_t>& out, std::size_t offset, std::uint16_t value) {
    out[offset] = static_cast<std::uint8_t>(value);
    out[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The surface's size limits keep the pixel count far below 4 GiB, so the 32-bit size fields
// cannot overflow here.
std::vector<std::uint8_t> bmpBytes(std::int32_t width, std::int32_t height,
                                   std::span<const std::uint8_t> pixels) {
    const auto pixelBytes = static_cast<std::uint32_t>(pixels.size());
    std::vector<std::uint8_t> out(kBmpHeadersSize + pixels.size(), 0);
    putLe16(out, 0, 0x4D42);
    putLe32(out, 2, pixelBytes + kBmpHeadersSize);
    putLe32(out, 10, kBmpHeadersSize);
    putLe32(out, 14, kInfoHeaderSize);
    putLe32(out, 18, static_cast<std::uint32_t>(width));
    putLe32(out, 22, static_cast<std::uint32_t>(height));
    putLe16(out, 26, 1);
    putLe16(out, 28, 32);
    putLe32(out, 34, pixelBytes);
    std::copy(pixels.begin(), pixels.end(), out.begin() + kBmpHeadersSize);
    return out;
}

} // namespace

bool c32bppDIB::SaveToStream(std::vector<std::uint8_t>& outStream) const {
    outStream.clear();
    if (!hasImage()) {
        return false;
    }
    try {
        outStream = bmpBytes(width_, height_, bits_);
        return true;
    } catch (const std::bad_alloc&) {
        outStream.clear();
        return false;
    }
}

bool c32bppDIB::SaveToFile(const std::string& FileName, bool PromptOverwrite,
                           const OverwritePrompt& prompt) const {
    if (FileName.empty() || !hasImage()) {
        return false;
    }
    std::error_code error;
    const std::filesystem::path path(FileName);
    if (std::filesystem::exists(path, error)) {
        if (PromptOverwrite &&
            (!prompt || !prompt("Overwrite current file?", "Overwrite Confirmation"))) {
            return false;
        }
        std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, error);
        if (!std::filesystem::remove(path, error)) {
            return false;
        }
    }
    std::vector<std::uint8_t> bytes;
    return SaveToStream(bytes) && writeFileBytes(FileName, bytes);
}

} // namespace zr::imaging
