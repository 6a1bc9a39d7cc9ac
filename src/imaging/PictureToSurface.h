#pragma once

#include "imaging/mdlGDI.h"

namespace zr::imaging {

class c32bppDIB;

enum class PictureAlpha {
    Straight, // premultiplied here
    AsStored, // copied unchanged, for the caller to classify
};

// Makes `surface` from a platform picture, rows turned bottom-up. Straight colours are
// premultiplied as c × a div 255 (alpha-0 pixels all zero) and the alpha flag is set when any
// pixel is not opaque; AsStored copies the bytes. The image kind is the picture's type. False
// (surface empty) for a metafile, a picture of no size or inconsistent pixel data.
bool pictureToSurface(const mdlGDI::Picture& picture, c32bppDIB& surface, PictureAlpha alpha);

} // namespace zr::imaging
