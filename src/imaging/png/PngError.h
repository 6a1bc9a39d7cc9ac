#pragma once

namespace zr::imaging {

// Why a recognised PNG produced no image. The reader never reports these as failures of its
// own call (a recognised PNG always returns true); they explain the empty surface.
enum class PngError {
    None,
    NotPng,           // the first eight bytes are not the PNG signature
    ChunkOutOfBounds, // a chunk (or its length field) runs past the end of the data
    MissingHeader,    // no IHDR before the image data ends
    BadHeader,        // IHDR length or one of its values is outside what PNG allows
    TooLarge,         // the surface and the buffers to decode it pass the load budget
    BadPalette,       // PLTE length not a multiple of 3, empty, or over 256 entries
    CrcMismatch,      // IHDR, PLTE or IDAT failed its CRC check
    NoImageData,      // no IDAT data before the end of the walk
    ImplausibleRatio, // the compressed data is too small to inflate to the declared size
    InflateFailed,   // the data does not inflate, inflates past the image, or holds too many blocks
    BadFilter,       // a row's filter byte is not 0 to 4
    BadPaletteIndex, // a pixel's index lies beyond the palette
    OutOfMemory,
};

// A short English sentence for the error, for tools and logs.
const char* pngErrorText(PngError error);

} // namespace zr::imaging
