#pragma once

#include "base/Result.h"
#include "keys/KeyBoxes.h"
#include "keys/KeyDerivation.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The site's key scheme: the fixed login key, the fixed V1 card key and the derivation masks.
// They belong to the site, not to the program, and come from an INI file:
//
//   [Site]
//   LoginKey  = FFFFFFFFFFFF   ; 12 hexadecimal digits
//   V1CardKey = A0A1A2A3A4A5
//   Mask1 = 5A                 ; 2 hexadecimal digits each
//   Mask2 = C3
//   Mask3 = 96
//
// Names are matched without regard to case; other sections are ignored. A file may give only
// some of the names, the rest keep their defaults.
namespace zr::keys {

struct SiteConfig {
    KeyBytes loginKey{};
    KeyBytes v1CardKey{};
    DerivationMasks masks{};
    std::string source; // the file read, or "built-in defaults"
};

// Demonstration values that a site replaces with its own file.
SiteConfig defaultSiteConfig();

struct SiteConfigError {
    enum class Kind {
        Unreadable,   // missing (when named explicitly), not a regular file, or read failed
        TooLarge,     // over kMaxIniBytes
        Syntax,       // not a well-formed INI file
        BadValue,     // wrong length or not hexadecimal
        UnknownName,  // a name in [Site] that is none of the five (a typo would go unnoticed)
        DuplicateName // the same name twice in [Site]
    };
    Kind kind = Kind::Unreadable;
    std::string file;
    std::string name;     // the setting concerned, if any
    std::size_t line = 0; // from 1; 0 when no line is concerned
    std::string detail;   // what was found, or the system's reason
};

std::string siteConfigErrorMessage(const SiteConfigError& error, bool english);

using SiteConfigResult = base::Result<SiteConfig, SiteConfigError>;

// The settings of `content` over the defaults; `fileName` names the file in errors.
SiteConfigResult parseSiteConfig(std::string_view content, std::string_view fileName);

// One file, read whole if it is a regular file of at most kMaxIniBytes.
SiteConfigResult readSiteConfigFile(const std::filesystem::path& file);

struct SiteConfigLocations {
    std::optional<std::filesystem::path> explicitFile; // the --site option: must be readable
    std::optional<std::filesystem::path> userFile;
    std::filesystem::path systemFile = "/etc/zr/site.ini";
};

// $XDG_CONFIG_HOME/ZR/site.ini when that variable is an absolute path, else
// $HOME/.config/ZR/site.ini, else nothing. Arguments are the variables' values or null.
std::optional<std::filesystem::path> userSiteConfigFile(const char* xdgConfigHome,
                                                        const char* home);
// The locations for this process's environment.
SiteConfigLocations siteConfigLocations(std::optional<std::filesystem::path> explicitFile);

// The explicit file if given; else the first of the user and system files that exists; else
// the defaults. A file that exists but cannot be read or is malformed is an error, never a
// reason to fall back to the next place.
SiteConfigResult loadSiteConfig(const SiteConfigLocations& locations);

} // namespace zr::keys
