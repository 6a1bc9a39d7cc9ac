#include "imaging/ico/IcoDirectory.h"

#include "imaging/ByteView.h"
#include "imaging/ImageLimits.h"
#include "imaging/ico/IcoBitmap.h"

#include <array>
#include <cstdlib>

namespace zr::imaging {

std::span<const std::uint8_t> entryImage(std::span<const std::uint8_t> data,
                                         const IcoEntry& entry) {
    return entry.offset < data.size() ? data.subspan(entry.offset)
                                      : std::span<const std::uint8_t>();
}

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kBitCountField = 14;  // inside a bitmap information header
constexpr std::size_t kPngHeaderBytes = 26; // signature, IHDR length and tag, size, depth, type
constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint16_t pngBitsPerPixel(std::uint8_t depth, std::uint8_t colourType) {
    constexpr std::array<std::uint16_t, 7> kChannels{1, 0, 3, 1, 2, 0, 4};
    return colourType < kChannels.size() ? static_cast<std::uint16_t>(depth * kChannels[colourType])
                                         : 0;
}

enum class EntryCheck { Usable, Unusable, RejectFile };

// Takes the PNG header's size and depth into the entry; a size the surface cannot hold leaves
// the entry undrawable.
EntryCheck readPngEntry(std::span<const std::uint8_t> image, IcoEntry& entry) {
    if (image.size() < kPngHeaderBytes ||
        !std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin()) ||
        image[12] != 'I' || image[13] != 'H') {
        return EntryCheck::Unusable;
    }
    const ByteView view(image);
    const std::uint32_t width = *view.u32be(16);
    const std::uint32_t height = *view.u32be(20);
    entry.planes = 255;
    if (!limits::surfaceBytes(width, height)) {
        entry.bitCount = 0;
        return EntryCheck::Usable;
    }
    entry.width = static_cast<std::int32_t>(width);
    entry.height = static_cast<std::int32_t>(height);
    entry.bitCount = pngBitsPerPixel(image[24], image[25]);
    return EntryCheck::Usable;
}

// The bitmap's own header gives the size; one that is not whole in the data, or passes the
// load budget, leaves the entry undrawable (it stays part of a valid directory).
void measureBitmapEntry(std::span<const std::uint8_t> image, IcoEntry& entry) {
    const auto size = measureIcoBitmap(image, entry.bitCount);
    if (!size) {
        entry.bitCount = 0;
        return;
    }
    entry.width = size->width;
    entry.height = size->height;
}

EntryCheck checkEntry(const ByteView& view, IcoEntry& entry) {
    // An entry whose own image lies outside the data is never read, whatever the directory's
    // byte-count total says. Its byte count is not trusted further than that: writers that
    // store too small a count exist, so the image is read up to the end of the data.
    const auto image = entryImage(view.bytes(), entry);
    if (!view.holds(entry.offset, entry.bytes) || image.size() < kBitCountField + 2) {
        return EntryCheck::Unusable;
    }
    const std::uint8_t low = image[kBitCountField];
    const std::uint8_t high = image[kBitCountField + 1];
    if (low == 'D' && high == 'R') {
        return readPngEntry(image, entry);
    }
    const auto headerBits = static_cast<std::uint16_t>(low | high << 8);
    if (headerBits == 0 && entry.bitCount == 0) {
        return EntryCheck::RejectFile;
    }
    if (headerBits != 0) {
        entry.bitCount = headerBits;
    }
    measureBitmapEntry(image, entry);
    return EntryCheck::Usable;
}

} // namespace

std::optional<IcoDirectory> readIcoDirectory(std::span<const std::uint8_t> data) {
    const ByteView view(data);
    const auto reserved = view.u16(0);
    const auto type = view.u16(2);
    const auto count = view.u16(4);
    if (!reserved || *reserved != 0 || !type ||
        (*type != IcoType::Icon && *type != IcoType::Cursor) || !count || *count == 0) {
        return std::nullopt;
    }
    const std::size_t directoryEnd = kHeaderBytes + kEntryBytes * *count;
    if (!view.holds(0, directoryEnd)) {
        return std::nullopt;
    }
    IcoDirectory directory;
    directory.type = *type;
    std::uint64_t total = directoryEnd;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t at = kHeaderBytes + kEntryBytes * i;
        IcoEntry entry;
        entry.bitCount = *view.u16(at + 6);
        entry.bytes = *view.u32(at + 8);
        entry.offset = *view.u32(at + 12);
        total += entry.bytes;
        directory.entries.push_back(entry);
    }
    if (total > data.size()) {
        return std::nullopt;
    }
    bool anyUsable = false;
    for (IcoEntry& entry : directory.entries) {
        switch (checkEntry(view, entry)) {
        case EntryCheck::RejectFile:
            return std::nullopt;
        case EntryCheck::Unusable:
            entry.bitCount = 0;
            break;
        case EntryCheck::Usable:
            anyUsable = true;
            break;
        }
    }
    if (!anyUsable) {
        return std::nullopt;
    }
    return directory;
}

std::optional<std::size_t> chooseIcoEntry(std::span<const IcoEntry> entries, std::int32_t iconCx,
                                          std::int32_t iconCy) {
    if (entries.empty()) {
        return std::nullopt;
    }
    if (entries.size() == 1) {
        return entries[0].bitCount != 0 ? std::optional<std::size_t>(0) : std::nullopt;
    }
    const std::int64_t wantedCx = iconCx < 1 ? 32 : iconCx;
    const std::int64_t wantedCy = iconCy < 1 ? 32 : iconCy;
    constexpr std::int64_t kNoScore = 10000;
    std::vector<std::int64_t> scores(entries.size(), 0);
    std::int64_t best = kNoScore;
    std::optional<std::size_t> chosen;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IcoEntry& entry = entries[i];
        if (entry.bitCount == 0) {
            continue;
        }
        std::int64_t dw = entry.width - wantedCx;
        std::int64_t dh = entry.height - wantedCy;
        dw *= wantedCx > entry.width ? 2 : 1;
        dh *= wantedCy > entry.height ? 2 : 1;
        const std::int64_t bitDistance = std::abs(32 - std::int64_t{entry.bitCount});
        scores[i] = entry.bitCount > 32 ? -kNoScore : dw + dh + bitDistance;
        // A deep entry smaller than wanted both ways can outweigh its size deficit with its
        // bit depth; it must not beat an entry that is large enough.
        if (entry.width < wantedCx && entry.height < wantedCy) {
            continue;
        }
        if (scores[i] == 0) {
            chosen = i;
            break;
        }
        if (scores[i] > 0 && scores[i] < best) {
            best = scores[i];
            chosen = i;
        }
    }
    if (!chosen) {
        for (std::size_t i = entries.size(); i-- > 0;) {
            if (entries[i].bitCount == 0) {
                continue;
            }
            const std::int64_t score =
                std::abs(scores[i]) + std::abs(32 - std::int64_t{entries[i].bitCount});
            if (score < best) {
                best = score;
                chosen = i;
            }
        }
    }
    const std::size_t index = chosen.value_or(0);
    return entries[index].bitCount != 0 ? std::optional<std::size_t>(index) : std::nullopt;
}

} // namespace zr::imaging
