#include "DifferentialCheck.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace zr::imaging::test {
namespace {

namespace fs = std::filesystem;

// Every saved fuzzer case (crash regressions and the seed corpus) still gets the same answer
// from the own inflater as from zlib.
TEST(InflateRegressions, SavedCasesAgreeWithZlib) {
    const fs::path root{ZR_INFLATE_TEST_DIR};
    std::size_t replayed = 0;
    for (const fs::path& folder : {root / "regressions", root / "corpus" / "fuzz_inflate"}) {
        if (!fs::exists(folder)) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (!entry.is_regular_file() || entry.path().extension() == ".md") {
                continue;
            }
            SCOPED_TRACE(entry.path().string());
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file),
                                                 std::istreambuf_iterator<char>()};
            EXPECT_EQ(compareWithZlib(data), "");
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0u);
}

} // namespace
} // namespace zr::imaging::test
