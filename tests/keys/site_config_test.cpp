#include "keys/IniReader.h"
#include "keys/SiteConfig.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

using namespace zr::keys;
namespace fs = std::filesystem;

const KeyBytes kSiteLogin{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};

TEST(SiteConfigTest, DefaultsAreTheDemonstrationValues) {
    const SiteConfig config = defaultSiteConfig();
    EXPECT_EQ(config.loginKey, (KeyBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(config.v1CardKey, (KeyBytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
    EXPECT_EQ(config.masks, (DerivationMasks{0x5A, 0xC3, 0x96}));
    EXPECT_EQ(config.source, "built-in defaults");
}

TEST(SiteConfigTest, FullFileWithCommentsBlanksCrLfAndBom) {
    const std::string file = "\xEF\xBB\xBF; site keys\r\n"
                             "# written by hand\r\n"
                             "[Other]\r\n"
                             "LoginKey = 000000000000\r\n"
                             "\r\n"
                             "  [ Site ]  ; the one that counts\r\n"
                             "\tLoginKey\t=\t112233445566\r\n"
                             "v1cardkey=a0b1c2d3e4f5 ; lower case is fine\r\n"
                             "Mask1 = 01\r\n"
                             "MASK2 = 02\r\n"
                             "Mask3 = fe";
    const auto config = parseSiteConfig(file, "site.ini");
    ASSERT_TRUE(config) << siteConfigErrorMessage(config.error(), true);
    EXPECT_EQ(config.value().loginKey, kSiteLogin);
    EXPECT_EQ(config.value().v1CardKey, (KeyBytes{0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}));
    EXPECT_EQ(config.value().masks, (DerivationMasks{0x01, 0x02, 0xFE}));
    EXPECT_EQ(config.value().source, "site.ini");
}

TEST(SiteConfigTest, PartialFileKeepsTheOtherDefaults) {
    const auto config = parseSiteConfig("[Site]\nMask2 = 77\n", "partial.ini");
    ASSERT_TRUE(config);
    SiteConfig expected = defaultSiteConfig();
    expected.masks.m2 = 0x77;
    EXPECT_EQ(config.value().loginKey, expected.loginKey);
    EXPECT_EQ(config.value().v1CardKey, expected.v1CardKey);
    EXPECT_EQ(config.value().masks, expected.masks);
}

TEST(SiteConfigTest, EmptyFileAndFileWithoutSiteSectionGiveDefaults) {
    for (const char* content : {"", "\xEF\xBB\xBF", "; nothing\n", "[Printer]\nPort = 9100\n"}) {
        const auto config = parseSiteConfig(content, "x.ini");
        ASSERT_TRUE(config) << content;
        EXPECT_EQ(config.value().masks, defaultSiteConfig().masks);
    }
}

struct MalformedCase {
    std::string content;
    SiteConfigError::Kind kind;
    std::string name;
    std::size_t line;
};

class MalformedSiteConfigTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedSiteConfigTest, IsAnErrorNamingFileKeyAndLine) {
    const auto config = parseSiteConfig(GetParam().content, "/etc/zr/site.ini");
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, GetParam().kind);
    EXPECT_EQ(config.error().name, GetParam().name);
    EXPECT_EQ(config.error().line, GetParam().line);
    EXPECT_EQ(config.error().file, "/etc/zr/site.ini");
    const std::string message = siteConfigErrorMessage(config.error(), true);
    EXPECT_NE(message.find("/etc/zr/site.ini"), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().name), std::string::npos) << message;
}

using Kind = SiteConfigError::Kind;

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedSiteConfigTest,
    testing::Values(
        MalformedCase{"[Site]\nLoginKey = FFFFFFFFFF\n", Kind::BadValue, "LoginKey", 2},
        MalformedCase{"[Site]\nLoginKey = FFFFFFFFFFFFFF\n", Kind::BadValue, "LoginKey", 2},
        MalformedCase{"[Site]\nV1CardKey = A0A1A2A3A4AG\n", Kind::BadValue, "V1CardKey", 2},
        MalformedCase{"[Site]\nV1CardKey = A0-A1-A2-A3-A4-A5\n", Kind::BadValue, "V1CardKey", 2},
        MalformedCase{"[Site]\nV1CardKey = 0xA0A1A2A3A4\n", Kind::BadValue, "V1CardKey", 2},
        MalformedCase{"[Site]\nMask1 = 5\n", Kind::BadValue, "Mask1", 2},
        MalformedCase{"[Site]\nMask2 = 123\n", Kind::BadValue, "Mask2", 2},
        MalformedCase{"[Site]\nMask3 =\n", Kind::BadValue, "Mask3", 2},
        MalformedCase{"[Site]\nMask3 = 9 6\n", Kind::BadValue, "Mask3", 2},
        MalformedCase{"[Site]\nMask3 = 96\rMask1 = 00\n", Kind::BadValue, "Mask3", 2},
        MalformedCase{"[Site]\nMask1 = 5A\nmask1 = 5B\n", Kind::DuplicateName, "Mask1", 3},
        MalformedCase{"[Site]\nLoginKy = FFFFFFFFFFFF\n", Kind::UnknownName, "LoginKy", 2},
        MalformedCase{"[Site]\nLoginKey FFFFFFFFFFFF\n", Kind::Syntax, "", 2},
        MalformedCase{"[Site\nMask1 = 00\n", Kind::Syntax, "", 1},
        MalformedCase{"[]\n", Kind::Syntax, "", 1},
        MalformedCase{"[Site] x\n", Kind::Syntax, "", 1},
        MalformedCase{"[Site]\n = 00\n", Kind::Syntax, "", 2},
        MalformedCase{std::string("[Site]\nMask1 = 0\0", 17), Kind::Syntax, "", 0}));

