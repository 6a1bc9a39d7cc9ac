#include "imaging/c32bppDIB.h"

#include "imaging/FileBytes.h"
#include "imaging/ImageLimits.h"
#include "imaging/ImageReaders.h"
#include "imaging/bmp/cBMPparser.h"
#include "imaging/ico/cICOparser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

namespace zr::imaging {

namespace {

bool isLoadableFile(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path path(fileName);
    if (fileName.empty() || !std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size >= limits::kMinimumImageBytes;
}

// Round half to even, as the default floating-point environment does, saturated to 32 bits.
std::int32_t roundToInt32(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded > std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (rounded > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace

bool c32bppDIB::LoadPicture_File(const std::string& FileName, std::int32_t iconCx,
                                 std::int32_t iconCy, bool SaveFormat) {
    if (!isLoadableFile(FileName)) {
        return false;
    }
    DestroyDIB();
    const auto bytes = readFileBytes(FileName, limits::kLoadBudgetBytes);
    if (!bytes || bytes->size() < limits::kMinimumImageBytes) {
        return false;
    }
    return LoadFromBytes(*bytes, 0, bytes->size(), iconCx, iconCy, SaveFormat);
}

bool c32bppDIB::LoadPicture_Stream(std::span<const std::uint8_t> inStream, std::int32_t iconCx,
                                   std::int32_t iconCy, std::int32_t streamStart,
                                   std::int32_t streamLength, bool SaveFormat) {
    if (inStream.empty() || streamLength < 0) {
        return false;
    }
    const std::size_t start = static_cast<std::size_t>(std::max(streamStart, 0));
    if (start >= inStream.size()) {
        return false;
    }
    const std::size_t length =
        streamLength == 0 ? inStream.size() - start : static_cast<std::size_t>(streamLength);
    if (length < limits::kMinimumImageBytes || length > inStream.size() - start ||
        length > limits::kLoadBudgetBytes) {
        return false;
    }
    return LoadFromBytes(inStream, start, length, iconCx, iconCy, SaveFormat);
}

bool c32bppDIB::LoadPicture_Resource(const std::string&, const std::string&) {
    return false;
}

bool c32bppDIB::LoadPicture_StdPicture(const mdlGDI::Picture* Picture) {
    DestroyDIB();
    if (Picture == nullptr) {
        return false;
    }
    try {
        if (Picture->type != platform::PictureType::Bitmap) {
            cICOparser().ConvertstdPicTo32bpp(Picture, *this);
        } else {
            cBMPparser().ConvertstdPicTo32bpp(Picture, *this);
        }
    } catch (const std::exception&) {
        DestroyDIB();
    }
    return hasImage();
}

bool c32bppDIB::LoadPicture_ByHandle(std::intptr_t) {
    return false;
}

bool c32bppDIB::LoadFromBytes(std::span<const std::uint8_t> whole, std::size_t start,
                              std::size_t length, std::int32_t iconCx, std::int32_t iconCy,
                              bool SaveFormat) {
    DestroyDIB();
    const auto slice = whole.subspan(start, length);
    const std::int32_t wantedCx = std::max(iconCx, 0);
    const std::int32_t wantedCy = std::max(iconCy, 0);
    try {
        for (const ImageReader reader : imageReaders()) {
            if (reader(slice, *this, wantedCx, wantedCy)) {
                break;
            }
        }
        if (!hasImage()) {
            DestroyDIB();
            return false;
        }
        if (SaveFormat) {
            originalFormat_.assign(whole.begin(), whole.end());
        }
        return true;
    } catch (const std::exception&) {
        DestroyDIB();
        return false;
    }
}

void c32bppDIB::ScaleImage(std::int32_t destWidth, std::int32_t destHeight, std::int32_t& NewWidth,
                           std::int32_t& NewHeight, std::int32_t mode) const {
    if (!hasImage()) {
        return;
    }
    if (mode == ScaleMode::Stretch) {
        NewWidth = destWidth;
        NewHeight = destHeight;
        return;
    }
    if (mode != ScaleMode::Fit && mode != ScaleMode::FitNoEnlarge) {
        NewWidth = width_;
        NewHeight = height_;
        return;
    }
    // The ratios are kept in single precision on purpose: sizes must round the same way
    // wherever they are computed.
    const auto widthRatio = static_cast<float>(static_cast<double>(destWidth) / width_);
    const auto heightRatio = static_cast<float>(static_cast<double>(destHeight) / height_);
    float ratio = std::min(widthRatio, heightRatio);
    if (mode == ScaleMode::FitNoEnlarge && widthRatio > 1.0f && heightRatio > 1.0f) {
        ratio = 1.0f;
    }
    NewWidth = roundToInt32(static_cast<double>(ratio) * width_);
    NewHeight = roundToInt32(static_cast<double>(ratio) * height_);
}

void c32bppDIB::CopyImageTo(c32bppDIB* cDIBclass, bool CopyOriginalFormat) const {
    if (!hasImage() || cDIBclass == nullptr || cDIBclass == this) {
        return;
    }
    if (!cDIBclass->InitializeDIB(width_, height_)) {
        return;
    }
    std::memcpy(cDIBclass->bits_.data(), bits_.data(), bits_.size());
    cDIBclass->alpha_ = alpha_;
    cDIBclass->imageKind_ = imageKind_;
    if (CopyOriginalFormat && !originalFormat_.empty()) {
        cDIBclass->originalFormat_ = originalFormat_;
    }
}

bool c32bppDIB::GetOrginalFormat(std::vector<std::uint8_t>& outStream) const {
    if (originalFormat_.empty()) {
        return false;
    }
    outStream = originalFormat_;
    return true;
}

std::uintptr_t c32bppDIB::LoadDIBinDC(bool) {
    return 0;
}

bool c32bppDIB::InitializeDIB(std::int32_t Width, std::int32_t Height) {
    DestroyDIB();
    if (Width < 1 || Height == 0 || Height == std::numeric_limits<std::int32_t>::min()) {
        return false;
    }
    const std::int32_t rows = Height < 0 ? -Height : Height;
    const auto byteCount = limits::surfaceBytes(Width, rows);
    if (!byteCount) {
        return false;
    }
    try {
        bits_ = ZeroedBytes(*byteCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width_ = Width;
    height_ = rows;
    return true;
}

void c32bppDIB::DestroyDIB() {
    ZeroedBytes().swap(bits_);
    std::vector<std::uint8_t>().swap(originalFormat_);
    width_ = 0;
    height_ = 0;
    alpha_ = false;
    imageKind_ = ImageKind::None;
}

void c32bppDIB::SetOriginalFormat(std::span<const std::uint8_t> bytes) {
    originalFormat_.assign(bytes.begin(), bytes.end());
}

} // namespace zr::imaging
