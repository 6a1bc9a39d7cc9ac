#pragma once

#include "imaging/png/PngError.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zr::imaging {

class c32bppDIB;

// Reads PNG into a c32bppDIB (image kind 10) and writes a surface out as PNG. Loading returns
// true as soon as the data carries the PNG signature, whether or not the image then decodes;
// a failed decode leaves the surface empty, and lastError() says why. zlib, when the platform
// has it, inflates and checks CRCs (a stored CRC of 0 is never checked); without it the own
// inflater runs and no CRC is checked.
class cPNGparser {
  public:
    // Reads the slice in place. A start below 0 is raised to 0; a length of 0 means "to the
    // end"; a slice outside inStream is not PNG.
    bool LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                    std::int32_t streamOffset = 0, std::int32_t streamLength = 0);
    bool LoadFile(const std::string& FileName, c32bppDIB& dibClass);

    // Writes the surface through the platform PNG encoder; false without an image or when
    // encoding or writing fails.
    bool SaveTo(const c32bppDIB& dibClass, const std::string& FileName) const;
    bool SaveTo(const c32bppDIB& dibClass, std::vector<std::uint8_t>& outStream) const;

    PngError lastError() const { return lastError_; }

  private:
    PngError lastError_ = PngError::None;
};

} // namespace zr::imaging
