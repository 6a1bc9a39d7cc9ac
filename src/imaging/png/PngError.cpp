#include "imaging/png/PngError.h"

namespace zr::imaging {

const char* pngErrorText(PngError error) {
    switch (error) {
    case PngError::None:
        return "no error";
    case PngError::NotPng:
        return "not a PNG file (no PNG signature)";
    case PngError::ChunkOutOfBounds:
        return "a chunk runs past the end of the file";
    case PngError::MissingHeader:
        return "there is no IHDR chunk";
    case PngError::BadHeader:
        return "IHDR holds a size, depth, colour type or method PNG does not allow";
    case PngError::TooLarge:
        return "the image needs more memory than one load may use";
    case PngError::BadPalette:
        return "PLTE is empty, over 256 entries, or not a multiple of 3 bytes";
    case PngError::CrcMismatch:
        return "a chunk's CRC does not match its data";
    case PngError::NoImageData:
        return "no IDAT image data";
    case PngError::ImplausibleRatio:
        return "the compressed data is too small for the declared image size";
    case PngError::InflateFailed:
        return "the image data does not inflate, inflates past the image, or holds too many blocks";
    case PngError::BadFilter:
        return "a row has a filter type other than 0 to 4";
    case PngError::BadPaletteIndex:
        return "a pixel's palette index lies beyond the palette";
    case PngError::OutOfMemory:
        return "out of memory";
    }
    return "unknown error";
}

} // namespace zr::imaging
