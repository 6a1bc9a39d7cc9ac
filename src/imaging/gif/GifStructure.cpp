#include "imaging/gif/GifStructure.h"

#include "imaging/ByteView.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace zr::imaging {

namespace {

constexpr std::size_t kScreenDescriptorBytes = 13;
constexpr std::size_t kImageDescriptorBytes = 10;
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImageDescriptor = 0x2C;
constexpr std::uint8_t kPadding = 0x00;
constexpr std::uint8_t kGraphicControl = 0xF9;
constexpr std::uint8_t kTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;
constexpr std::uint8_t kTransparencyFlag = 0x01;

bool hasSignature(const ByteView& view) {
    const auto head = view.slice(0, 6);
    if (!head) {
        return false;
    }
    std::string lowered;
    for (const std::uint8_t byte : *head) {
        lowered.push_back(static_cast<char>(std::tolower(byte)));
    }
    return lowered == "gif89a" || lowered == "gif87a";
}

std::size_t tableBytes(std::uint8_t packed) {
    return std::size_t{3} << ((packed & 7U) + 1U);
}

// The offset just past a chain of sub-blocks starting at `offset` (a size byte, that many
// bytes, until a size of 0); the data's end when the chain runs off it. Appends the payloads
// to `joined` when given.
std::size_t skipSubBlocks(const ByteView& view, std::size_t offset,
                          std::vector<std::uint8_t>* joined) {
    while (const auto size = view.u8(offset)) {
        ++offset;
        if (*size == 0) {
            return offset;
        }
        const auto payload = view.slice(offset, std::min<std::size_t>(*size, view.size() - offset));
        if (joined != nullptr) {
            joined->insert(joined->end(), payload->begin(), payload->end());
        }
        offset += payload->size();
    }
    return view.size();
}

// The transparent index a graphic control extension at `offset` sets, or -1.
std::int32_t transparentIndexOf(const ByteView& view, std::size_t offset) {
    const auto blockSize = view.u8(offset + 2);
    const auto packed = view.u8(offset + 3);
    const auto index = view.u8(offset + 6);
    if (!blockSize || *blockSize < 4 || !packed || !index || (*packed & kTransparencyFlag) == 0) {
        return -1;
    }
    return *index;
}

bool readImage(const ByteView& view, std::size_t offset, std::span<const std::uint8_t> global,
               GifFrame& frame) {
    const auto left = view.u16(offset + 1);
    const auto top = view.u16(offset + 3);
    const auto width = view.u16(offset + 5);
    const auto height = view.u16(offset + 7);
    const auto packed = view.u8(offset + 9);
    if (!left || !top || !width || !height || !packed) {
        return false;
    }
    frame.left = *left;
    frame.top = *top;
    frame.width = *width;
    frame.height = *height;
    frame.interlaced = (*packed & kInterlaceFlag) != 0;
    frame.localTable = (*packed & kTableFlag) != 0;
    std::size_t next = offset + kImageDescriptorBytes;
    frame.colourTable = global;
    if (frame.localTable) {
        const auto local = view.slice(next, tableBytes(*packed));
        if (!local) {
            return false;
        }
        frame.colourTable = *local;
        next += local->size();
    }
    const auto codeSize = view.u8(next);
    if (!codeSize) {
        return false;
    }
    frame.minimumCodeSize = *codeSize;
    const std::size_t end = skipSubBlocks(view, next + 1, &frame.codes);
    frame.imageDataBytes = end - next;
    return true;
}

} // namespace

GifScan scanGif(std::span<const std::uint8_t> data, GifFrame& frame) {
    const ByteView view(data);
    if (!hasSignature(view)) {
        return GifScan::NotGif;
    }
    const auto screenPacked = view.u8(10);
    if (!screenPacked) {
        return GifScan::NoImage;
    }
    std::size_t offset = kScreenDescriptorBytes;
    std::span<const std::uint8_t> global;
    if ((*screenPacked & kTableFlag) != 0) {
        const auto table = view.slice(offset, tableBytes(*screenPacked));
        if (!table) {
            return GifScan::NoImage;
        }
        global = *table;
        offset += table->size();
    }
    std::int32_t transparentIndex = -1;
    while (const auto introducer = view.u8(offset)) {
        if (*introducer == kPadding) {
            ++offset;
        } else if (*introducer == kExtension) {
            const auto label = view.u8(offset + 1);
            if (!label) {
                return GifScan::NoImage;
            }
            // A control extension whose transparency flag is clear leaves an earlier one's
            // index in force.
            const std::int32_t index =
                *label == kGraphicControl ? transparentIndexOf(view, offset) : -1;
            transparentIndex = index >= 0 ? index : transparentIndex;
            offset = skipSubBlocks(view, offset + 2, nullptr);
        } else if (*introducer == kImageDescriptor) {
            frame.transparentIndex = transparentIndex;
            return readImage(view, offset, global, frame) ? GifScan::Image : GifScan::NoImage;
        } else {
            return GifScan::NoImage;
        }
    }
    return GifScan::NoImage;
}

} // namespace zr::imaging
