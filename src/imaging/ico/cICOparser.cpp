#include "imaging/ico/cICOparser.h"

#include "imaging/PictureToSurface.h"
#include "imaging/StreamSlice.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/ico/IcoBitmap.h"
#include "imaging/ico/IcoDirectory.h"

#include <new>

namespace zr::imaging {

namespace {

void decodeEntry(std::span<const std::uint8_t> data, const IcoEntry& entry, bool cursor,
                 c32bppDIB& surface) {
    const auto image = entryImage(data, entry);
    if (entry.isPng()) {
        cPNGparser().LoadStream(image, surface);
        if (surface.hasImage()) {
            surface.SetImageType(ImageKind::IconPng);
        }
        return;
    }
    decodeIcoBitmap(image, entry, cursor, surface);
}

} // namespace

bool cICOparser::LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                            std::int32_t iconCx, std::int32_t iconCy, std::int32_t streamStart,
                            std::int32_t streamLength) {
    const auto slice = streamSlice(inStream, streamStart, streamLength);
    if (!slice) {
        return false;
    }
    try {
        const auto directory = readIcoDirectory(*slice);
        if (!directory) {
            return false;
        }
        dibClass.DestroyDIB();
        const auto chosen = chooseIcoEntry(directory->entries, iconCx, iconCy);
        if (chosen) {
            decodeEntry(*slice, directory->entries[*chosen], directory->type == IcoType::Cursor,
                        dibClass);
        }
    } catch (const std::bad_alloc&) {
        dibClass.DestroyDIB();
    }
    return true;
}

bool cICOparser::ConvertstdPicTo32bpp(const mdlGDI::Picture* stdPic, c32bppDIB& cHost) {
    return stdPic != nullptr && pictureToSurface(*stdPic, cHost, PictureAlpha::Straight);
}

} // namespace zr::imaging
