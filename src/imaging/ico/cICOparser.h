#pragma once

#include "imaging/mdlGDI.h"

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;

// Reads icon and cursor files: picks the directory entry that best fits the wanted size and
// decodes it through its AND mask (image kind 3 icon / 5 cursor), its own alpha (8 / 12) or,
// for a PNG entry, the PNG reader (11).
class cICOparser {
  public:
    // True when the directory is valid, whether or not the chosen entry then decodes (a bad
    // entry leaves the surface empty); False lets the next reader try. Wanted sizes below 1
    // are taken as 32.
    bool LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                    std::int32_t iconCx, std::int32_t iconCy, std::int32_t streamStart = 0,
                    std::int32_t streamLength = 0);

    // Makes the surface from an icon or cursor picture of the platform loader.
    bool ConvertstdPicTo32bpp(const mdlGDI::Picture* stdPic, c32bppDIB& cHost);
};

} // namespace zr::imaging
