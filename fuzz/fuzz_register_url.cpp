#include "register/CsvExport.h"
#include "register/RegisterUrl.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Register addresses come from the command line and the settings file; CSV fields from
// station names and UIDs.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto address = zr::reg::parseRegisterUrl(text);
    if (address) {
        // What the parser accepts describes itself as an address that parses to the same.
        const auto again =
            zr::reg::parseRegisterUrl(address.value().engine == zr::platform::SqlEngine::Sqlite
                                          ? "sqlite:" + address.value().path
                                          : zr::reg::describeAddress(address.value()));
        if (!again ||
            zr::reg::describeAddress(again.value()) != zr::reg::describeAddress(address.value())) {
            std::abort();
        }
    }
    const std::string field = zr::reg::csvField(text);
    if (field.size() > 2 * size + 2) {
        std::abort();
    }
    return 0;
}
