#include "GifReference.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>

namespace zr::imaging::test {

namespace {

struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* source = static_cast<Source*>(gif->UserData);
    const auto count =
        std::min<std::size_t>(static_cast<std::size_t>(wanted), source->bytes->size() - source->at);
    std::memcpy(out, source->bytes->data() + source->at, count);
    source->at += count;
    return static_cast<int>(count);
}

struct GifClose {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

} // namespace

std::optional<GifReferenceFrame> giflibFirstFrame(const std::vector<std::uint8_t>& bytes) {
    Source source{&bytes};
    int error = 0;
    const std::unique_ptr<GifFileType, GifClose> gif(DGifOpen(&source, readFromMemory, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) {
        return std::nullopt;
    }
    const SavedImage& image = gif->SavedImages[0];
    GifReferenceFrame frame;
    frame.left = image.ImageDesc.Left;
    frame.top = image.ImageDesc.Top;
    frame.width = image.ImageDesc.Width;
    frame.height = image.ImageDesc.Height;
    const auto count =
        static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
    frame.indices.assign(image.RasterBits, image.RasterBits + count);
    const ColorMapObject* map =
        image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
    for (int i = 0; map != nullptr && i < map->ColorCount; ++i) {
        const GifColorType& colour = map->Colors[i];
        frame.colourTable.insert(frame.colourTable.end(), {colour.Red, colour.Green, colour.Blue});
    }
    GraphicsControlBlock control{};
    if (DGifSavedExtensionToGCB(gif.get(), 0, &control) == GIF_OK) {
        frame.transparentIndex = control.TransparentColor;
    }
    return frame;
}

} // namespace zr::imaging::test
