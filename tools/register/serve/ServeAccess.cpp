#include "tools/register/serve/ServeAccess.h"

#include <QUrlQuery>

namespace zr::tools::serve {
namespace {

// Compares in a time that does not depend on where the texts first differ.
bool sameToken(const QByteArray& given, const std::string& token) {
    if (static_cast<std::size_t>(given.size()) != token.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i) {
        difference |= static_cast<unsigned char>(given[static_cast<qsizetype>(i)] ^ token[i]);
    }
    return difference == 0;
}

QByteArray cookieToken(const QHttpServerRequest& request) {
    const QByteArray prefix = QByteArray(kTokenCookie) + '=';
    for (const QByteArray& part : request.value("Cookie").split(';')) {
        const QByteArray cookie = part.trimmed();
        if (cookie.startsWith(prefix)) {
            return cookie.mid(prefix.size());
        }
    }
    return {};
}

bool loopbackHost(const QByteArray& host) {
    QByteArray name = host;
    const qsizetype colon = name.lastIndexOf(':');
    if (colon >= 0 && !name.endsWith(']')) {
        name.truncate(colon);
    }
    return name == "127.0.0.1" || name == "localhost" || name == "[::1]";
}

} // namespace

Reply textReply(int status, const QByteArray& reason) {
    Reply reply;
    reply.status = status;
    reply.body = reason + '\n';
    return reply;
}

std::optional<Reply> accessRefusal(const QHttpServerRequest& request, const ServeOptions& options) {
    if (options.token.empty()) {
        if (loopbackHost(request.value("Host"))) {
            return std::nullopt;
        }
        return textReply(403, "This page answers only to 127.0.0.1, localhost or [::1].");
    }
    const QByteArray authorization = request.value("Authorization");
    if (authorization.startsWith("Bearer ") && sameToken(authorization.mid(7), options.token)) {
        return std::nullopt;
    }
    if (sameToken(cookieToken(request), options.token)) {
        return std::nullopt;
    }
    const QUrlQuery query = request.query();
    if (request.url().path() == "/" && query.hasQueryItem("token") &&
        sameToken(query.queryItemValue("token", QUrl::FullyDecoded).toUtf8(), options.token)) {
        // The token leaves the address bar (and the history) for a cookie only this page gets.
        Reply reply = textReply(303, "Signed in.");
        reply.headers.emplace_back("Location", "/");
        reply.headers.emplace_back("Set-Cookie", QByteArray(kTokenCookie) + '=' +
                                                     QByteArray::fromStdString(options.token) +
                                                     "; Path=/; HttpOnly; SameSite=Strict");
        return reply;
    }
    Reply reply = textReply(401, "A token is needed: Authorization: Bearer TOKEN, or open "
                                 "/?token=TOKEN once.");
    reply.headers.emplace_back("WWW-Authenticate", "Bearer");
    return reply;
}

} // namespace zr::tools::serve
