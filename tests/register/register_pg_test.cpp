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
