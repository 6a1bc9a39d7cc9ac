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

using Kind = SiteConfigError::Kind;

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

// A folder in the file's place cannot be read, whoever runs the station (root included).
TEST_F(SiteFilesTest, UnreadableFileIsAnError) {
    const auto file = dir_ / "folder.ini";
    fs::create_directory(file);
    const auto config = loadSiteConfig({std::nullopt, file, dir_ / "system.ini"});
    ASSERT_FALSE(config);
    EXPECT_EQ(config.error().kind, Kind::Unreadable);
}

} // namespace
