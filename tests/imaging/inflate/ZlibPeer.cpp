#include "ZlibPeer.h"

#include <algorithm>
#include <array>
#include <random>
#include <zlib.h>

namespace zr::imaging::test {

Bytes zlibCompress(std::span<const std::uint8_t> data, int level, int strategy) {
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, MAX_WBITS, 8, strategy) != Z_OK) {
        return {};
    }
    Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : Bytes{};
}

std::optional<Bytes> zlibInflateRaw(std::span<const std::uint8_t> deflateData,
                                    std::size_t capacity) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return std::nullopt;
    }
    Bytes out;
    std::array<std::uint8_t, 1 << 16> chunk{};
    stream.next_in = const_cast<Bytef*>(deflateData.data());
    stream.avail_in = static_cast<uInt>(deflateData.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = chunk.data();
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        out.insert(out.end(), chunk.data(), stream.next_out);
        if (out.size() > capacity) {
            result = Z_BUF_ERROR;
        }
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        return std::nullopt;
    }
    return out;
}

Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random{seed};
    Bytes out(size);
    for (auto& byte : out) {
        byte = static_cast<std::uint8_t>(random());
    }
    return out;
}

Bytes textLike(std::size_t size, unsigned seed) {
    static constexpr std::array<std::string_view, 16> words{
        "card ",    "number ", "group ",  "key ",   "sector ", "write ", "read ",  "the ",
        "station ", "of ",     "serial ", "port\n", "reply ",  "OK ",    "timer ", "block "};
    std::mt19937 random{seed};
    Bytes out;
    out.reserve(size + 16);
    while (out.size() < size) {
        const std::string_view word = words[random() % words.size()];
        out.insert(out.end(), word.begin(), word.end());
        if (random() % 7 == 0) {
            out.push_back(static_cast<std::uint8_t>('0' + random() % 10));
        }
    }
    out.resize(size);
    return out;
}

Bytes longRuns(std::size_t size, unsigned seed) {
    std::mt19937 random{seed};
    Bytes out;
    out.reserve(size);
    while (out.size() < size) {
        const std::size_t run = 1 + random() % 2000;
        out.insert(out.end(), std::min(run, size - out.size()),
                   static_cast<std::uint8_t>(random() % 4));
    }
    return out;
}

Bytes skewedBytes(std::size_t size, unsigned seed) {
    std::mt19937 random{seed};
    std::geometric_distribution<int> skew{0.08};
    Bytes out;
    out.reserve(size);
    while (out.size() < size) {
        if (random() % 16 == 0 && out.size() > 100) {
            const std::size_t from = out.size() - 1 - random() % 100;
            for (std::size_t i = 0; i < 4 && out.size() < size; ++i) {
                out.push_back(out[from + i]);
            }
        } else {
            out.push_back(static_cast<std::uint8_t>(skew(random)));
        }
    }
    return out;
}

Bytes skewedDistances(std::size_t size, unsigned seed) {
    std::mt19937 random{seed};
    std::geometric_distribution<unsigned> magnitude{0.5};
    Bytes out = randomBytes(1 << 15, seed);
    while (out.size() < size) {
        const unsigned bits = std::min(magnitude(random), 14u);
        const std::size_t distance = (std::size_t{1} << bits) + random() % (1u << bits);
        const std::size_t from = out.size() - distance;
        for (std::size_t i = 0; i < 6; ++i) {
            out.push_back(out[from + i]);
        }
        out.push_back(static_cast<std::uint8_t>(random()));
    }
    out.resize(size);
    return out;
}

Bytes imageRows(std::size_t width, std::size_t height, unsigned seed) {
    std::mt19937 random{seed};
    const std::size_t stride = width * 3;
    Bytes pixels(stride * height);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const auto noise = static_cast<int>(random() % 5) - 2;
            std::uint8_t* pixel = &pixels[y * stride + x * 3];
            pixel[0] = static_cast<std::uint8_t>(x * 255 / width + noise);
            pixel[1] = static_cast<std::uint8_t>(y * 255 / height);
            pixel[2] = static_cast<std::uint8_t>((x + y) / 8);
        }
    }
    // Sub filter on every row, as an encoder would choose for horizontal gradients.
    Bytes rows;
    rows.reserve((stride + 1) * height);
    for (std::size_t y = 0; y < height; ++y) {
        rows.push_back(1);
        const std::uint8_t* row = &pixels[y * stride];
        for (std::size_t i = 0; i < stride; ++i) {
            rows.push_back(static_cast<std::uint8_t>(row[i] - (i >= 3 ? row[i - 3] : 0)));
        }
    }
    return rows;
}

} // namespace zr::imaging::test
