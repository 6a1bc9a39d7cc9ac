// The site key file: its syntax, its values, and which file wins. Start-up refusing a bad
// file is checked end to end in station_end_to_end.sh.
#include "keys/IniReader.h"
#include "keys/SiteConfig.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

using namespace zr::keys;
namespace fs = std::filesystem;

TEST(SiteConfigTest, DefaultsAreTheDemonstrationValuesAndFilesWithoutSiteKeepThem) {
    const SiteConfig config = defaultSiteConfig();
    EXPECT_EQ(config.loginKey, (KeyBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(config.v1CardKey, (KeyBytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
    EXPECT_EQ(config.masks, (DerivationMasks{0x5A, 0xC3, 0x96}));
    EXPECT_EQ(config.source, "built-in defaults");
    for (const char* content : {"", "\xEF\xBB\xBF", "; nothing\n", "[Printer]\nPort = 9100\n"}) {
        const auto parsed = parseSiteConfig(content, "x.ini");
        ASSERT_TRUE(parsed) << content;
        EXPECT_EQ(parsed.value().loginKey, config.loginKey);
        EXPECT_EQ(parsed.value().masks, config.masks);
    }
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
    EXPECT_EQ(config.value().loginKey, (KeyBytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
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

using Kind = SiteConfigError::Kind;

TEST(SiteConfigTest, MalformedContentIsAnErrorNamingFileKeyAndLine) {
    const struct {
        std::string content;
        Kind kind;
        std::string name;
        std::size_t line;
    } cases[] = {
        {"[Site]\nLoginKey = FFFFFFFFFF\n", Kind::BadValue, "LoginKey", 2},
        {"[Site]\nLoginKey = FFFFFFFFFFFFFF\n", Kind::BadValue, "LoginKey", 2},
        {"[Site]\nV1CardKey = A0A1A2A3A4AG\n", Kind::BadValue, "V1CardKey", 2},
        {"[Site]\nV1CardKey = A0-A1-A2-A3-A4-A5\n", Kind::BadValue, "V1CardKey", 2},
        {"[Site]\nV1CardKey = 0xA0A1A2A3A4\n", Kind::BadValue, "V1CardKey", 2},
        {"[Site]\nMask1 = 5\n", Kind::BadValue, "Mask1", 2},
        {"[Site]\nMask2 = 123\n", Kind::BadValue, "Mask2", 2},
        {"[Site]\nMask3 =\n", Kind::BadValue, "Mask3", 2},
        {"[Site]\nMask3 = 9 6\n", Kind::BadValue, "Mask3", 2},
        {"[Site]\nMask3 = 96\rMask1 = 00\n", Kind::BadValue, "Mask3", 2},
        {"[Site]\nMask1 = 5A\nmask1 = 5B\n", Kind::DuplicateName, "Mask1", 3},
        {"[Site]\nLoginKy = FFFFFFFFFFFF\n", Kind::UnknownName, "LoginKy", 2},
        {"[Site]\nLoginKey FFFFFFFFFFFF\n", Kind::Syntax, "", 2},
        {"[Site\nMask1 = 00\n", Kind::Syntax, "", 1},
        {"[]\n", Kind::Syntax, "", 1},
        {"[Site] x\n", Kind::Syntax, "", 1},
        {"[Site]\n = 00\n", Kind::Syntax, "", 2},
        {std::string("[Site]\nMask1 = 0\0", 17), Kind::Syntax, "", 0},
        {std::string(kMaxIniBytes + 1, ';'), Kind::TooLarge, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 40));
        const auto config = parseSiteConfig(c.content, "/etc/zr/site.ini");
        ASSERT_FALSE(config);
        EXPECT_EQ(config.error().kind, c.kind);
        EXPECT_EQ(config.error().name, c.name);
        EXPECT_EQ(config.error().line, c.line);
        EXPECT_EQ(config.error().file, "/etc/zr/site.ini");
        const std::string message = siteConfigErrorMessage(config.error(), true);
        EXPECT_NE(message.find("/etc/zr/site.ini"), std::string::npos) << message;
        EXPECT_NE(message.find(c.name), std::string::npos) << message;
    }
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

// Files are "NAME=MASK1" (a [Site] file) or "NAME/" (a directory); outcomes name the file
// that won or failed, relative to the test folder.
TEST_F(SiteFilesTest, ExplicitThenUserThenSystemFileThenDefaultsWithoutFallingBack) {
    const struct {
        const char* files;
        const char* explicitFile;
        bool userFile;
        const char* outcome;
    } cases[] = {
        {"mine.ini=03 user.ini=01", "mine.ini", true, "Mask1=03 from mine.ini"},
        {"user.ini=01", "absent.ini", true, "Unreadable in absent.ini"},
        {"user.ini=01 system.ini=02", nullptr, true, "Mask1=01 from user.ini"},
        {"system.ini=02", nullptr, true, "Mask1=02 from system.ini"},
        {"system.ini=02", nullptr, false, "Mask1=02 from system.ini"},
        {"", nullptr, true, "Mask1=5A from built-in defaults"},
        {"user.ini=XYZ system.ini=02", nullptr, true, "BadValue in user.ini"},
        {"user.ini/ system.ini=02", nullptr, true, "Unreadable in user.ini"},
    };
    const auto named = [&](const std::string& path) {
        return path.starts_with(dir_.string()) ? fs::path(path).lexically_relative(dir_).string()
                                               : path;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::istringstream files(c.files);
        for (std::string file; files >> file;) {
            const auto equals = file.find('=');
            if (equals == std::string::npos) {
                fs::create_directories(dir_ / file);
            } else {
                write(file.substr(0, equals), "[Site]\nMask1=" + file.substr(equals + 1) + "\n");
            }
        }
        const auto config = loadSiteConfig(
            {c.explicitFile ? std::optional(dir_ / c.explicitFile) : std::nullopt,
             c.userFile ? std::optional(dir_ / "user.ini") : std::nullopt, dir_ / "system.ini"});
        static const char* const kinds[] = {"Unreadable", "TooLarge",    "Syntax",
                                            "BadValue",   "UnknownName", "DuplicateName"};
        char mask[3];
        std::snprintf(mask, sizeof mask, "%02X", config ? config.value().masks.m1 : 0);
        EXPECT_EQ(config ? "Mask1=" + std::string(mask) + " from " + named(config.value().source)
                         : kinds[static_cast<int>(config.error().kind)] + std::string(" in ") +
                               named(config.error().file),
                  c.outcome);
    }
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
}

// A folder in the file's place cannot be read, whoever runs the station (root included).
TEST_F(SiteFilesTest, UnreadableFileIsAnError) {
    const auto file = dir_ / "folder.ini";
    fs::create_directory(file);
    const auto config = loadSiteConfig({std::nullopt, file, dir_ / "system.ini"});
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, Kind::Unreadable);
}

TEST(SiteConfigLocationTest, UserFileFollowsXdgThenHomeAndSystemFileIsEtcZr) {
    EXPECT_EQ(userSiteConfigFile("/x/cfg", "/home/op"), fs::path("/x/cfg/ZR/site.ini"));
    EXPECT_EQ(userSiteConfigFile(nullptr, "/home/op"), fs::path("/home/op/.config/ZR/site.ini"));
    // A relative or empty XDG_CONFIG_HOME is ignored, as the base directory rules say.
    EXPECT_EQ(userSiteConfigFile("relative", "/home/op"), fs::path("/home/op/.config/ZR/site.ini"));
    EXPECT_EQ(userSiteConfigFile("", "/home/op"), fs::path("/home/op/.config/ZR/site.ini"));
    EXPECT_EQ(userSiteConfigFile(nullptr, nullptr), std::nullopt);
    EXPECT_EQ(userSiteConfigFile(nullptr, ""), std::nullopt);
    EXPECT_EQ(siteConfigLocations(std::nullopt).systemFile, fs::path("/etc/zr/site.ini"));
}

} // namespace
