// Opening, migrating and writing the register on SQLite files.
#include "FlakyDatabase.h"
#include "RegisterFixture.h"
#include "register/Schema.h"

#include <fstream>
#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

using platform::SqlError;
using platform::SqlRow;

std::int64_t scalar(platform::Database& db, const std::string& sql) {
    std::int64_t value = -1;
    db.exec(sql, {}, [&](const SqlRow& row) {
        value = std::get<std::int64_t>(row[0]);
        return false;
    });
    return value;
}

TEST(RegisterStore, FreshFileGetsTheSchemaAndReopensUnchanged) {
    TempDir dir;
    TestClock clock;
    const std::string file = dir.file("sub/cards.sqlite");
    {
        auto opened = openAt("sqlite:" + file, "bench-1", clock);
        ASSERT_TRUE(opened.ok()) << opened.error().message;
        EXPECT_TRUE(opened.value()->recordWrite(written("2000012345", 1, 7)));
        // An outcome whose started row is gone is filed as a row of its own, not lost.
        EXPECT_TRUE(opened.value()->recordWrite(written("2000012346", 1, 8), 4242));
    }
    auto reopened = openAt("sqlite:" + file, "bench-1", clock);
    ASSERT_TRUE(reopened.ok()) << reopened.error().message;
    const auto rows = reopened.value()->findUid("2000012345");
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.value().size(), 1u);
    const auto orphan = reopened.value()->findUid("2000012346");
    ASSERT_TRUE(orphan.ok());
    EXPECT_EQ(orphan.value().size(), 1u);

    SqlError error;
    auto db = platform::QtDatabase::open({platform::SqlEngine::Sqlite, file, "", "", 0, ""}, error);
    ASSERT_TRUE(db);
    EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM register_schema"), 1);
    EXPECT_EQ(scalar(*db, "SELECT version FROM register_schema"), kSchemaVersion);
    EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name IN"
                          " ('card_writes_by_uid', 'card_writes_by_number')"),
              2);
}

// A dropped connection costs the start one reconnect, not the card.
TEST(RegisterStore, AStartThatLostItsConnectionIsMadeAgain) {
    TempDir dir;
    TestClock clock;
    const std::string file = dir.file("cards.sqlite");
    ASSERT_TRUE(openAt("sqlite:" + file, "bench-1", clock).ok());
    auto db = FlakyDatabase::sqlite(file);
    FlakyDatabase* flaky = db.get();
    auto opened = CardRegister::open(std::move(db), file, "bench-1",
                                     CardRegister::Access::ReadWrite, clock.clock());
    ASSERT_TRUE(opened.ok());
    flaky->connectionGone = true;
    const auto attempt = opened.value()->startAttempt(1, 5, "2000000501", true, {});
    ASSERT_TRUE(attempt) << opened.value()->lastError().message;
    EXPECT_EQ(attempt->card, 5);
    EXPECT_EQ(flaky->reconnects, 1);
}

TEST(RegisterStore, ReadBackVerdictAgainstTheRegisteredNumber) {
    TempDir dir;
    TestClock clock;
    auto opened = openAt("sqlite:" + dir.file("cards.sqlite"), "bench-1", clock);
    ASSERT_TRUE(opened.ok());
    CardRegister& cards = *opened.value();
    CardWrite v1Only = written("2000000401", 1, 10);
    v1Only.v3 = LayoutOutcome::Skipped;
    ASSERT_TRUE(cards.recordWrite(v1Only));
    ASSERT_TRUE(cards.recordWrite(written("2000000402", 1, 11)));
    ASSERT_TRUE(
        cards.recordWrite(written("2000000402", 1, 12))); // rewritten: the last number counts

    struct Case {
        CardReadBack readBack;
        Verdict verdict;
        const char* registered;
    };
    const Case cases[] = {
        {{"2000000401", "00001:00010", ""}, Verdict::Matches, "00001:00010"}, // V3 never written
        {{"2000000401", "00001:00011", ""}, Verdict::Differs, "00001:00010"},
        {{"2000000402", "00001:00012", "00001:00012"}, Verdict::Matches, "00001:00012"},
        {{"2000000402", "00001:00012", "00001:00011"}, Verdict::Differs, "00001:00012"},
        {{"2000000402", "00001:00012", ""}, Verdict::Differs, "00001:00012"}, // V3 unreadable
        {{"2000000499", "00001:00012", "00001:00012"}, Verdict::Unregistered, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readBack.uid + " " + c.readBack.v1 + " " + c.readBack.v3);
        const auto verdict = cards.recordReadBack(c.readBack);
        ASSERT_TRUE(verdict);
        EXPECT_EQ(*verdict, c.verdict);
        const auto stored = cards.verificationsOf(c.readBack.uid);
        ASSERT_TRUE(stored.ok());
        ASSERT_FALSE(stored.value().empty());
        EXPECT_EQ(stored.value().back().registered, c.registered);
        EXPECT_EQ(stored.value().back().verdict, verdictText(c.verdict));
        EXPECT_EQ(stored.value().back().v3, c.readBack.v3);
    }
}

} // namespace
} // namespace zr::reg::test
