#include "imaging/PictureToSurface.h"

#include "imaging/Premultiply.h"
#include "imaging/c32bppDIB.h"

#include <cstddef>
#include <cstring>

namespace zr::imaging {

bool pictureToSurface(const mdlGDI::Picture& picture, c32bppDIB& surface, PictureAlpha alpha) {
    surface.DestroyDIB();
    if (picture.type == platform::PictureType::Metafile ||
        picture.type == platform::PictureType::EnhancedMetafile) {
        return false;
    }
    if (!surface.InitializeDIB(picture.width, picture.height) ||
        picture.bgra.size() != surface.Bits().size()) {
        surface.DestroyDIB();
        return false;
    }
    const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
    const auto rows = static_cast<std::size_t>(surface.Height());
    const std::uint8_t* source = picture.bgra.data();
    auto target = surface.Bits();
    bool translucent = false;
    for (std::size_t y = 0; y < rows; ++y, source += rowBytes) {
        std::uint8_t* out = target.data() + (rows - 1 - y) * rowBytes;
        if (alpha == PictureAlpha::AsStored) {
            std::memcpy(out, source, rowBytes);
        } else {
            translucent = premultiplyPixels(source, out, rowBytes / 4) || translucent;
        }
    }
    surface.SetAlpha(translucent);
    surface.SetImageType(picture.type);
    return true;
}

} // namespace zr::imaging
