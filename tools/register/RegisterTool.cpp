#include "tools/register/RegisterTool.h"

#include "base/TextRules.h"
#include "register/CsvExport.h"
#include "register/RegisterUrl.h"
#include "tools/register/NumberArguments.h"
#include "tools/register/OrderCommands.h"
#include "tools/register/serve/Serve.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <sstream>

namespace zr::tools {
namespace {

using reg::CardRegister;

struct CommandLine {
    std::optional<std::string> url;
    std::optional<std::string> settingsFile;
    std::string command;
    std::vector<std::string> rest;
};

struct UsageError {
    std::string message;
};

base::Result<CommandLine, UsageError> parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::size_t i = 0;
    for (; i < arguments.size() && arguments[i].rfind("--", 0) == 0; i += 2) {
        if (i + 1 >= arguments.size()) {
            return UsageError{"option " + arguments[i] + " needs a value"};
        }
        if (arguments[i] == "--register") {
            line.url = arguments[i + 1];
        } else if (arguments[i] == "--settings") {
            line.settingsFile = arguments[i + 1];
        } else {
            return UsageError{"unknown option " + arguments[i]};
        }
    }
    if (i >= arguments.size()) {
        return UsageError{"no command"};
    }
    line.command = arguments[i];
    line.rest.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
    return line;
}

base::Result<reg::ListFilter, UsageError> parseFilter(const std::vector<std::string>& options) {
    reg::ListFilter filter;
    for (std::size_t i = 0; i < options.size(); i += 2) {
        const std::string& option = options[i];
        if (i + 1 >= options.size()) {
            return UsageError{"list option " + option + " needs a value"};
        }
        const std::string& value = options[i + 1];
        if (option == "--since") {
            filter.since = value;
        } else if (option == "--before") {
            filter.before = value;
        } else if (option == "--station") {
            filter.station = value;
        } else if (option == "--group") {
            filter.group = parseCode(value);
            if (!filter.group) {
                return UsageError{"--group wants a number from 0 to 65535, not '" + value + "'"};
            }
        } else if (option == "--cards") {
            const auto cards = parseCardRange(value);
            if (!cards) {
                return UsageError{"--cards wants FROM-TO (0 to 65535), not '" + value + "'"};
            }
            filter.cardFrom = cards->first;
            filter.cardTo = cards->second;
        } else if (option == "--limit") {
            const auto limit = base::parseWholeNumber(value);
            if (!limit || *limit < 1) {
                return UsageError{"--limit wants a positive number, not '" + value + "'"};
            }
            filter.limit = limit;
        } else {
            return UsageError{"unknown list option " + option};
        }
    }
    return filter;
}

int list(CardRegister& cards, const std::vector<std::string>& options, std::ostream& out,
         std::ostream& err) {
    const auto filter = parseFilter(options);
    if (!filter) {
        err << "zr-register: " << filter.error().message << '\n' << kRegisterUsage;
        return kExitUsage;
    }
    const auto rows = cards.list(filter.value());
    if (!rows) {
        return registerFailed(err, rows.error());
    }
    printWrites(out, rows.value());
    return kExitOk;
}

int find(CardRegister& cards, const std::vector<std::string>& options, std::ostream& out,
         std::ostream& err) {
    if (options.size() != 1 || options[0].empty()) {
        err << "zr-register: find wants one UID or GROUP:CARD\n" << kRegisterUsage;
        return kExitUsage;
    }
    const std::string& key = options[0];
    const std::size_t colon = key.find(':');
    base::Result<std::vector<reg::WriteRow>, reg::RegisterError> rows{std::vector<reg::WriteRow>{}};
    if (colon != std::string::npos) {
        const auto group = parseCode(key.substr(0, colon));
        const auto card = parseCode(key.substr(colon + 1));
        if (!group || !card) {
            err << "zr-register: '" << key << "' is not GROUP:CARD with codes 0 to 65535\n";
            return kExitUsage;
        }
        rows = cards.findNumber(*group, *card);
    } else {
        rows = cards.findUid(key);
    }
    if (!rows) {
        return registerFailed(err, rows.error());
    }
    if (rows.value().empty()) {
        err << "zr-register: no card " << key << " in the register\n";
        return kExitNotFound;
    }
    printWrites(out, rows.value());
    std::vector<std::string> uids;
    for (const reg::WriteRow& row : rows.value()) {
        if (std::find(uids.begin(), uids.end(), row.uid) == uids.end()) {
            uids.push_back(row.uid);
        }
    }
    bool header = false;
    for (const std::string& uid : uids) {
        const auto checks = cards.verificationsOf(uid);
        if (!checks) {
            return registerFailed(err, checks.error());
        }
        for (const reg::VerificationRow& check : checks.value()) {
            if (!header) {
                out << "\nread-backs\nid\ttime_utc\tstation\tuid\tv1\tv3\tregistered\tverdict\n";
                header = true;
            }
            out << check.id << '\t' << check.time << '\t' << check.station << '\t' << check.uid
                << '\t' << check.v1 << '\t' << check.v3 << '\t' << check.registered << '\t'
                << check.verdict << '\n';
        }
    }
    return kExitOk;
}

int duplicates(CardRegister& cards, std::ostream& out, std::ostream& err) {
    const auto numbers = cards.numbersOnSeveralUids();
    if (!numbers) {
        return registerFailed(err, numbers.error());
    }
    const auto uids = cards.uidsWithSeveralNumbers();
    if (!uids) {
        return registerFailed(err, uids.error());
    }
    out << "numbers on more than one UID: " << numbers.value().size() << '\n';
    for (const reg::Duplicate& duplicate : numbers.value()) {
        out << duplicate.key;
        for (const std::string& holder : duplicate.holders) {
            out << '\t' << holder;
        }
        out << '\n';
    }
    out << "UIDs with more than one number: " << uids.value().size() << '\n';
    for (const reg::Duplicate& duplicate : uids.value()) {
        out << duplicate.key;
        for (const std::string& holder : duplicate.holders) {
            out << '\t' << holder;
        }
        out << '\n';
    }
    return kExitOk;
}

std::string rate(std::int64_t failed, std::int64_t attempts) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1)
         << (attempts == 0 ? 0.0
                           : 100.0 * static_cast<double>(failed) / static_cast<double>(attempts))
         << '%';
    return text.str();
}

