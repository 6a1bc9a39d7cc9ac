// The platform zlib found at run time: its entry points agree with the linked zlib, and the
// process or the environment can switch it off.
#include "imaging/inflate/ZlibRuntime.h"

#include "ZlibPeer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <zlib.h>

namespace zr::imaging::test {
namespace {

TEST(ZlibRuntimeTest, UncompressAndCrc32AgreeWithLinkedZlib) {
    const ZlibRuntime* zlib = ZlibRuntime::get();
    ASSERT_NE(zlib, nullptr);
    ASSERT_TRUE(zlib->hasUncompress());
    const Bytes data = textLike(50000, 41);
    const Bytes stream = zlibCompress(data, 6, Z_DEFAULT_STRATEGY);

    Bytes output(data.size());
    std::size_t written = 0;
    ASSERT_TRUE(zlib->uncompress(stream, output, written));
    EXPECT_EQ(written, data.size());
    EXPECT_TRUE(output == data);

    Bytes tooSmall(data.size() - 1);
    EXPECT_FALSE(zlib->uncompress(stream, tooSmall, written));

    Bytes damaged = stream;
    damaged.back() ^= 0x01; // zlib checks the Adler-32 trailer
    EXPECT_FALSE(zlib->uncompress(damaged, output, written));

    for (const Bytes& crcData : {Bytes{}, bytesOf("IEND"), randomBytes(9999, 42)}) {
        const uLong expected =
            ::crc32(::crc32(0, nullptr, 0), crcData.data(), static_cast<uInt>(crcData.size()));
        EXPECT_EQ(zlib->crc32(crcData), static_cast<std::uint32_t>(expected));
    }
    EXPECT_EQ(zlib->crc32(bytesOf("123456789")), 0xCBF43926u); // the published check value
}

TEST(ZlibRuntimeTest, SwitchedOffByTheProcessOrTheEnvironment) {
    ZlibRuntime::setZlibDisabled(true);
    EXPECT_EQ(ZlibRuntime::get(), nullptr);
    ZlibRuntime::setZlibDisabled(false);
    EXPECT_NE(ZlibRuntime::get(), nullptr);

    const std::pair<const char*, bool> cases[] = {
        {"1", true}, {"yes", true}, {"0", false}, {"", false}};
    for (const auto& [value, disabled] : cases) {
        SCOPED_TRACE(value);
        ASSERT_EQ(::setenv("ZR_NO_ZLIB", value, 1), 0);
        EXPECT_EQ(ZlibRuntime::get() == nullptr, disabled);
    }
    ::unsetenv("ZR_NO_ZLIB");
    EXPECT_NE(ZlibRuntime::get(), nullptr);
}

} // namespace
} // namespace zr::imaging::test
