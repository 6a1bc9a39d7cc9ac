#include "widgets/IconCache.h"

#include "imaging/PixelSurface.h"

#include <algorithm>
#include <system_error>

namespace zr::widgets {

namespace {

// The size the loader asks icon files for (the entry nearest to it is chosen).
constexpr std::int32_t kIconRequest = 256;

// Replaces `image` by itself scaled to fit fitSide × fitSide when it is larger, drawn once
// through Render's resampling; the alpha flag and image kind stay.
void fitInto(imaging::c32bppDIB& image, int fitSide) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    image.ScaleImage(fitSide, fitSide, width, height, imaging::ScaleMode::FitNoEnlarge);
    if (width >= image.Width() || height >= image.Height() || width < 1 || height < 1) {
        return;
    }
    imaging::PixelSurface scaled(width, height);
    std::int32_t renderedWidth = width;
    if (scaled.isEmpty() || !image.Render(&scaled, 0, 0, renderedWidth, height, 100)) {
        return;
    }
    const bool alpha = image.Alpha();
    const std::int32_t kind = image.ImageType();
    if (!image.InitializeDIB(width, height)) {
        return;
    }
    const auto rowBytes = scaled.stride();
    for (std::int32_t y = 0; y < height; ++y) {
        const auto source = scaled.row(height - 1 - y);
        std::copy(source.begin(), source.end(),
                  image.Bits().begin() + static_cast<std::ptrdiff_t>(rowBytes) * y);
    }
    image.SetAlpha(alpha);
    image.SetImageType(kind);
}

} // namespace

std::optional<IconCache::Stamp> IconCache::stampOf(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path path(fileName);
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    Stamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    stamp.modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return stamp;
}

const imaging::c32bppDIB* IconCache::load(const std::string& fileName, int fitSide) {
    const std::optional<Stamp> stamp = stampOf(fileName);
    if (!stamp) {
        fileName_.clear();
        stamp_.reset();
        image_.DestroyDIB();
        loaded_ = false;
        return nullptr;
    }
    if (fileName != fileName_ || stamp != stamp_ || fitSide != fitSide_) {
        fileName_ = fileName;
        stamp_ = stamp;
        fitSide_ = fitSide;
        ++decodes_;
        loaded_ = image_.LoadPicture_File(fileName, kIconRequest, kIconRequest, false);
        if (loaded_) {
            fitInto(image_, fitSide);
        }
    }
    return loaded_ ? &image_ : nullptr;
}

} // namespace zr::widgets