int stats(CardRegister& cards, std::ostream& out, std::ostream& err) {
    const auto hours = cards.stationHours();
    if (!hours) {
        return registerFailed(err, hours.error());
    }
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> perStation;
    std::int64_t attempts = 0;
    std::int64_t failed = 0;
    out << "station\thour_utc\tattempts\tfailed\n";
    for (const reg::StationHour& hour : hours.value()) {
        out << hour.station << '\t' << hour.hour << '\t' << hour.attempts << '\t' << hour.failed
            << '\n';
        perStation[hour.station].first += hour.attempts;
        perStation[hour.station].second += hour.failed;
        attempts += hour.attempts;
        failed += hour.failed;
    }
    out << "\nstation\tattempts\tfailed\tfailure_rate\n";
    for (const auto& [station, counts] : perStation) {
        out << station << '\t' << counts.first << '\t' << counts.second << '\t'
            << rate(counts.second, counts.first) << '\n';
    }
    out << "all\t" << attempts << '\t' << failed << '\t' << rate(failed, attempts) << '\n';
    return kExitOk;
}

int exportCommand(CardRegister& cards, const std::vector<std::string>& options, std::ostream& out,
                  std::ostream& err) {
    bool csv = false;
    std::optional<std::string> output;
    std::vector<std::string> range;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == "--csv") {
            csv = true;
        } else if (options[i] == "--output" && i + 1 < options.size()) {
            output = options[++i];
        } else if ((options[i] == "--group" || options[i] == "--cards") && i + 1 < options.size()) {
            range.push_back(options[i]);
            range.push_back(options[++i]);
        } else {
            err << "zr-register: unknown export option " << options[i] << '\n' << kRegisterUsage;
            return kExitUsage;
        }
    }
    if (!csv) {
        err << "zr-register: export needs --csv (the only format)\n";
        return kExitUsage;
    }
    const auto filter = parseFilter(range);
    if (!filter) {
        err << "zr-register: " << filter.error().message << '\n' << kRegisterUsage;
        return kExitUsage;
    }
    if (!output) {
        return reg::exportCsv(cards, out, filter.value()) ? kExitOk
                                                          : registerFailed(err, cards.lastError());
    }
    // Written beside the target and renamed over it, so an import never reads half a file.
    const std::string partial = *output + ".partial";
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file) {
        err << "zr-register: cannot write " << partial << '\n';
        return kExitRegister;
    }
    const bool exported = reg::exportCsv(cards, file, filter.value());
    file.close();
    std::error_code error;
    if (!exported || !file) {
        std::filesystem::remove(partial, error);
        if (cards.lastError().kind != reg::RegisterFailure::None) {
            return registerFailed(err, cards.lastError());
        }
        err << "zr-register: cannot write " << partial << '\n';
        return kExitRegister;
    }
    std::filesystem::rename(partial, *output, error);
    if (error) {
        err << "zr-register: cannot write " << *output << ": " << error.message() << '\n';
        return kExitRegister;
    }
    return kExitOk;
}

} // namespace

