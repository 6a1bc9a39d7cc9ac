#pragma once

#include "base/Result.h"

#include <QHostAddress>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// zr-register serve's command line: where to listen and the token that guards it.
namespace zr::tools::serve {

inline constexpr quint16 kDefaultPort = 8642;
// Shorter tokens are refused: a guessable token is no guard.
inline constexpr std::size_t kMinTokenLength = 16;

struct ServeOptions {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = kDefaultPort;
    std::string token; // empty: no token asked (loopback only)
};

struct OptionError {
    std::string message;
};

using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

// `--listen ADDR:PORT` (an IPv6 address in brackets, `localhost` for 127.0.0.1) and
// `--token FILE`. Listening beyond loopback without a token is refused.
base::Result<ServeOptions, OptionError> parseServeOptions(const std::vector<std::string>& options,
                                                          const FileReader& readFile);

// A file's whole contents, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);

} // namespace zr::tools::serve
