#include "imaging/cPNGparser.h"

#include "imaging/FileBytes.h"
#include "imaging/ImageLimits.h"
#include "imaging/c32bppDIB.h"
#include "imaging/inflate/ZlibRuntime.h"
#include "imaging/png/PngDecoder.h"
#include "platform/png/PngEncoder.h"

#include <algorithm>
#include <new>

namespace zr::imaging {

bool cPNGparser::LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                            std::int32_t streamOffset, std::int32_t streamLength) {
    lastError_ = PngError::NotPng;
    const std::size_t start = static_cast<std::size_t>(std::max(streamOffset, 0));
    if (streamLength < 0 || start >= inStream.size()) {
        return false;
    }
    const std::size_t length =
        streamLength == 0 ? inStream.size() - start : static_cast<std::size_t>(streamLength);
    if (length > inStream.size() - start) {
        return false;
    }
    lastError_ = decodePng(inStream.subspan(start, length), dibClass, ZlibRuntime::get());
    return lastError_ != PngError::NotPng;
}

bool cPNGparser::LoadFile(const std::string& FileName, c32bppDIB& dibClass) {
    lastError_ = PngError::NotPng;
    const auto bytes = readFileBytes(FileName, limits::kLoadBudgetBytes);
    return bytes && LoadStream(*bytes, dibClass);
}

bool cPNGparser::SaveTo(const c32bppDIB& dibClass, std::vector<std::uint8_t>& outStream) const {
    outStream.clear();
    if (!dibClass.hasImage()) {
        return false;
    }
    try {
        // The encoder wants rows top-down; the surface keeps them bottom-up.
        const auto rowBytes = static_cast<std::size_t>(dibClass.ScanWidth());
        const auto bits = dibClass.Bits();
        std::vector<std::uint8_t> topDown(bits.size());
        for (std::int32_t y = 0; y < dibClass.Height(); ++y) {
            const auto source = bits.subspan(
                static_cast<std::size_t>(dibClass.Height() - 1 - y) * rowBytes, rowBytes);
            std::copy(source.begin(), source.end(),
                      topDown.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
        }
        return platform::encodePng(dibClass.Width(), dibClass.Height(), topDown.data(),
                                   dibClass.Alpha(), outStream);
    } catch (const std::bad_alloc&) {
        outStream.clear();
        return false;
    }
}

bool cPNGparser::SaveTo(const c32bppDIB& dibClass, const std::string& FileName) const {
    std::vector<std::uint8_t> bytes;
    return !FileName.empty() && SaveTo(dibClass, bytes) && writeFileBytes(FileName, bytes);
}

} // namespace zr::imaging
