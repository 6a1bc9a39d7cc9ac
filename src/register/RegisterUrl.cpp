#include "register/RegisterUrl.h"

#include "base/TextRules.h"

namespace zr::reg {
namespace {

constexpr std::string_view kSqlite = "sqlite:";
constexpr std::string_view kPostgres = "postgresql://";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

bool isName(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!isNameCharacter(c)) {
            return false;
        }
    }
    return true;
}

UrlError badUrl(std::string_view url, std::string_view why) {
    return {"register address '" + std::string(url) + "': " + std::string(why)};
}

base::Result<platform::DatabaseAddress, UrlError> parsePostgres(std::string_view url) {
    std::string_view rest = url.substr(kPostgres.size());
    platform::DatabaseAddress address;
    address.engine = platform::SqlEngine::Postgres;

    const std::size_t at = rest.find('@');
    if (at != std::string_view::npos) {
        const std::string_view user = rest.substr(0, at);
        if (user.find(':') != std::string_view::npos) {
            return badUrl(url, "no password in the address; use PGPASSWORD or ~/.pgpass");
        }
        if (!isName(user)) {
            return badUrl(url, "the user name is empty or has characters other than "
                               "letters, digits, '-', '_' and '.'");
        }
        address.user = std::string(user);
        rest.remove_prefix(at + 1);
    }
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return badUrl(url, "the database name is missing (postgresql://USER@HOST[:PORT]/DB)");
    }
    std::string_view hostPort = rest.substr(0, slash);
    const std::string_view database = rest.substr(slash + 1);
    if (!isName(database)) {
        return badUrl(url, "the database name is empty or has characters other than letters, "
                           "digits, '-', '_' and '.'");
    }
    address.name = std::string(database);

    std::string_view host = hostPort;
    if (startsWith(hostPort, "[")) {
        const std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos) {
            return badUrl(url, "an IPv6 host needs its closing ']'");
        }
        host = hostPort.substr(1, close - 1);
        if (host.empty() ||
            host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) {
            return badUrl(url, "the host is empty or not a host name or address");
        }
        hostPort.remove_prefix(close + 1);
        if (!hostPort.empty() && hostPort.front() != ':') {
            return badUrl(url, "only ':PORT' may follow the host");
        }
    } else {
        const std::size_t colon = hostPort.find(':');
        host = hostPort.substr(0, colon);
        hostPort = colon == std::string_view::npos ? std::string_view() : hostPort.substr(colon);
        if (!isName(host)) {
            return badUrl(url, "the host is empty or not a host name or address");
        }
    }
    address.host = std::string(host);
    if (!hostPort.empty()) {
        const auto port = base::parseWholeNumber(hostPort.substr(1));
        if (!port || *port < 1 || *port > 65535) {
            return badUrl(url, "the port must be a number from 1 to 65535");
        }
        address.port = static_cast<int>(*port);
    }
    return address;
}

} // namespace

base::Result<platform::DatabaseAddress, UrlError> parseRegisterUrl(std::string_view url) {
    if (startsWith(url, kSqlite)) {
        const std::string_view path = url.substr(kSqlite.size());
        if (path.empty()) {
            return badUrl(url, "the file path is missing (sqlite:PATH)");
        }
        if (path.find('\0') != std::string_view::npos) {
            return badUrl(url, "the file path holds a NUL character");
        }
        platform::DatabaseAddress address;
        address.engine = platform::SqlEngine::Sqlite;
        address.path = std::string(path);
        return address;
    }
    if (startsWith(url, kPostgres)) {
        return parsePostgres(url);
    }
    return badUrl(url, "use sqlite:PATH or postgresql://USER@HOST[:PORT]/DB");
}

std::string describeAddress(const platform::DatabaseAddress& address) {
    if (address.engine == platform::SqlEngine::Sqlite) {
        return address.path;
    }
    std::string text(kPostgres);
    if (!address.user.empty()) {
        text += address.user + "@";
    }
    const bool ipv6 = address.host.find(':') != std::string::npos;
    text += ipv6 ? "[" + address.host + "]" : address.host;
    return text + ":" + std::to_string(address.port) + "/" + address.name;
}

} // namespace zr::reg
