#include "DifferentialCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string difference = zr::imaging::test::compareWithZlib({data, size});
    if (!difference.empty()) {
        std::fprintf(stderr, "own inflater and zlib disagree: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
