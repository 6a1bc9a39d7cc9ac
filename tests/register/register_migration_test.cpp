// Schema version 1 to 2 on SQLite, on a register made by the released station, killed at every
// step (a reader leaving it as it is and a later schema: register_tool_test.cpp).
#include "MigrationChild.h"
#include "RegisterFixture.h"

#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

std::unique_ptr<platform::Database> openFile(const std::string& file) {
    platform::SqlError error;
    return platform::QtDatabase::open({platform::SqlEngine::Sqlite, file, "", "", 0, ""}, error);
}

// Four cards, 00012:00001 to 00012:00004, written by the released station with the shared
// sequence, and 00012:00005 claimed by it for a card it was writing when it stopped.
std::string releasedRegister(const TempDir& dir) {
    const std::string file = dir.file("cards.sqlite");
    std::filesystem::copy_file(std::string(ZR_TESTDATA_DIR) + "/register/v1-four-cards.sqlite",
                               file);
    EXPECT_TRUE(openFile(file)->exec("INSERT INTO number_claims VALUES (12, 5, 'bench-1',"
                                     " '2000000005', 'claimed', '2026-12-08T13:29:39.000Z')"));
    return file;
}

TEST(RegisterMigration, KilledAtAnyStepLeavesVersionOneOrTwoWholeAndTheCardsKeepTheirNumbers) {
    TestClock clock;
    bool killed = true;
    int step = 1;
    for (; killed; ++step) {
        SCOPED_TRACE(step);
        TempDir dir;
        const std::string file = releasedRegister(dir);
        const std::string url = "sqlite:" + file;
        killed = killedMigrating(step, [&] { return openFile(file); });
        // Every kill comes before the commit it would have made.
        EXPECT_EQ(wholeVersion(*openFile(file)), killed ? 1 : 2);
        auto bench = openAt(url, "bench-2", clock).value();
        EXPECT_EQ(wholeVersion(*openFile(file)), 2);
        EXPECT_EQ(bench->list({}).value().size(), 4u);
        EXPECT_EQ(bench->startAttempt(12, 1, "2000000009", true, {.sharedSequence = true})->card,
                  6);
        EXPECT_FALSE(bench->addOrder({"PO-1", "", 12, 4, 9}).ok());
    }
    EXPECT_GT(step, 10);
}

} // namespace
} // namespace zr::reg::test
