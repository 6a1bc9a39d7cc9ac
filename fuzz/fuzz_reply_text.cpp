#include "protocol/ReplyText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = zr::protocol::replyText(std::span(data, size));
    if (text.size() > 2 * size || text.find('\0') != std::string::npos) {
        std::abort();
    }
    (void)zr::protocol::withoutOkAndNo(text);
    return 0;
}
