#pragma once

#include "base/Result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A small INI reader for site files written by hand: "[Section]" lines, "name = value"
// lines, full-line comments with ';' or '#', blank lines, LF or CR LF line ends and an
// optional UTF-8 byte order mark. A ';' or '#' at the start of a value or after a blank starts
// a trailing comment. Names and values are trimmed of blanks (space, tab). Anything else is a
// syntax error naming its line: a file that cannot be read whole is not read at all.
namespace zr::keys {

inline constexpr std::size_t kMaxIniBytes = std::size_t{64} * 1024;

struct IniEntry {
    std::string section; // "" before the first section line
    std::string name;
    std::string value;
    std::size_t line = 0; // from 1
};

struct IniSyntaxError {
    std::size_t line = 0; // 0 for faults of the whole file (size, NUL bytes)
    std::string reason;
};

base::Result<std::vector<IniEntry>, IniSyntaxError> parseIni(std::string_view content);

} // namespace zr::keys
