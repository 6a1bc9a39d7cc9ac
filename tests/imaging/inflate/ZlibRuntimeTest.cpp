#include "imaging/inflate/ZlibRuntime.h"

#include "ZlibPeer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <zlib.h>

namespace zr::imaging::test {
namespace {

// Leaves the process as it found it, whatever a test switched.
class ZlibRuntimeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        ZlibRuntime::setZlibDisabled(false);
        ::unsetenv("ZR_NO_ZLIB");
    }
};

TEST_F(ZlibRuntimeTest, LoadsThePlatformLibraryWithBothEntryPoints) {
    const ZlibRuntime* zlib = ZlibRuntime::get();
    ASSERT_NE(zlib, nullptr);
    EXPECT_TRUE(zlib->hasUncompress());
    EXPECT_TRUE(zlib->crc32({}).has_value());
    EXPECT_EQ(ZlibRuntime::get(), zlib);
}

TEST_F(ZlibRuntimeTest, UncompressAgreesWithLinkedZlib) {
    const ZlibRuntime* zlib = ZlibRuntime::get();
    ASSERT_NE(zlib, nullptr);
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
}

TEST_F(ZlibRuntimeTest, Crc32AgreesWithLinkedZlib) {
    const ZlibRuntime* zlib = ZlibRuntime::get();
    ASSERT_NE(zlib, nullptr);
    for (const Bytes& data :
         {Bytes{}, bytesOf("IEND"), bytesOf("123456789"), randomBytes(9999, 42)}) {
        const uLong expected =
            ::crc32(::crc32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size()));
        EXPECT_EQ(zlib->crc32(data), static_cast<std::uint32_t>(expected));
    }
    EXPECT_EQ(zlib->crc32(bytesOf("123456789")), 0xCBF43926u); // the published check value
}

TEST_F(ZlibRuntimeTest, DisabledByTheProcess) {
    ZlibRuntime::setZlibDisabled(true);
    EXPECT_EQ(ZlibRuntime::get(), nullptr);
    ZlibRuntime::setZlibDisabled(false);
    EXPECT_NE(ZlibRuntime::get(), nullptr);
}

TEST_F(ZlibRuntimeTest, EnvironmentSwitch) {
    const struct {
        const char* value;
        bool disabled;
    } cases[] = {{"1", true}, {"yes", true}, {"0", false}, {"", false}};
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.value);
        ASSERT_EQ(::setenv("ZR_NO_ZLIB", entry.value, 1), 0);
        EXPECT_EQ(ZlibRuntime::get() == nullptr, entry.disabled);
    }
    ::unsetenv("ZR_NO_ZLIB");
    EXPECT_NE(ZlibRuntime::get(), nullptr);
}

} // namespace
} // namespace zr::imaging::test
