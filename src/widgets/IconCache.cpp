#include "widgets/IconCache.h"

#include <system_error>

namespace zr::widgets {

namespace {

// The size the loader asks icon files for (the entry nearest to it is chosen).
constexpr std::int32_t kIconRequest = 256;

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

const imaging::c32bppDIB* IconCache::load(const std::string& fileName) {
    const std::optional<Stamp> stamp = stampOf(fileName);
    if (!stamp) {
        fileName_.clear();
        stamp_.reset();
        image_.DestroyDIB();
        loaded_ = false;
        return nullptr;
    }
    if (fileName != fileName_ || stamp != stamp_) {
        fileName_ = fileName;
        stamp_ = stamp;
        ++decodes_;
        loaded_ = image_.LoadPicture_File(fileName, kIconRequest, kIconRequest, false);
    }
    return loaded_ ? &image_ : nullptr;
}

} // namespace zr::widgets
