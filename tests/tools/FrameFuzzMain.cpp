#include "FrameFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::sim::runFrameFuzzInput(data, size);
    return 0;
}
