#pragma once

#include "register/RegisterSettings.h"
#include "register/RegisterTypes.h"

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
    "  order list | order show REF   orders, their progress, void cards and attempts\n"
    "  order note REF --pdf FILE [--csv FILE] [--lang zh|en]   the delivery note (A4 PDF)\n"
    "                          and the delivered cards as CSV\n"
    "  order add --ref REF --group G --cards FROM-TO [--customer TEXT]   a new open order\n"
    "  order close REF | order cancel REF | order extend REF --to N   (no more numbers /\n"
    "                          not delivered / a later last code over free numbers)\n"
    "  void UID --reason TEXT  a written card spoiled: its number is never given again\n"
    "order add, close, cancel, extend and void write; every other command only reads\n"
    "URL: sqlite:PATH or postgresql://USER@HOST[:PORT]/DB; default: the [Register] URL of\n"
    "the settings file, else sqlite:~/.local/share/ZR/cards.sqlite\n";

// kExitRefused: the register's rules forbid the change (an overlapping range, a closed order):
// nothing changed.
enum ExitCode {
    kExitOk = 0,
    kExitNotFound = 1,
    kExitRegister = 3,
    kExitUsage = 2,
    kExitRefused = 4
};

struct ToolEnvironment {
    reg::DatabaseOpener opener;
    // The [Register] section of the settings (URL when no --register).
    std::function<std::string(const std::optional<std::string>& settingsFile)> settingsUrl;
    std::string defaultPath;
};

// Write attempts as the commands list them, one per line under a header.
void printWrites(std::ostream& out, const std::vector<reg::WriteRow>& rows);
// Reports a register failure; returns kExitRegister.
int registerFailed(std::ostream& err, const reg::RegisterError& error);

// Runs one command line (without the program name).
int runRegisterTool(const std::vector<std::string>& arguments, const ToolEnvironment& environment,
                    std::ostream& out, std::ostream& err);

} // namespace zr::tools
