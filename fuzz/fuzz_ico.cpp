// The icon/cursor reader alone: directory validation, entry choice for a small and a large
// request, bitmap and PNG entries.
#include "imaging/c32bppDIB.h"
#include "imaging/ico/cICOparser.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const std::int32_t wanted : {0, 256}) {
        zr::imaging::c32bppDIB surface;
        const bool recognised =
            zr::imaging::cICOparser().LoadStream(std::span(data, size), surface, wanted, wanted);
        if (surface.hasImage() &&
            (!recognised || surface.Bits().size() !=
                                static_cast<std::size_t>(surface.Width()) * 4 * surface.Height())) {
            __builtin_trap();
        }
    }
    return 0;
}
