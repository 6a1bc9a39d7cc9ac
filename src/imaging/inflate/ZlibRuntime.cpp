#include "imaging/inflate/ZlibRuntime.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <limits>
#include <zlib.h>

namespace zr::imaging {
namespace {

std::atomic<bool> disabledByCaller{false};

// Read at every call rather than once, so a process (or a test) may change its mind.
bool disabledByEnvironment() {
    const char* value = std::getenv("ZR_NO_ZLIB");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

template <typename Function> Function lookUp(void* library, const char* name) {
    void* const address = ::dlsym(library, name);
    Function function = nullptr;
    static_assert(sizeof function == sizeof address);
    std::memcpy(&function, &address, sizeof function);
    return function;
}

} // namespace

void ZlibRuntime::LibraryCloser::operator()(void* library) const {
    ::dlclose(library);
}

std::optional<ZlibRuntime> ZlibRuntime::load() {
    LibraryHandle library{::dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL)};
    if (!library) {
        library.reset(::dlopen("libz.so", RTLD_NOW | RTLD_LOCAL));
    }
    if (!library) {
        return std::nullopt;
    }
    ZlibRuntime runtime;
    runtime.m_uncompress = lookUp<UncompressFunction>(library.get(), "uncompress");
    runtime.m_crc32 = lookUp<Crc32Function>(library.get(), "crc32");
    runtime.m_inflateInit = lookUp<InflateInitFunction>(library.get(), "inflateInit_");
    runtime.m_inflate = lookUp<InflateFunction>(library.get(), "inflate");
    runtime.m_inflateEnd = lookUp<InflateEndFunction>(library.get(), "inflateEnd");
    runtime.m_library = std::move(library);
    return runtime;
}

const ZlibRuntime* ZlibRuntime::get() {
    if (disabledByCaller.load() || disabledByEnvironment()) {
        return nullptr;
    }
    static const std::optional<ZlibRuntime> loaded = load();
    return loaded ? &*loaded : nullptr;
}

void ZlibRuntime::setZlibDisabled(bool disabled) {
    disabledByCaller.store(disabled);
}

bool ZlibRuntime::hasUncompress() const {
    return m_uncompress != nullptr;
}

bool ZlibRuntime::uncompress(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                             std::size_t& written) const {
    written = 0;
    if (m_uncompress == nullptr) {
        return false;
    }
    // zlib refuses a null destination even when nothing is to be written.
    std::uint8_t spare = 0;
    std::uint8_t* const destination = output.empty() ? &spare : output.data();
    unsigned long destinationLength = output.size();
    const int result = m_uncompress(destination, &destinationLength, input.data(), input.size());
    if (result != 0) {
        return false;
    }
    written = destinationLength;
    return true;
}

bool ZlibRuntime::hasInflate() const {
    return m_inflateInit != nullptr && m_inflate != nullptr && m_inflateEnd != nullptr;
}

bool ZlibRuntime::inflate(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                          std::size_t maxBlocks, std::size_t& written) const {
    written = 0;
    constexpr std::size_t kMaxChunk = std::numeric_limits<uInt>::max();
    if (!hasInflate() || input.size() > kMaxChunk || output.size() > kMaxChunk) {
        return false;
    }
    std::uint8_t spare = 0;
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = output.empty() ? &spare : output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    if (m_inflateInit(&stream, ZLIB_VERSION, static_cast<int>(sizeof stream)) != Z_OK) {
        return false;
    }
    // Z_BLOCK returns at every block boundary (data_type bit 128), so the blocks can be
    // counted and a flood of empty ones stopped.
    std::size_t blocks = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        result = m_inflate(&stream, Z_BLOCK);
        if (result == Z_OK && (stream.data_type & 128) != 0 && ++blocks > maxBlocks) {
            break;
        }
        if (result == Z_OK && stream.avail_in == 0) {
            break; // the input ended before the final block
        }
    }
    written = output.size() - stream.avail_out;
    m_inflateEnd(&stream);
    return result == Z_STREAM_END;
}

std::optional<std::uint32_t> ZlibRuntime::crc32(std::span<const std::uint8_t> data) const {
    if (m_crc32 == nullptr) {
        return std::nullopt;
    }
    // zlib takes the length as an unsigned int, so long data goes in slices.
    unsigned long crc = m_crc32(0, nullptr, 0);
    while (!data.empty()) {
        const std::size_t slice =
            std::min<std::size_t>(data.size(), std::numeric_limits<unsigned>::max());
        crc = m_crc32(crc, data.data(), static_cast<unsigned>(slice));
        data = data.subspan(slice);
    }
    return static_cast<std::uint32_t>(crc);
}

} // namespace zr::imaging