TEST(SiteConfigTest, TooLargeContentIsRefused) {
    const std::string huge(kMaxIniBytes + 1, ';');
    const auto config = parseSiteConfig(huge, "big.ini");
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, Kind::TooLarge);
}

TEST(SiteConfigTest, MessagesInBothLanguages) {
    const SiteConfigError error{Kind::BadValue, "/etc/zr/site.ini", "Mask1", 4, "5"};
    EXPECT_EQ(siteConfigErrorMessage(error, true),
              "Site configuration /etc/zr/site.ini, line 4, Mask1: value must be hexadecimal "
              "digits of the right length (5)");
    EXPECT_EQ(siteConfigErrorMessage(error, false),
              "站點設定檔 /etc/zr/site.ini，第 4 行，Mask1：值必須是長度正確的十六進位數字 (5)");
}

TEST(IniReaderTest, TrailingCommentsNeedABlankOrTheValueStart) {
    const auto entries = parseIni("[A]\nx = 1 ; c\ny = a;b\nz = # all comment\nw=#\n");
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries.value().size(), 4u);
    EXPECT_EQ(entries.value()[0].value, "1");
    EXPECT_EQ(entries.value()[1].value, "a;b");
    EXPECT_EQ(entries.value()[2].value, "");
    EXPECT_EQ(entries.value()[3].value, "");
    EXPECT_EQ(entries.value()[3].line, 5u);
    EXPECT_EQ(entries.value()[0].section, "A");
}

TEST(IniReaderTest, BomOnlyAtTheStartIsSkipped) {
    EXPECT_TRUE(parseIni("\xEF\xBB\xBF[A]\n"));
    EXPECT_FALSE(parseIni("[A]\n\xEF\xBB\xBF[B]\n"));
}

class SiteFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zr_site_test_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& content) const {
        fs::path path = dir_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    fs::path dir_;
};

TEST_F(SiteFilesTest, ExplicitFileIsRead) {
    const auto file = write("mine.ini", "[Site]\nLoginKey=112233445566\n");
    const auto config = loadSiteConfig({file, dir_ / "user.ini", dir_ / "system.ini"});
    ASSERT_TRUE(config);
    EXPECT_EQ(config.value().loginKey, kSiteLogin);
    EXPECT_EQ(config.value().source, file.string());
}

TEST_F(SiteFilesTest, MissingExplicitFileIsAnErrorEvenWithOtherFilesPresent) {
    write("user.ini", "[Site]\n");
    const auto config = loadSiteConfig({dir_ / "absent.ini", dir_ / "user.ini", dir_ / "sys.ini"});
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, Kind::Unreadable);
    EXPECT_EQ(config.error().file, (dir_ / "absent.ini").string());
}

TEST_F(SiteFilesTest, UserFileComesBeforeSystemFile) {
    write("user.ini", "[Site]\nMask1=01\n");
    write("system.ini", "[Site]\nMask1=02\n");
    const auto config = loadSiteConfig({std::nullopt, dir_ / "user.ini", dir_ / "system.ini"});
    ASSERT_TRUE(config);
    EXPECT_EQ(config.value().masks.m1, 0x01);
}

