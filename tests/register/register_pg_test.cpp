// The register on a real PostgreSQL server started for the test.
#include "MigrationChild.h"
#include "PgServer.h"
#include "RegisterFixture.h"
#include "register/RegisterUrl.h"

#include <gtest/gtest.h>
#include <set>

namespace zr::reg::test {
namespace {

class PostgresRegister : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { server = std::make_unique<PgServer>(); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override {
        ASSERT_TRUE(server->running()) << server->failure();
        static int count = 0;
        database = "cards" + std::to_string(++count);
        ASSERT_TRUE(server->createDatabase(database));
    }
    CardRegister::Result open(const std::string& station) {
        return openAt(server->url(database), station, clock);
    }
    std::unique_ptr<platform::Database> connect() const {
        platform::SqlError error;
        return platform::QtDatabase::open(parseRegisterUrl(server->url(database)).value(), error);
    }
    static std::unique_ptr<PgServer> server;
    std::string database;
    TestClock clock;
};

std::unique_ptr<PgServer> PostgresRegister::server;

TEST_F(PostgresRegister, InterleavedClaimsNeverShareANumber) {
    auto a = open("bench-A");
    auto b = open("bench-B");
    ASSERT_TRUE(a.ok() && b.ok());
    std::set<int> numbers;
    int nextA = 1;
    int nextB = 1;
    for (int card = 0; card < 40; ++card) {
        const bool onA = card % 3 != 0;
        CardRegister& bench = onA ? *a.value() : *b.value();
        int& next = onA ? nextA : nextB;
        const std::string uid = std::to_string(2000000000 + card);
        const auto claimed = bench.claimNumber(9, next, uid);
        ASSERT_TRUE(claimed) << bench.lastError().message;
        ASSERT_TRUE(bench.recordWrite(written(uid, 9, *claimed)));
        EXPECT_TRUE(numbers.insert(*claimed).second) << *claimed;
        next = *claimed + 1;
    }
    EXPECT_EQ(*numbers.rbegin(), 40);
}

TEST_F(PostgresRegister, ServerStoppedAndRestartedMidRun) {
    auto opened = open("bench-A");
    ASSERT_TRUE(opened.ok());
    CardRegister& bench = *opened.value();
    ASSERT_TRUE(bench.recordWrite(written("2000000401", 1, 1)));

    ASSERT_TRUE(server->stop());
    EXPECT_FALSE(bench.recordWrite(written("2000000402", 1, 2)));
    EXPECT_EQ(bench.lastError().kind, RegisterFailure::Unavailable);
    EXPECT_NE(bench.lastError().message.find("127.0.0.1"), std::string::npos);
    EXPECT_FALSE(bench.claimNumber(1, 3, "2000000403"));
    ASSERT_TRUE(server->start());

    ASSERT_TRUE(bench.recordWrite(written("2000000403", 1, 3))) << bench.lastError().message;
    EXPECT_EQ(bench.list({}).value().size(), 2u); // the failed row is the caller's to keep
    EXPECT_EQ(bench.claimNumber(1, 3, "2000000404"), 4);
}

// A register made at version 1 with two cards, migrated by a child killed at each step in turn.
TEST_F(PostgresRegister, MigrationKilledAtAnyStepLeavesVersionOneOrTwoWhole) {
    const std::string base = database;
    bool killed = true;
    int step = 1;
    for (; killed; ++step) {
        SCOPED_TRACE(step);
        database = base + "_" + std::to_string(step);
        ASSERT_TRUE(server->createDatabase(database));
        ASSERT_EQ(migrateSchema(*connect(), "v1", 1).kind, RegisterFailure::None);
        ASSERT_TRUE(connect()->exec("INSERT INTO card_writes (written_at, station, uid,"
                                    " group_code, card_code, locked, v1, v3, outcome) VALUES"
                                    " ('2026-12-01', 'b', '2000000002', 5, 2, 1, 'unknown', '-',"
                                    " 'failed')"));
        killed = killedMigrating(step, [&] { return connect(); });
        EXPECT_EQ(wholeVersion(*connect()), killed ? 1 : 2);
        EXPECT_EQ(open("bench-A").value()->list({}).value().size(), 1u);
        EXPECT_EQ(wholeVersion(*connect()), 2);
    }
    EXPECT_GT(step, 10);
    // The migrated register numbers an order from two benches: 2 may be on a card.
    auto a = open("bench-A");
    auto b = open("bench-B");
    ASSERT_TRUE(a.ok() && b.ok());
    ASSERT_TRUE(a.value()->addOrder({"PO-5", "", 5, 3, 6}).ok());
    std::set<int> numbers;
    for (int card = 0; card < 4; ++card) {
        CardRegister& bench = card % 2 == 0 ? *a.value() : *b.value();
        const std::string uid = std::to_string(2000000010 + card);
        const auto attempt = bench.startOrderAttempt("PO-5", uid, true);
        ASSERT_TRUE(attempt && bench.recordWrite(written(uid, 5, attempt->card), attempt->id));
        numbers.insert(attempt->card);
    }
    EXPECT_FALSE(b.value()->startOrderAttempt("PO-5", "2000000020", true));
    EXPECT_EQ(b.value()->lastError().kind, RegisterFailure::OrderComplete);
}

} // namespace
} // namespace zr::reg::test
