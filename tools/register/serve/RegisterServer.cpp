#include "tools/register/serve/RegisterServer.h"

#include "register/CsvExport.h"
#include "tools/register/NumberArguments.h"
#include "tools/register/serve/ServeNotes.h"
#include "tools/register/serve/ServeOrders.h"
#include "tools/register/serve/ServeViews.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QUrlQuery>
#include <sstream>

namespace zr::tools::serve {
namespace {

// The page cannot load anything but its own script, style and JSON: markup slipped into the
// page would have nothing to fetch and no inline script would run.
constexpr const char* kPagePolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self';"
    " img-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

struct Asset {
    const char* path;
    const char* resource;
    const char* type;
};

constexpr Asset kAssets[] = {
    {"/", ":/zr-serve/index.html", "text/html; charset=utf-8"},
    {"/page.js", ":/zr-serve/page.js", "text/javascript; charset=utf-8"},
    {"/page.css", ":/zr-serve/page.css", "text/css; charset=utf-8"},
};

struct NamedView {
    const char* path;
    ViewMaker make;
};

constexpr NamedView kViews[] = {
    {"/api/stations", stationsView}, {"/api/ranges", rangesView}, {"/api/alarms", alarmsView},
    {"/api/attempts", attemptsView}, {"/api/orders", ordersView},
};

Reply assetReply(const Asset& asset) {
    QFile file(QString::fromLatin1(asset.resource));
    if (!file.open(QIODevice::ReadOnly)) {
        return textReply(500, "The page is missing from this build.");
    }
    Reply reply;
    reply.type = asset.type;
    reply.body = file.readAll();
    reply.headers.emplace_back("Content-Security-Policy", kPagePolicy);
    return reply;
}

} // namespace

RegisterServer::RegisterServer(reg::CardRegister& cards, ServeOptions options, reg::Clock clock,
                               ViewCache::SteadyClock steady)
    : cards_(cards), options_(std::move(options)), clock_(std::move(clock)),
      cache_(kRefreshPeriod, std::move(steady)) {}

quint16 RegisterServer::start() {
    return listen(options_.address, options_.port);
}

bool RegisterServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    send(request, socket, answer(request));
    return true;
}

void RegisterServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    send(request, socket, textReply(404, "No such page."));
}

Reply RegisterServer::answer(const QHttpServerRequest& request) {
    if (request.method() != QHttpServerRequest::Method::Get) {
        Reply reply = textReply(405, "Only GET is served: the register is read-only here.");
        reply.headers.emplace_back("Allow", "GET");
        return reply;
    }
    if (auto refused = accessRefusal(request, options_)) {
        return *refused;
    }
    const QString path = request.url().path();
    const QUrlQuery query = request.query();
    if (path == "/export.csv") {
        return exportRange(request);
    }
    if (path == "/note.pdf" || path == "/note.csv") {
        return noteReply(cards_, query, path == "/note.pdf" ? NoteFile::Pdf : NoteFile::Csv);
    }
    for (const Asset& asset : kAssets) {
        if (path == QLatin1String(asset.path)) {
            // The token's own parameter is the only one the page takes (and is past here).
            const bool onlyToken = query.queryItems().size() == 1 && query.hasQueryItem("token");
            if (!query.isEmpty() && !onlyToken) {
                return textReply(400, "This page takes no parameters.");
            }
            return assetReply(asset);
        }
    }
    for (const NamedView& named : kViews) {
        if (path == QLatin1String(named.path)) {
            if (!query.isEmpty()) {
                return textReply(400, "This view takes no parameters.");
            }
            return view(named.path, named.make);
        }
    }
    return textReply(404, "No such page.");
}

Reply RegisterServer::view(const std::string& name, ViewMaker make) {
    const CachedAnswer& cached = cache_.answer(name, [&] {
        const View made = make(cards_, clock_());
        if (!made) {
            return CachedAnswer{
                503, jsonBytes({{"error", QString::fromStdString(made.error().message)}})};
        }
        return CachedAnswer{200, jsonBytes(made.value())};
    });
    Reply reply;
    reply.status = cached.status;
    reply.type = "application/json";
    reply.body = cached.body;
    return reply;
}

Reply RegisterServer::exportRange(const QHttpServerRequest& request) {
    const QUrlQuery query = request.query();
    for (const auto& [key, value] : query.queryItems()) {
        if (key != "group" && key != "cards") {
            return textReply(400, "Unknown parameter " + key.toUtf8() + "; give group and cards.");
        }
        if (query.allQueryItemValues(key).size() > 1) {
            return textReply(400, "Give " + key.toUtf8() + " once.");
        }
    }
    const auto group = parseCode(query.queryItemValue("group").toStdString());
    const auto cards = parseCardRange(query.queryItemValue("cards").toStdString());
    if (!group || !cards) {
        return textReply(400, "Give group=G (0 to 65535) and cards=FROM-TO (FROM <= TO, 0 to "
                              "65535), e.g. /export.csv?group=12&cards=1-500.");
    }
    if (cards->second - cards->first + 1 > kMaxExportCards) {
        return textReply(400, "At most " + QByteArray::number(kMaxExportCards) +
                                  " cards per download; split the range.");
    }
    reg::ListFilter filter;
    filter.group = group;
    filter.cardFrom = cards->first;
    filter.cardTo = cards->second;
    std::ostringstream csv;
    if (!reg::exportCsv(cards_, csv, filter)) {
        return textReply(503, "The register cannot be read: " +
                                  QByteArray::fromStdString(cards_.lastError().message));
    }
    Reply reply;
    reply.type = "text/csv; charset=utf-8";
    reply.body = QByteArray::fromStdString(csv.str());
    reply.headers.emplace_back("Content-Disposition",
                               "attachment; filename=\"cards-" + QByteArray::number(*group) + '-' +
                                   QByteArray::number(cards->first) + '-' +
                                   QByteArray::number(cards->second) + ".csv\"");
    return reply;
}

void RegisterServer::send(const QHttpServerRequest& request, QTcpSocket* socket,
                          const Reply& reply) {
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    responder.writeHeader("Content-Type", reply.type);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    for (const auto& [name, value] : reply.headers) {
        responder.writeHeader(name, value);
    }
    responder.writeBody(reply.body);
}

} // namespace zr::tools::serve