TEST_F(SiteFilesTest, SystemFileWhenNoUserFile) {
    write("system.ini", "[Site]\nMask1=02\n");
    const auto config = loadSiteConfig({std::nullopt, dir_ / "user.ini", dir_ / "system.ini"});
    ASSERT_TRUE(config);
    EXPECT_EQ(config.value().masks.m1, 0x02);
    const auto noUser = loadSiteConfig({std::nullopt, std::nullopt, dir_ / "system.ini"});
    ASSERT_TRUE(noUser);
    EXPECT_EQ(noUser.value().masks.m1, 0x02);
}

TEST_F(SiteFilesTest, DefaultsWhenNoFileExists) {
    const auto config = loadSiteConfig({std::nullopt, dir_ / "user.ini", dir_ / "system.ini"});
    ASSERT_TRUE(config);
    EXPECT_EQ(config.value().source, "built-in defaults");
}

TEST_F(SiteFilesTest, MalformedUserFileIsAnErrorNotAFallBack) {
    write("user.ini", "[Site]\nMask1=XYZ\n");
    write("system.ini", "[Site]\nMask1=02\n");
    const auto config = loadSiteConfig({std::nullopt, dir_ / "user.ini", dir_ / "system.ini"});
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, Kind::BadValue);
    EXPECT_EQ(config.error().file, (dir_ / "user.ini").string());
}

TEST_F(SiteFilesTest, HostileFiles) {
    fs::create_directories(dir_ / "dir.ini");
    EXPECT_EQ(readSiteConfigFile(dir_ / "dir.ini").error().kind, Kind::Unreadable);
    EXPECT_EQ(readSiteConfigFile("/dev/zero").error().kind, Kind::Unreadable);
    const auto big = write("big.ini", std::string(kMaxIniBytes + 10, '#'));
    EXPECT_EQ(readSiteConfigFile(big).error().kind, Kind::TooLarge);
    const auto limit = write("limit.ini", std::string(kMaxIniBytes, '#'));
    EXPECT_TRUE(readSiteConfigFile(limit));
    const auto binary = write("binary.ini", std::string("[Site]\n\0\x01\x02", 10));
    EXPECT_EQ(readSiteConfigFile(binary).error().kind, Kind::Syntax);
    // A directory in the user's place is not skipped in favour of the system file.
    write("system.ini", "[Site]\n");
    EXPECT_FALSE(loadSiteConfig({std::nullopt, dir_ / "dir.ini", dir_ / "system.ini"}));
}

TEST_F(SiteFilesTest, UnreadableFileIsAnError) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const auto file = write("locked.ini", "[Site]\n");
    fs::permissions(file, fs::perms::none);
    const auto config = loadSiteConfig({std::nullopt, file, dir_ / "system.ini"});
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, Kind::Unreadable);
}

TEST(SiteConfigLocationTest, UserFileFollowsXdgThenHome) {
    EXPECT_EQ(userSiteConfigFile("/x/cfg", "/home/op"), fs::path("/x/cfg/ZR/site.ini"));
    EXPECT_EQ(userSiteConfigFile(nullptr, "/home/op"), fs::path("/home/op/.config/ZR/site.ini"));
    // A relative or empty XDG_CONFIG_HOME is ignored, as the base directory rules say.
    EXPECT_EQ(userSiteConfigFile("relative", "/home/op"), fs::path("/home/op/.config/ZR/site.ini"));
    EXPECT_EQ(userSiteConfigFile("", "/home/op"), fs::path("/home/op/.config/ZR/site.ini"));
    EXPECT_EQ(userSiteConfigFile(nullptr, nullptr), std::nullopt);
    EXPECT_EQ(userSiteConfigFile(nullptr, ""), std::nullopt);
}

TEST(SiteConfigLocationTest, SystemFileIsEtcZr) {
    EXPECT_EQ(siteConfigLocations(std::nullopt).systemFile, fs::path("/etc/zr/site.ini"));
}

// Every seed of the fuzz corpus parses without fault, and so does every crash regression.
TEST(SiteConfigCorpusTest, SeedsAndRegressionsParse) {
    const fs::path here = fs::path(ZR_KEYS_TEST_DIR);
    for (const auto* folder : {"corpus/fuzz_site_config", "regressions"}) {
        if (!fs::exists(here / folder)) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(here / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string content{std::istreambuf_iterator<char>(in), {}};
            const auto config = parseSiteConfig(content, entry.path().filename().string());
            if (!config) {
                EXPECT_FALSE(siteConfigErrorMessage(config.error(), true).empty());
            }
        }
    }
}

} // namespace
