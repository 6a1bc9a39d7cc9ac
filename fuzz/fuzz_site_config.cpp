#include "keys/SiteConfig.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto config = zr::keys::parseSiteConfig(content, "fuzz.ini");
    if (!config) {
        (void)zr::keys::siteConfigErrorMessage(config.error(), false);
    }
    return 0;
}
