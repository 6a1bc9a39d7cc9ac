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
    }
    auto reopened = openAt("sqlite:" + file, "bench-1", clock);
    ASSERT_TRUE(reopened.ok()) << reopened.error().message;
    const auto rows = reopened.value()->findUid("2000012345");
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.value().size(), 1u);

    SqlError error;
    auto db = platform::QtDatabase::open({platform::SqlEngine::Sqlite, file, "", "", 0, ""}, error);
    ASSERT_TRUE(db);
    EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM register_schema"), 1);
    EXPECT_EQ(scalar(*db, "SELECT version FROM register_schema"), kSchemaVersion);
    EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name IN"
                          " ('card_writes_by_uid', 'card_writes_by_number')"),
              2);
}

TEST(RegisterStore, BadFilesAreRefusedWithTheirName) {
    TempDir dir;
    TestClock clock;
    const std::string text = dir.file("notes.txt");
    std::ofstream(text) << "this is not a database, it is a shopping list\n";

    const std::string newer = dir.file("newer.sqlite");
    {
        SqlError error;
        auto db =
            platform::QtDatabase::open({platform::SqlEngine::Sqlite, newer, "", "", 0, ""}, error);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec("CREATE TABLE register_schema (version INTEGER NOT NULL)"));
        ASSERT_TRUE(db->exec("INSERT INTO register_schema VALUES (99)"));
    }
    struct Case {
        std::string url;
        RegisterFailure kind;
        std::string names;
    };
    const Case cases[] = {
        {"sqlite:" + text, RegisterFailure::NotADatabase, text},
        {"sqlite:" + newer, RegisterFailure::NewerSchema, newer},
        {"sqlite:" + dir.file("missing-dir-is-a-file.txt/cards.sqlite"),
         RegisterFailure::CannotOpen, "missing-dir-is-a-file.txt"},
        {"sqlite:", RegisterFailure::CannotOpen, "sqlite:"},
    };
    std::ofstream(dir.file("missing-dir-is-a-file.txt")) << "x";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const auto opened = openAt(c.url, "bench-1", clock);
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.error().kind, c.kind) << opened.error().message;
        EXPECT_NE(opened.error().message.find(c.names), std::string::npos)
            << opened.error().message;
    }
    // Neither file was changed by the attempt.
    std::ifstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "this is not a database, it is a shopping list");
    SqlError error;
    auto db =
        platform::QtDatabase::open({platform::SqlEngine::Sqlite, newer, "", "", 0, ""}, error);
    EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'card_writes'"), 0);
}

TEST(RegisterStore, WriteRowsHoldEveryField) {
    TempDir dir;
    TestClock clock;
    auto opened = openAt("sqlite:" + dir.file("cards.sqlite"), "bench \"north\", 2", clock);
    ASSERT_TRUE(opened.ok());
    CardRegister& cards = *opened.value();
    CardWrite failed = written("2000065535", 12, 345);
    failed.lock = false;
    failed.v3 = LayoutOutcome::Failed;
    failed.written = false;
    clock.now += std::chrono::milliseconds(1234);
    ASSERT_TRUE(cards.recordWrite(failed));

    const auto rows = cards.findNumber(12, 345);
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.value().size(), 1u);
    const WriteRow& row = rows.value()[0];
    EXPECT_EQ(row.time, "2026-12-06T09:00:01.234Z");
    EXPECT_EQ(row.station, "bench \"north\", 2");
    EXPECT_EQ(row.uid, "2000065535");
    EXPECT_EQ(row.group, 12);
    EXPECT_EQ(row.card, 345);
    EXPECT_FALSE(row.lock);
    EXPECT_EQ(row.v1, "ok");
    EXPECT_EQ(row.v3, "failed");
    EXPECT_EQ(row.outcome, "failed");
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

TEST(RegisterStore, AFailedWriteNamesTheRegisterAndALostServerIsCalledAgainOnce) {
    TempDir dir;
    TestClock clock;
    auto flaky = FlakyDatabase::sqlite(dir.file("cards.sqlite"));
    FlakyDatabase& db = *flaky;
    auto opened = CardRegister::open(std::move(flaky), dir.file("cards.sqlite"), "bench-1",
                                     CardRegister::Access::ReadWrite, clock.clock());
    ASSERT_TRUE(opened.ok());
    CardRegister& cards = *opened.value();

    ASSERT_TRUE(cards.recordWrite(written("2000000401", 1, 1)));
    db.down = true;
    EXPECT_FALSE(cards.recordWrite(written("2000000402", 1, 2)));
    EXPECT_EQ(cards.lastError().kind, RegisterFailure::Unavailable);
    EXPECT_NE(cards.lastError().message.find("cards.sqlite"), std::string::npos);
    EXPECT_NE(cards.lastError().message.find("disk is full"), std::string::npos);
    EXPECT_EQ(db.reconnects, 0); // a file is not reconnected
    EXPECT_FALSE(cards.writable());
    db.failure = platform::SqlFailure::ConnectionLost;
    EXPECT_FALSE(cards.recordWrite(written("2000000402", 1, 2)));
    EXPECT_EQ(db.reconnects, 1);
    db.down = false;
    EXPECT_TRUE(cards.writable());
}

} // namespace
} // namespace zr::reg::test
