// The register on a real PostgreSQL server started for the test.
#include "PgServer.h"
#include "RegisterFixture.h"

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
    static std::unique_ptr<PgServer> server;
    std::string database;
    TestClock clock;
};

std::unique_ptr<PgServer> PostgresRegister::server;

TEST_F(PostgresRegister, SchemaWritesAndQueries) {
    auto opened = open("bench-A");
    ASSERT_TRUE(opened.ok()) << opened.error().message;
    auto again = open("bench-B"); // finds the schema in place
    ASSERT_TRUE(again.ok()) << again.error().message;
    CardRegister& a = *opened.value();
    CardRegister& b = *again.value();
    ASSERT_TRUE(a.recordWrite(written("2000000401", 1, 1)));
    ASSERT_TRUE(b.recordWrite(written("2000000402", 1, 1)));
    ASSERT_TRUE(b.recordWrite(written("2000000402", 1, 65535)));

    EXPECT_EQ(a.findUid("2000000402").value().size(), 2u);
    EXPECT_EQ(a.numbersOnSeveralUids().value().size(), 1u);
    EXPECT_EQ(a.uidsWithSeveralNumbers().value().size(), 1u);
    EXPECT_EQ(a.countWrittenSince("2026").value(), 3);
    EXPECT_EQ(a.stationHours().value().size(), 2u);
    EXPECT_EQ(a.recordReadBack({"2000000401", "00001:00001", "00001:00001"}), Verdict::Matches);
    EXPECT_EQ(a.otherUidWith(1, 65535, "2000000401").value(), "2000000402");
}

TEST_F(PostgresRegister, NewerSchemaIsLeftAlone) {
    {
        auto opened = open("bench-A");
        ASSERT_TRUE(opened.ok());
    }
    platform::SqlError error;
    auto db = platform::QtDatabase::open(
        {platform::SqlEngine::Postgres, "", "zr", "127.0.0.1", server->port(), database}, error);
    ASSERT_TRUE(db) << error.message;
    ASSERT_TRUE(db->exec("UPDATE register_schema SET version = 7"));
    const auto opened = open("bench-A");
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().kind, RegisterFailure::NewerSchema);
    EXPECT_NE(opened.error().message.find(server->url(database).substr(0, 20)), std::string::npos)
        << opened.error().message;
}

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

} // namespace
} // namespace zr::reg::test
