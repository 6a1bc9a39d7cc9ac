// The card register's cost: one card (the started row and its outcome, each a durable
// commit) on SQLite and on a PostgreSQL server with fsync on, beside a bare one-row insert
// on the same connection; a look-up by UID among 100,000 rows beside one by row id; the CSV
// export of 100,000 rows beside reading them without formatting; the delivery note (PDF and
// CSV) of an order of 5,000 written cards among them (goal: at most 2 s).
#include "register/CsvExport.h"
#include "register/PgServer.h"
#include "register/RegisterFixture.h"
#include "register/RegisterUrl.h"
#include "tools/register/DeliveryNote.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sstream>

namespace zr::reg::test {
namespace {

constexpr int kRows = 100000;

std::string uidOf(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d%05d", 10000 + n / 65536, n % 65536);
    return text;
}

struct Bench {
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<PgServer> server;
    TestClock clock;
    std::shared_ptr<CardRegister> cards;
    std::unique_ptr<platform::Database> raw; // the same register, for the peers
};

std::string urlOf(Bench& bench, bool postgres) {
    if (!postgres) {
        bench.dir = std::make_unique<TempDir>();
        return "sqlite:" + bench.dir->file("cards.sqlite");
    }
    bench.server = std::make_unique<PgServer>(true);
    if (!bench.server->running() || !bench.server->createDatabase("bench")) {
        return {};
    }
    return bench.server->url("bench");
}

// Released by main before exit: the connections must close before Qt's SQL registry goes,
// and the server must be stopped.
std::array<Bench, 2> benches;

// A register holding kRows cards, filled in one transaction.
Bench& filled(bool postgres) {
    Bench& bench = benches[postgres ? 1 : 0];
    if (bench.cards) {
        return bench;
    }
    const std::string url = urlOf(bench, postgres);
    auto opened = openAt(url, "bench-1", bench.clock);
    if (url.empty() || !opened) {
        return bench;
    }
    bench.cards = opened.value();
    const auto address = parseRegisterUrl(url);
    platform::SqlError error;
    bench.raw = openQt(address.value(), error);
    platform::Database& db = *bench.raw;
    db.begin();
    for (int n = 0; n < kRows; ++n) {
        db.exec("INSERT INTO card_writes (written_at, station, uid, group_code, card_code,"
                " locked, v1, v3, outcome) VALUES (?, ?, ?, ?, ?, 1, 'ok', 'ok', 'written')",
                {utcText(bench.clock.now), std::string("bench-1"), uidOf(n),
                 std::int64_t{n / 65536 + 1}, std::int64_t{n % 65536}});
    }
    db.commit();
    return bench;
}

void cardRecorded(benchmark::State& state, bool postgres) {
    Bench& bench = filled(postgres);
    if (!bench.cards) {
        state.SkipWithError("register could not be opened");
        return;
    }
    int n = kRows;
    for (auto _ : state) {
        const std::string uid = uidOf(n++);
        const auto attempt = bench.cards->startAttempt(
            200, n % 65536, uid, true,
            {.sharedSequence = false, .skipHeld = false, .ownNumberFirst = false});
        if (!attempt || !bench.cards->recordWrite(written(uid, 200, attempt->card), attempt->id)) {
            state.SkipWithError("card not recorded");
            return;
        }
    }
}

void bareInsert(benchmark::State& state, bool postgres) {
    Bench& bench = filled(postgres);
    if (!bench.raw) {
        state.SkipWithError("register could not be opened");
        return;
    }
    for (auto _ : state) {
        if (!bench.raw->exec("INSERT INTO card_verifications (read_at, station, uid, v1, v3,"
                             " registered, verdict) VALUES ('t', 's', 'u', '', '', '', 'x')")) {
            state.SkipWithError("insert failed");
            return;
        }
    }
}

void lookupUid(benchmark::State& state, bool postgres) {
    Bench& bench = filled(postgres);
    if (!bench.cards) {
        state.SkipWithError("register could not be opened");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        const auto rows = bench.cards->findUid(uidOf((n += 7919) % kRows));
        if (!rows || rows.value().size() != 1) {
            state.SkipWithError("look-up failed");
            return;
        }
    }
}

void lookupId(benchmark::State& state, bool postgres) {
    Bench& bench = filled(postgres);
    if (!bench.raw) {
        state.SkipWithError("register could not be opened");
        return;
    }
    std::int64_t n = 0;
    for (auto _ : state) {
        int found = 0;
        bench.raw->exec("SELECT id, uid FROM card_writes WHERE id = ?", {(n += 7919) % kRows + 1},
                        [&](const platform::SqlRow&) {
                            ++found;
                            return true;
                        });
        if (found != 1) {
            state.SkipWithError("look-up failed");
            return;
        }
    }
}

void exportRows(benchmark::State& state, bool postgres) {
    Bench& bench = filled(postgres);
    if (!bench.cards) {
        state.SkipWithError("register could not be opened");
        return;
    }
    for (auto _ : state) {
        std::ostringstream out;
        if (!exportCsv(*bench.cards, out)) {
            state.SkipWithError("export failed");
            return;
        }
        benchmark::DoNotOptimize(out.str().size());
    }
}

void readRows(benchmark::State& state, bool postgres) {
    Bench& bench = filled(postgres);
    if (!bench.cards) {
        state.SkipWithError("register could not be opened");
        return;
    }
    for (auto _ : state) {
        std::size_t rows = 0;
        bench.cards->forEachWrite([&](const WriteRow&) {
            ++rows;
            return true;
        });
        benchmark::DoNotOptimize(rows);
    }
}

void orderNote(benchmark::State& state) {
    Bench& bench = filled(false);
    if (!bench.raw) {
        state.SkipWithError("register could not be opened");
        return;
    }
    // Over numbers already written: the note reads the range, whoever wrote it.
    const std::string now = utcText(bench.clock.now);
    bench.raw->exec("INSERT INTO orders (reference, customer, group_code, first_card, last_card,"
                    " state, created_at, changed_at) VALUES ('PO-5000', 'Bench', 1, 1, 5000,"
                    " 'complete', ?, ?) ON CONFLICT DO NOTHING",
                    {now, now});
    const tools::NoteRequest request{"PO-5000", bench.dir->file("note.pdf"),
                                     bench.dir->file("note.csv"), tools::NoteLanguage::English};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (tools::orderNote(*bench.cards, request, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
}

void registerAll() {
    benchmark::RegisterBenchmark("order_note_5000/sqlite", orderNote)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    for (const bool postgres : {false, true}) {
        const std::string engine = postgres ? "postgresql" : "sqlite";
        benchmark::RegisterBenchmark(("card_recorded/" + engine).c_str(), cardRecorded, postgres)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("peer_bare_insert/" + engine).c_str(), bareInsert, postgres)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("lookup_uid/" + engine).c_str(), lookupUid, postgres)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("peer_lookup_id/" + engine).c_str(), lookupId, postgres)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("export_csv_100k/" + engine).c_str(), exportRows, postgres)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("peer_read_100k/" + engine).c_str(), readRows, postgres)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
}

} // namespace
} // namespace zr::reg::test

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    zr::reg::test::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto& bench : zr::reg::test::benches) {
        bench.raw.reset();
        bench.cards.reset();
        bench.server.reset();
        bench.dir.reset();
    }
    return 0;
}
