#include "Console.h"

#include <cstdio>

namespace zr::sim {

void announce(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void complain(std::string_view line) {
    std::fputs("zr-programmer-sim: ", stderr);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace zr::sim
