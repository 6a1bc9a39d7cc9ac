#pragma once

#include "imaging/mdlGDI.h"

namespace zr::imaging {

class c32bppDIB;

// Makes `surface` from a platform picture: straight colours premultiplied as c × a div 255,
// alpha-0 pixels all zero, rows turned bottom-up. The alpha flag is set when any pixel is not
// opaque; the image kind is the picture's type. False (surface empty) for a metafile, a
// picture of no size or inconsistent pixel data.
bool pictureToSurface(const mdlGDI::Picture& picture, c32bppDIB& surface);

} // namespace zr::imaging
