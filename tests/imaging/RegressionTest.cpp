// Inputs that once broke a reader, replayed through the whole loader on both inflate routes.
#include "TestFiles.h"
#include "imaging/c32bppDIB.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <gtest/gtest.h>

namespace zr::imaging {
namespace {

TEST(Regressions, EveryKeptInputLoadsOrFailsCleanly) {
    const auto files = test::regressionFiles();
    EXPECT_FALSE(files.empty());
    for (const std::string& file : files) {
        for (const bool disableZlib : {false, true}) {
            SCOPED_TRACE(file + (disableZlib ? " (own inflater)" : " (zlib)"));
            ZlibRuntime::setZlibDisabled(disableZlib);
            const auto bytes = test::readBytes(file);
            c32bppDIB surface;
            const bool loaded = surface.LoadPicture_Stream(bytes);
            EXPECT_EQ(loaded, surface.hasImage());
            EXPECT_EQ(surface.Bits().size(),
                      static_cast<std::size_t>(surface.Width()) * 4 * surface.Height());
        }
    }
    ZlibRuntime::setZlibDisabled(false);
}

} // namespace
} // namespace zr::imaging
