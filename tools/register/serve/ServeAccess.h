#pragma once

#include "tools/register/serve/ServeOptions.h"

#include <QByteArray>
#include <QHttpServerRequest>
#include <optional>
#include <utility>
#include <vector>

// Who may read the page: with a token, a request carrying it (an `Authorization: Bearer`
// header or the zr_token cookie); without one (loopback only), a request naming this
// computer in its Host header, so a web site rebinding its name to 127.0.0.1 reads nothing.
namespace zr::tools::serve {

inline constexpr const char* kTokenCookie = "zr_token";

struct Reply {
    int status = 200;
    QByteArray type = "text/plain; charset=utf-8";
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

Reply textReply(int status, const QByteArray& reason);

// Nothing when the request may be answered, else the answer: 401 without the right token, a
// redirect setting the cookie for `/?token=TOKEN`, 403 for a foreign Host.
std::optional<Reply> accessRefusal(const QHttpServerRequest& request, const ServeOptions& options);

} // namespace zr::tools::serve
