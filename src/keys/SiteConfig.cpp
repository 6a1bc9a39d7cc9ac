#include "keys/SiteConfig.h"

#include "keys/IniReader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <span>
#include <system_error>

namespace zr::keys {
namespace {

constexpr std::string_view kSiteSection = "Site";
constexpr std::string_view kDefaultsSource = "built-in defaults";

enum class Setting { LoginKey, V1CardKey, Mask1, Mask2, Mask3 };
constexpr std::array<std::string_view, 5> kSettingNames{"LoginKey", "V1CardKey", "Mask1", "Mask2",
                                                        "Mask3"};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Exactly 2 × out.size() hexadecimal digits into `out`.
bool parseHexBytes(std::string_view text, std::span<std::uint8_t> out) {
    if (text.size() != out.size() * 2) {
        return false;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

std::span<std::uint8_t> target(SiteConfig& config, Setting setting) {
    switch (setting) {
    case Setting::LoginKey:
        return config.loginKey;
    case Setting::V1CardKey:
        return config.v1CardKey;
    case Setting::Mask1:
        return {&config.masks.m1, 1};
    case Setting::Mask2:
        return {&config.masks.m2, 1};
    case Setting::Mask3:
        return {&config.masks.m3, 1};
    }
    return {};
}

std::string kindText(SiteConfigError::Kind kind, bool english) {
    using Kind = SiteConfigError::Kind;
    switch (kind) {
    case Kind::Unreadable:
        return english ? "cannot be read" : "無法讀取";
    case Kind::TooLarge:
        return english ? "is too large" : "檔案過大";
    case Kind::Syntax:
        return english ? "syntax error" : "格式錯誤";
    case Kind::BadValue:
        return english ? "value must be hexadecimal digits of the right length"
                       : "值必須是長度正確的十六進位數字";
    case Kind::UnknownName:
        return english ? "unknown setting" : "未知的設定";
    case Kind::DuplicateName:
        return english ? "setting given twice" : "設定重複";
    }
    return {};
}

} // namespace

SiteConfig defaultSiteConfig() {
    return SiteConfig{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                      {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5},
                      {0x5A, 0xC3, 0x96},
                      std::string(kDefaultsSource)};
}

std::string siteConfigErrorMessage(const SiteConfigError& error, bool english) {
    std::string message = english ? "Site configuration " : "站點設定檔 ";
    message += error.file;
    if (error.line != 0) {
        message += english ? ", line " : "，第 ";
        message += std::to_string(error.line);
        message += english ? "" : " 行";
    }
    if (!error.name.empty()) {
        message += english ? ", " : "，";
        message += error.name;
    }
    message += english ? ": " : "：";
    message += kindText(error.kind, english);
    if (!error.detail.empty()) {
        message += " (" + quotedExcerpt(error.detail, 40) + ")";
    }
    return message;
}

SiteConfigResult parseSiteConfig(std::string_view content, std::string_view fileName) {
    const std::string file(fileName);
    if (content.size() > kMaxIniBytes) {
        return SiteConfigError{SiteConfigError::Kind::TooLarge, file, {}, 0, {}};
    }
    const auto entries = parseIni(content);
    if (!entries) {
        return SiteConfigError{
            SiteConfigError::Kind::Syntax, file, {}, entries.error().line, entries.error().reason};
    }

    SiteConfig config = defaultSiteConfig();
    config.source = file;
    std::array<bool, kSettingNames.size()> seen{};
    for (const IniEntry& entry : entries.value()) {
        if (!equalsIgnoringCase(entry.section, kSiteSection)) {
            continue;
        }
        const auto known =
            std::find_if(kSettingNames.begin(), kSettingNames.end(),
                         [&](std::string_view n) { return equalsIgnoringCase(n, entry.name); });
        if (known == kSettingNames.end()) {
            return SiteConfigError{
                SiteConfigError::Kind::UnknownName, file, entry.name, entry.line, {}};
        }
        const auto index = static_cast<std::size_t>(known - kSettingNames.begin());
        const std::string name(*known);
        if (seen[index]) {
            return SiteConfigError{
                SiteConfigError::Kind::DuplicateName, file, name, entry.line, {}};
        }
        seen[index] = true;
        if (!parseHexBytes(entry.value, target(config, static_cast<Setting>(index)))) {
            return SiteConfigError{SiteConfigError::Kind::BadValue, file, name, entry.line,
                                   entry.value};
        }
    }
    return config;
}

SiteConfigResult readSiteConfigFile(const std::filesystem::path& file) {
    const std::string fileName = file.string();
    std::error_code status;
    if (!std::filesystem::is_regular_file(file, status)) {
        return SiteConfigError{SiteConfigError::Kind::Unreadable,
                               fileName,
                               {},
                               0,
                               status ? status.message() : "not a regular file"};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return SiteConfigError{SiteConfigError::Kind::Unreadable, fileName, {}, 0, "cannot open"};
    }
    std::string content(kMaxIniBytes + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) {
        return SiteConfigError{SiteConfigError::Kind::Unreadable, fileName, {}, 0, "read failed"};
    }
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > kMaxIniBytes) {
        return SiteConfigError{SiteConfigError::Kind::TooLarge, fileName, {}, 0, {}};
    }
    return parseSiteConfig(content, fileName);
}

std::optional<std::filesystem::path> userSiteConfigFile(const char* xdgConfigHome,
                                                        const char* home) {
    if (xdgConfigHome != nullptr && std::filesystem::path(xdgConfigHome).is_absolute()) {
        return std::filesystem::path(xdgConfigHome) / "ZR" / "site.ini";
    }
    if (home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".config" / "ZR" / "site.ini";
    }
    return std::nullopt;
}

SiteConfigLocations siteConfigLocations(std::optional<std::filesystem::path> explicitFile) {
    SiteConfigLocations locations;
    locations.explicitFile = std::move(explicitFile);
    locations.userFile = userSiteConfigFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    return locations;
}

SiteConfigResult loadSiteConfig(const SiteConfigLocations& locations) {
    if (locations.explicitFile) {
        return readSiteConfigFile(*locations.explicitFile);
    }
    for (const auto* candidate :
         {locations.userFile ? &*locations.userFile : nullptr, &locations.systemFile}) {
        if (candidate == nullptr || candidate->empty()) {
            continue;
        }
        std::error_code status;
        const auto type = std::filesystem::status(*candidate, status).type();
        if (type == std::filesystem::file_type::not_found) {
            continue;
        }
        return readSiteConfigFile(*candidate);
    }
    return defaultSiteConfig();
}

} // namespace zr::keys