void printWrites(std::ostream& out, const std::vector<reg::WriteRow>& rows) {
    out << "id\ttime_utc\tstation\tuid\tnumber\tlock\tv1\tv3\toutcome\n";
    for (const reg::WriteRow& row : rows) {
        out << row.id << '\t' << row.time << '\t' << row.station << '\t' << row.uid << '\t'
            << reg::numberText(row.group, row.card) << '\t' << (row.lock ? 1 : 0) << '\t' << row.v1
            << '\t' << row.v3 << '\t' << row.outcome << '\n';
    }
}

int registerFailed(std::ostream& err, const reg::RegisterError& error) {
    err << "zr-register: " << error.message << '\n';
    return kExitRegister;
}

int runRegisterTool(const std::vector<std::string>& arguments, const ToolEnvironment& environment,
                    std::ostream& out, std::ostream& err) {
    const auto line = parseCommandLine(arguments);
    if (!line) {
        err << "zr-register: " << line.error().message << '\n' << kRegisterUsage;
        return kExitUsage;
    }
    const CommandLine& command = line.value();
    const std::vector<std::string> known{"list",  "find",  "duplicates", "export",
                                         "stats", "serve", "order",      "void"};
    if (std::find(known.begin(), known.end(), command.command) == known.end()) {
        err << "zr-register: unknown command " << command.command << '\n' << kRegisterUsage;
        return kExitUsage;
    }
    std::string url = command.url ? *command.url : environment.settingsUrl(command.settingsFile);
    if (url.empty()) {
        url = "sqlite:" + environment.defaultPath;
    }
    // Looking must not leave an empty register behind where none was.
    const auto address = reg::parseRegisterUrl(url);
    if (address && address.value().engine == platform::SqlEngine::Sqlite &&
        !std::filesystem::exists(address.value().path)) {
        err << "zr-register: no register at " << address.value().path << '\n';
        return kExitRegister;
    }
    const auto access = commandWrites(command.command, command.rest)
                            ? CardRegister::Access::ReadWrite
                            : CardRegister::Access::ReadOnly;
    const auto opened = reg::openRegister(url, "zr-register", access, environment.opener,
                                          [] { return std::chrono::system_clock::now(); });
    if (!opened) {
        return registerFailed(err, opened.error());
    }
    CardRegister& cards = *opened.value();
    if (command.command == "list") {
        return list(cards, command.rest, out, err);
    }
    if (command.command == "find") {
        return find(cards, command.rest, out, err);
    }
    if (command.command == "export") {
        return exportCommand(cards, command.rest, out, err);
    }
    if (command.command == "order") {
        return orderCommand(cards, command.rest, out, err);
    }
    if (command.command == "void") {
        return voidCommand(cards, command.rest, out, err);
    }
    if (command.command == "serve") {
        return serve::runServe(cards, command.rest, out, err);
    }
    if (!command.rest.empty()) {
        err << "zr-register: " << command.command << " takes no options\n";
        return kExitUsage;
    }
    return command.command == "stats" ? stats(cards, out, err) : duplicates(cards, out, err);
}

} // namespace zr::tools
