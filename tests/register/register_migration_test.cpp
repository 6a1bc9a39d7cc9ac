// Schema version 1 to 2 on SQLite: a register made by the released station, a migration
// killed at every step, and a register newer than this build.
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
// sequence (docs/register.md).
std::string releasedRegister(const TempDir& dir) {
    const std::string file = dir.file("cards.sqlite");
    std::filesystem::copy_file(std::string(ZR_TESTDATA_DIR) + "/register/v1-four-cards.sqlite",
                               file);
    return file;
}

TEST(RegisterMigration, ReleasedRegisterIsReadAsItIsAndMigratedByAWriter) {
    TempDir dir;
    TestClock clock;
    const std::string url = "sqlite:" + releasedRegister(dir);
    {
        auto reader = openAt(url, "zr-register", clock, CardRegister::Access::ReadOnly);
        ASSERT_TRUE(reader.ok()) << reader.error().message;
        EXPECT_EQ(reader.value()->schemaVersion(), 1);
        EXPECT_EQ(reader.value()->list({}).value().size(), 4u);
        EXPECT_TRUE(reader.value()->orders().value().empty());
    }
    auto writer = openAt(url, "bench-2", clock);
    ASSERT_TRUE(writer.ok()) << writer.error().message;
    CardRegister& cards = *writer.value();
    EXPECT_EQ(cards.schemaVersion(), 2);
    EXPECT_EQ(cards.findUid("2000000003").value().at(0).card, 3);
    const CardRegister::NumberRule shared{
        .sharedSequence = true, .skipHeld = true, .ownNumberFirst = true};
    EXPECT_EQ(cards.startAttempt(12, 1, "2000000002", true, shared)->card, 2);
    EXPECT_EQ(cards.startAttempt(12, 1, "2000000009", true, shared)->card, 5);
    EXPECT_EQ(cards.addOrder({"PO-1", "", 12, 3, 9}).error().kind, RegisterFailure::Refused);
    ASSERT_TRUE(cards.addOrder({"PO-1", "", 12, 6, 9}).ok());
    EXPECT_EQ(cards.startOrderAttempt("PO-1", "2000000010", true)->card, 6);
}

TEST(RegisterMigration, KilledAtAnyStepLeavesVersionOneOrTwoWhole) {
    int step = 1;
    for (ChildEnd end = ChildEnd::Killed; end == ChildEnd::Killed; ++step) {
        SCOPED_TRACE(step);
        TempDir dir;
        const std::string file = releasedRegister(dir);
        end = migrateInChild(step, [&] { return openFile(file); });
        ASSERT_NE(end, ChildEnd::Failed);
        auto db = openFile(file);
        // Every kill comes before the commit it would have made.
        EXPECT_EQ(wholeVersion(*db), end == ChildEnd::Killed ? 1 : 2);
        TestClock clock;
        auto reopened = openAt("sqlite:" + file, "bench-2", clock);
        ASSERT_TRUE(reopened.ok()) << reopened.error().message;
        EXPECT_EQ(reopened.value()->list({}).value().size(), 4u);
        EXPECT_EQ(wholeVersion(*db), 2);
    }
    EXPECT_GT(step, 10);
}

TEST(RegisterMigration, ALaterSchemaIsRefusedAndLeftUntouched) {
    TempDir dir;
    TestClock clock;
    const std::string file = releasedRegister(dir);
    ASSERT_TRUE(openFile(file)->exec("UPDATE register_schema SET version = 3"));
    for (const auto access : {CardRegister::Access::ReadWrite, CardRegister::Access::ReadOnly}) {
        const auto opened = openAt("sqlite:" + file, "bench-2", clock, access);
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.error().kind, RegisterFailure::NewerSchema);
        EXPECT_NE(opened.error().message.find("version 3"), std::string::npos);
    }
    auto db = openFile(file);
    EXPECT_EQ(wholeVersion(*db), -1);
    EXPECT_FALSE(db->exec("SELECT COUNT(*) FROM orders"));
}

} // namespace
} // namespace zr::reg::test
