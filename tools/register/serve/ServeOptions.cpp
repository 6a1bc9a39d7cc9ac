#include "tools/register/serve/ServeOptions.h"

#include "base/TextRules.h"

#include <fstream>

namespace zr::tools::serve {
namespace {

std::optional<std::pair<QHostAddress, quint16>> parseListen(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return std::nullopt;
    }
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return std::nullopt; // IPv6 only in brackets, so the port is never ambiguous
    }
    const auto port = base::parseWholeNumber(text.substr(colon + 1));
    if (!port || *port < 0 || *port > 65535) {
        return std::nullopt;
    }
    const QHostAddress address(host == "localhost" ? QStringLiteral("127.0.0.1")
                                                   : QString::fromStdString(host));
    if (address.isNull()) {
        return std::nullopt;
    }
    return std::pair{address, static_cast<quint16>(*port)};
}

// The token is the file's first line; it travels in a header and a cookie, so it is
// printable ASCII without spaces or separators.
std::optional<std::string> tokenOf(const std::string& contents) {
    std::string token = contents.substr(0, contents.find_first_of("\r\n"));
    if (token.size() < kMinTokenLength) {
        return std::nullopt;
    }
    for (const char c : token) {
        if (c <= ' ' || c > '~' || c == ';' || c == ',' || c == '"' || c == '\\') {
            return std::nullopt;
        }
    }
    return token;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    // A token file is a line; anything much longer is the wrong file.
    constexpr std::streamsize kMaxTokenFile = 4096;
    std::string buffer(kMaxTokenFile + 1, '\0');
    file.read(buffer.data(), kMaxTokenFile + 1);
    if (file.gcount() > kMaxTokenFile) {
        return std::nullopt;
    }
    buffer.resize(static_cast<std::size_t>(file.gcount()));
    return buffer;
}

base::Result<ServeOptions, OptionError> parseServeOptions(const std::vector<std::string>& options,
                                                          const FileReader& readFile) {
    ServeOptions parsed;
    for (std::size_t i = 0; i < options.size(); i += 2) {
        const std::string& option = options[i];
        if (option != "--listen" && option != "--token") {
            return OptionError{"unknown serve option " + option};
        }
        if (i + 1 >= options.size()) {
            return OptionError{"serve option " + option + " needs a value"};
        }
        const std::string& value = options[i + 1];
        if (option == "--listen") {
            const auto listen = parseListen(value);
            if (!listen) {
                return OptionError{"--listen wants ADDR:PORT (127.0.0.1:8642, [::1]:8642), not '" +
                                   value + "'"};
            }
            parsed.address = listen->first;
            parsed.port = listen->second;
            continue;
        }
        const auto contents = readFile(value);
        if (!contents) {
            return OptionError{"cannot read the token file " + value};
        }
        const auto token = tokenOf(*contents);
        if (!token) {
            return OptionError{"the token in " + value + " must be at least " +
                               std::to_string(kMinTokenLength) +
                               " printable characters on the first line, without spaces"};
        }
        parsed.token = *token;
    }
    if (!parsed.address.isLoopback() && parsed.token.empty()) {
        return OptionError{"listening on " + parsed.address.toString().toStdString() +
                           ", beyond this computer, needs --token FILE"};
    }
    return parsed;
}

} // namespace zr::tools::serve
