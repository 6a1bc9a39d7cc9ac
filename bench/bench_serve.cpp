// zr-register serve's cost on the register: each view's queries (uncached) on 100,000 and
// 1,000,000 rows on SQLite and on a PostgreSQL server, beside the row-id look-up as a floor;
// and the requests per second 20 viewers get from the server, with its cache in front.
// Rows are spread evenly over the last 100 days across 8 stations, so "today" holds about
// 1% of them; every 50th attempt failed, every 500th left its card partly written. 1,000
// orders of 1,000 codes each lie over the groups in turn; the 20 last are open (12 of them
// over the rows of the last two days, the rest not begun), the others complete long ago.
#include "register/PgServer.h"
#include "register/RegisterFixture.h"
#include "register/RegisterUrl.h"
#include "tools/register/serve/RegisterServer.h"
#include "tools/register/serve/ServeOrders.h"
#include "tools/register/serve/ServeViews.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <array>
#include <benchmark/benchmark.h>
#include <map>

namespace zr::reg::test {
namespace {

constexpr int kViewers = 20;
constexpr int kRequestsPerViewer = 50;
constexpr std::int64_t kSpanSeconds = 100 * 24 * 3600;

struct Bench {
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<PgServer> server;
    TestClock clock;
    std::shared_ptr<CardRegister> cards;
};

std::map<std::pair<bool, int>, Bench> benches;

// One INSERT ... SELECT over a generated series of row numbers.
std::string fillStatement(bool postgres, int rows) {
    const std::string n = std::to_string(rows);
    const std::string step = std::to_string(static_cast<double>(kSpanSeconds) / rows);
    const std::string columns =
        "INSERT INTO card_writes (written_at, station, uid, group_code, card_code, locked, v1,"
        " v3, outcome) ";
    const std::string outcome = " CASE WHEN i % 500 = 0 THEN 'ok' WHEN i % 50 = 0 THEN 'failed'"
                                " ELSE 'ok' END, CASE WHEN i % 500 = 0 THEN 'unknown' WHEN"
                                " i % 50 = 0 THEN '-' ELSE 'ok' END, CASE WHEN i % 50 = 0 THEN"
                                " 'failed' ELSE 'written' END";
    if (postgres) {
        return columns + "SELECT to_char((now() AT TIME ZONE 'UTC') - ((" + n + " - i) * " + step +
               ") * interval '1 second', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'),"
               " 'bench-' || (i % 8), lpad((10000 + i / 65536)::text, 5, '0') ||"
               " lpad((i % 65536)::text, 5, '0'), i / 65536 + 1, i % 65536, 1," +
               outcome + " FROM generate_series(1, " + n + ") AS i";
    }
    return "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < " + n + ") " +
           columns + "SELECT strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-' || ((" + n + " - i) * " +
           step +
           ") || ' seconds'), 'bench-' || (i % 8), printf('%05d%05d', 10000 + i / 65536,"
           " i % 65536), i / 65536 + 1, i % 65536, 1," +
           outcome + " FROM s";
}

constexpr int kOrders = 1000;
constexpr int kOpenOrders = 20;
constexpr double kOrdersGoalMs = 50;

std::string ordersStatement(bool postgres) {
    const std::string last = std::to_string(kOrders - 1);
    const std::string columns =
        "INSERT INTO orders (reference, customer, group_code, first_card, last_card, state,"
        " created_at, changed_at) SELECT 'PO-' || k, 'Customer ' || (k % 37), k / 65 + 1,"
        " (k % 65) * 1000, (k % 65) * 1000 + 999, CASE WHEN k >= " +
        std::to_string(kOrders - kOpenOrders) +
        " THEN 'open' ELSE 'complete' END, '2026-01-01T00:00:00.000Z',"
        " '2026-01-01T00:00:00.000Z'";
    if (postgres) {
        return columns + " FROM generate_series(0, " + last + ") AS k";
    }
    return "WITH RECURSIVE s(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM s WHERE k < " + last +
           ") " + columns + " FROM s";
}

Bench& filled(bool postgres, int rows) {
    Bench& bench = benches[{postgres, rows}];
    if (bench.cards) {
        return bench;
    }
    std::string url;
    if (postgres) {
        bench.server = std::make_unique<PgServer>(true);
        if (!bench.server->running() || !bench.server->createDatabase("bench")) {
            return bench;
        }
        url = bench.server->url("bench");
    } else {
        bench.dir = std::make_unique<TempDir>();
        url = "sqlite:" + bench.dir->file("cards.sqlite");
    }
    if (!openAt(url, "bench-1", bench.clock)) {
        return bench;
    }
    platform::SqlError error;
    auto raw = openQt(parseRegisterUrl(url).value(), error);
    if (!raw || !raw->exec(fillStatement(postgres, rows)) ||
        !raw->exec(ordersStatement(postgres)) || !raw->exec("ANALYZE")) {
        std::fprintf(stderr, "fill failed: %s\n", raw ? raw->lastError().message.c_str() : "");
        return bench;
    }
    auto reader = openAt(url, "zr-register", bench.clock, CardRegister::Access::ReadOnly);
    if (reader) {
        bench.cards = reader.value();
    }
    return bench;
}

void view(benchmark::State& state, bool postgres, int rows,
          tools::serve::View (*make)(CardRegister&, tools::serve::Now)) {
    Bench& bench = filled(postgres, rows);
    if (!bench.cards) {
        state.SkipWithError("register could not be filled");
        return;
    }
    for (auto _ : state) {
        const auto made = make(*bench.cards, std::chrono::system_clock::now());
        if (!made) {
            state.SkipWithError(made.error().message.c_str());
            return;
        }
        benchmark::DoNotOptimize(made.value());
    }
    if (make == tools::serve::ordersView) {
        state.counters["goal_ms"] = kOrdersGoalMs;
    }
}

void lookupId(benchmark::State& state, bool postgres, int rows) {
    Bench& bench = filled(postgres, rows);
    if (!bench.cards) {
        state.SkipWithError("register could not be filled");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.cards->list({"", "", "", 5, 100, 100, 1}));
    }
}

// Each viewer asks for the four views in turn, one request at a time, as pages refreshing
// as fast as they can; the clients run in the server's own thread.
void viewers(benchmark::State& state, bool postgres, int rows) {
    Bench& bench = filled(postgres, rows);
    if (!bench.cards) {
        state.SkipWithError("register could not be filled");
        return;
    }
    tools::serve::ServeOptions options;
    options.port = 0;
    tools::serve::RegisterServer server(
        *bench.cards, options, [] { return std::chrono::system_clock::now(); },
        [] { return std::chrono::steady_clock::now(); });
    const quint16 port = server.start();
    const char* paths[] = {"/api/stations", "/api/ranges", "/api/alarms", "/api/attempts"};
    std::int64_t answered = 0;
    for (auto _ : state) {
        std::array<std::unique_ptr<QNetworkAccessManager>, kViewers> clients;
        int running = kViewers;
        QEventLoop loop;
        std::function<void(int, int)> ask = [&](int viewer, int left) {
            if (left == 0) {
                if (--running == 0) {
                    loop.quit();
                }
                return;
            }
            const QUrl url(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(paths[left % 4]));
            QNetworkReply* reply =
                clients[static_cast<std::size_t>(viewer)]->get(QNetworkRequest(url));
            QObject::connect(reply, &QNetworkReply::finished, [&, reply, viewer, left] {
                answered +=
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
                reply->deleteLater();
                ask(viewer, left - 1);
            });
        };
        for (int viewer = 0; viewer < kViewers; ++viewer) {
            clients[static_cast<std::size_t>(viewer)] = std::make_unique<QNetworkAccessManager>();
            ask(viewer, kRequestsPerViewer);
        }
        loop.exec();
    }
    state.counters["requests_per_second"] =
        benchmark::Counter(static_cast<double>(answered), benchmark::Counter::kIsRate);
}

void registerAll() {
    const std::pair<const char*, tools::serve::View (*)(CardRegister&, tools::serve::Now)> views[] =
        {
            {"stations", tools::serve::stationsView}, {"ranges", tools::serve::rangesView},
            {"alarms", tools::serve::alarmsView},     {"attempts", tools::serve::attemptsView},
            {"orders", tools::serve::ordersView},
        };
    for (const bool postgres : {false, true}) {
        for (const int rows : {100000, 1000000}) {
            const std::string suffix =
                std::string(postgres ? "postgresql" : "sqlite") + "/" + std::to_string(rows);
            for (const auto& [name, make] : views) {
                benchmark::RegisterBenchmark(("view_" + std::string(name) + "/" + suffix).c_str(),
                                             view, postgres, rows, make)
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(5);
            }
            benchmark::RegisterBenchmark(("peer_list_by_number/" + suffix).c_str(), lookupId,
                                         postgres, rows)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("viewers_20/" + suffix).c_str(), viewers, postgres, rows)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3)
                ->UseRealTime();
        }
    }
}

} // namespace
} // namespace zr::reg::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    zr::reg::test::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zr::reg::test::benches.clear();
    return 0;
}
