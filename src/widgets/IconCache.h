#pragma once

#include "imaging/c32bppDIB.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace zr::widgets {

// Supplies the icon image for a file name, to be drawn in a place `fitSide` pixels square;
// nothing when the file cannot be loaded.
class IconLoader {
  public:
    virtual ~IconLoader() = default;
    virtual const imaging::c32bppDIB* load(const std::string& fileName, int fitSide) = 0;
};

// Reads the icon file again whenever it may have changed, but reuses the decoded image (or
// the failure) while the file's size and modification time and the place stay the same, so
// hover and focus repaints do not decode. A file replaced on disk shows at the next repaint.
// An image larger than its place is scaled down to fit once, when it is loaded (as
// ScaleImage's mode 1 sizes it), and only the scaled image is kept.
class IconCache final : public IconLoader {
  public:
    const imaging::c32bppDIB* load(const std::string& fileName, int fitSide) override;

    // Decodes run so far (for tests and the benchmark).
    std::uint64_t decodeCount() const { return decodes_; }

  private:
    struct Stamp {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stampOf(const std::string& fileName);

    std::string fileName_;
    std::optional<Stamp> stamp_;
    int fitSide_ = 0;
    bool loaded_ = false;
    imaging::c32bppDIB image_;
    std::uint64_t decodes_ = 0;
};

} // namespace zr::widgets
