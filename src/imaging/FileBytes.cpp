#include "imaging/FileBytes.h"

#include <fstream>
#include <ios>
#include <new>
#include <system_error>

namespace zr::imaging {

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& fileName,
                                                       std::size_t maxBytes) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file) {
        return std::nullopt;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<std::uintmax_t>(size) > maxBytes) {
        return std::nullopt;
    }
    try {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.seekg(0);
        if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
            return std::nullopt;
        }
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool writeFileBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

} // namespace zr::imaging
