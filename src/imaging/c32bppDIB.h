#pragma once

#include "imaging/PixelSurface.h"
#include "imaging/ZeroedBytes.h"
#include "imaging/mdlGDI.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zr::imaging {

// Image kind codes: the format a surface's pixels came from.
namespace ImageKind {
inline constexpr std::int32_t None = 0;
inline constexpr std::int32_t BmpNoAlpha = 1;
inline constexpr std::int32_t IconMasked = 3;
inline constexpr std::int32_t CursorMasked = 5;
inline constexpr std::int32_t BmpStraightAlpha = 6;
inline constexpr std::int32_t BmpPremultiplied = 7;
inline constexpr std::int32_t Icon32 = 8;
inline constexpr std::int32_t Gif = 9;
inline constexpr std::int32_t Png = 10;
inline constexpr std::int32_t IconPng = 11;
inline constexpr std::int32_t Cursor32 = 12;
} // namespace ImageKind

namespace ScaleMode {
inline constexpr std::int32_t Fit = 0;
inline constexpr std::int32_t FitNoEnlarge = 1;
inline constexpr std::int32_t Stretch = 2;
} // namespace ScaleMode

// Answers a yes/no question (message, title); true means yes.
using OverwritePrompt = std::function<bool(const std::string& message, const std::string& title)>;

// A 32-bit image: width × height pixels of blue, green, red, alpha with the colours
// premultiplied by alpha, rows bottom-up (the first row in memory is the bottom of the
// picture), no row padding. Empty (no pixel store) until a load or InitializeDIB succeeds;
// every failed load leaves it empty again. No operation throws.
class c32bppDIB {
  public:
    bool LoadPicture_File(const std::string& FileName, std::int32_t iconCx = 0,
                          std::int32_t iconCy = 0, bool SaveFormat = false);
    // A start below 0 is raised to 0; a length of 0 means "to the end of inStream". A slice
    // that does not lie inside inStream, or is larger than the load budget, is refused (files
    // larger than the budget are refused alike).
    bool LoadPicture_Stream(std::span<const std::uint8_t> inStream, std::int32_t iconCx = 0,
                            std::int32_t iconCy = 0, std::int32_t streamStart = 0,
                            std::int32_t streamLength = 0, bool SaveFormat = false);
    // Makes the surface from a picture of the platform picture loader: icons through the icon
    // reader, bitmaps through the BMP reader. False for nothing or a picture that cannot be
    // converted (a metafile).
    bool LoadPicture_StdPicture(const mdlGDI::Picture* Picture);
    // These wrap host resources and GDI handles, which do not exist outside Windows: they
    // always report False.
    bool LoadPicture_Resource(const std::string& ResIndex, const std::string& ResSection);
    bool LoadPicture_ByHandle(std::intptr_t Handle);

    void ScaleImage(std::int32_t destWidth, std::int32_t destHeight, std::int32_t& NewWidth,
                    std::int32_t& NewHeight, std::int32_t ScaleMode) const;
    void CopyImageTo(c32bppDIB* cDIBclass, bool CopyOriginalFormat = false) const;
    bool GetOrginalFormat(std::vector<std::uint8_t>& outStream) const;

    bool Alpha() const { return alpha_; }
    std::int32_t ImageType() const { return imageKind_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::uint8_t* BitsPointer() { return bits_.empty() ? nullptr : bits_.data(); }
    const std::uint8_t* BitsPointer() const { return bits_.empty() ? nullptr : bits_.data(); }
    std::span<std::uint8_t> Bits() { return bits_; }
    std::span<const std::uint8_t> Bits() const { return bits_; }
    std::int32_t ScanWidth() const { return width_ * 4; }
    // Non-zero exactly while the surface holds an image.
    std::uintptr_t Handle() const { return reinterpret_cast<std::uintptr_t>(BitsPointer()); }
    bool hasImage() const { return !bits_.empty(); }
    // Windows 9x rendered without per-pixel alpha; no such render path exists here.
    bool isWin95Alpha() const { return false; }

    // Kept for callers that toggle it; there is no drawing context to manage.
    bool ManageOwnDC() const { return manageOwnDC_; }
    void SetManageOwnDC(bool manage) { manageOwnDC_ = manage; }
    // There are no GDI drawing contexts: always 0.
    std::uintptr_t LoadDIBinDC(bool bLoad);

    // A negative width, a zero width or height, or a size beyond the load budget yields
    // False and an empty surface; a negative height means the same as its absolute value.
    bool InitializeDIB(std::int32_t Width, std::int32_t Height);
    void DestroyDIB();

    // Composites the image, stretched, onto (X, Y, destWidth, destHeight) of destination with
    // source-over blending at the given opacity percentage. destWidth below 1 becomes the image
    // width and is written back; destHeight below 1 becomes the image height.
    bool Render(PixelSurface* destination, std::int32_t X, std::int32_t Y, std::int32_t& destWidth,
                std::int32_t destHeight, std::int32_t Opacity) const;

    // A PromptOverwrite of True asks `prompt` before replacing an existing file; without a
    // prompt the answer is No.
    bool SaveToFile(const std::string& FileName, bool PromptOverwrite = false,
                    const OverwritePrompt& prompt = {}) const;
    bool SaveToStream(std::vector<std::uint8_t>& outStream) const;

    // For the format readers.
    void SetAlpha(bool alpha) { alpha_ = alpha; }
    void SetImageType(std::int32_t kind) { imageKind_ = kind; }
    void SetOriginalFormat(std::span<const std::uint8_t> bytes);

  private:
    bool LoadFromBytes(std::span<const std::uint8_t> whole, std::size_t start, std::size_t length,
                       std::int32_t iconCx, std::int32_t iconCy, bool SaveFormat);

    ZeroedBytes bits_;
    std::int32_t height_ = 0;
    std::int32_t width_ = 0;
    std::int32_t imageKind_ = ImageKind::None;
    bool manageOwnDC_ = false;
    bool alpha_ = false;
    std::vector<std::uint8_t> originalFormat_;
};

} // namespace zr::imaging
