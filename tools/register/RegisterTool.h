#pragma once

#include "register/RegisterSettings.h"

#include <ostream>
#include <string>
#include <vector>

// zr-register: the command-line view of the card register.
namespace zr::tools {

inline constexpr const char* kRegisterUsage =
    "usage: zr-register [--register URL] [--settings FILE] COMMAND\n"
    "  list [--since TIME] [--before TIME] [--station NAME] [--group N] [--cards FROM-TO]\n"
    "       [--limit N]        write attempts, oldest first (TIME: 2026-12-06 or\n"
    "                          2026-12-06T14:30, UTC)\n"
    "  find UID|GROUP:CARD     every attempt on that card or number, and its read-backs\n"
    "  duplicates              numbers on more than one UID, UIDs with more than one number\n"
    "  export --csv [--group N] [--cards FROM-TO] [--output FILE]\n"
    "                          every attempt (of those numbers) as CSV (RFC 4180, UTF-8)\n"
    "  stats                   attempts and failures per station and hour, failure rate\n"
    "  serve [--listen ADDR:PORT] [--token FILE]   a live read-only web page of the\n"
    "                          register (default 127.0.0.1:8642; beyond loopback a token)\n"
    "URL: sqlite:PATH or postgresql://USER@HOST[:PORT]/DB; default: the [Register] URL of\n"
    "the settings file, else sqlite:~/.local/share/ZR/cards.sqlite\n";

enum ExitCode { kExitOk = 0, kExitNotFound = 1, kExitRegister = 3, kExitUsage = 2 };

struct ToolEnvironment {
    reg::DatabaseOpener opener;
    // The [Register] section of the settings (URL when no --register).
    std::function<std::string(const std::optional<std::string>& settingsFile)> settingsUrl;
    std::string defaultPath;
};

// Runs one command line (without the program name).
int runRegisterTool(const std::vector<std::string>& arguments, const ToolEnvironment& environment,
                    std::ostream& out, std::ostream& err);

} // namespace zr::tools
