// zr-register's commands over a register filled by two stations.
#include "RegisterFixture.h"
#include "register/Schema.h"
#include "tools/register/RegisterTool.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace zr::reg::test {
namespace {

using namespace std::chrono_literals;

class RegisterTool : public ::testing::Test {
  protected:
    void SetUp() override {
        url = "sqlite:" + dir.file("cards.sqlite");
        auto a = openAt(url, "bench-A", clock);
        auto b = openAt(url, "bench-B", clock);
        ASSERT_TRUE(a.ok() && b.ok());
        ASSERT_TRUE(a.value()->recordWrite(written("2000000170", 1, 1)));
        CardWrite failed = written("2000000187", 1, 2);
        failed.v1 = LayoutOutcome::Failed;
        failed.v3 = LayoutOutcome::Skipped;
        failed.written = false;
        ASSERT_TRUE(a.value()->recordWrite(failed));
        clock.now += 2h;
        ASSERT_TRUE(b.value()->recordWrite(written("2000000187", 1, 2)));
        ASSERT_TRUE(b.value()->recordWrite(written("2000000204", 1, 1)));
        ASSERT_TRUE(b.value()->recordReadBack({"2000000204", "00001:00001", "00001:00002"}));
        environment.opener = openQt;
        environment.settingsUrl = [this](const std::optional<std::string>&) { return settingsUrl; };
        environment.defaultPath = dir.file("default/cards.sqlite");
    }
    int run(std::vector<std::string> arguments) {
        out.str("");
        err.str("");
        return tools::runRegisterTool(arguments, environment, out, err);
    }
    TempDir dir;
    TestClock clock;
    std::string url;
    std::string settingsUrl;
    tools::ToolEnvironment environment;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RegisterTool, Commands) {
    const struct {
        std::vector<std::string> arguments;
        int exit;
        std::vector<std::string> outHas;
        std::vector<std::string> outLacks;
    } cases[] = {
        {{"list"},
         0,
         {"\t2000000170\t00001:00001\t1\tok\tok\twritten",
          "\t2000000187\t00001:00002\t1\tfailed\t-\tfailed"},
         {}},
        {{"list", "--station", "bench-B", "--cards", "2-9"},
         0,
         {"2000000187\t00001:00002"},
         {"2000000170", "2000000204"}},
        {{"list", "--since", "2026-12-06T10"}, 0, {"2000000204"}, {"2000000170"}},
        {{"list", "--group", "2"}, 0, {"outcome\n"}, {"04"}},
        {{"list", "--limit", "1"}, 0, {"2000000170"}, {"2000000187"}},
        {{"find", "2000000204"},
         0,
         {"bench-B\t2000000204\t00001:00001", "read-backs", "00001:00002\t00001:00001\tdiffers"},
         {"2000000170"}},
        {{"find", "1:1"}, 0, {"2000000170", "2000000204"}, {"2000000187"}},
        {{"find", "00001:00009"}, 1, {}, {"04"}},
        {{"duplicates"},
         0,
         {"numbers on more than one UID: 1\n00001:00001\t2000000170\t2000000204\n",
          "UIDs with more than one number: 0\n"},
         {}},
        {{"stats"},
         0,
         {"bench-A\t2026-12-06T09\t2\t1\n", "bench-B\t2026-12-06T11\t2\t0\n",
          "bench-A\t2\t1\t50.0%\n", "all\t4\t1\t25.0%\n"},
         {}},
        {{"export", "--csv"},
         0,
         {"id,time_utc,station,uid,group_code,card_code,number,lock,v1,v3,outcome\r\n1,2026-12-"
          "06T09:00:00.000Z,bench-A,2000000170,1,1,00001:00001,1,ok,ok,written\r\n"},
         {}},
        // A run's delivery file: the attempts on the run's numbers only.
        {{"export", "--group", "1", "--cards", "2-9", "--csv"},
         0,
         {"2000000187,1,2,00001:00002"},
         {"2000000170", "2000000204"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"--register", url};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        SCOPED_TRACE(c.arguments[0] + (c.arguments.size() > 1 ? " " + c.arguments[1] : ""));
        EXPECT_EQ(run(arguments), c.exit) << err.str();
        for (const std::string& has : c.outHas) {
            EXPECT_NE(out.str().find(has), std::string::npos) << out.str();
        }
        for (const std::string& lacks : c.outLacks) {
            EXPECT_EQ(out.str().find(lacks), std::string::npos) << out.str();
        }
    }
}

TEST_F(RegisterTool, RegisterChoiceAndRefusals) {
    // The settings file's URL when no --register is given; the default file after that.
    settingsUrl = url;
    EXPECT_EQ(run({"find", "2000000170"}), 0);
    settingsUrl = "";
    EXPECT_EQ(run({"list"}), 3);
    EXPECT_NE(err.str().find("no register at " + dir.file("default/cards.sqlite")),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("default/cards.sqlite")));

    const struct {
        std::vector<std::string> arguments;
        int exit;
        const char* message;
    } cases[] = {
        {{}, 2, "no command"},
        {{"--register"}, 2, "needs a value"},
        {{"--verbose", "1", "list"}, 2, "unknown option --verbose"},
        {{"--register", url, "remove"}, 2, "unknown command remove"},
        {{"--register", url, "list", "--group", "70000"}, 2, "--group wants"},
        {{"--register", url, "list", "--cards", "9-2"}, 2, "--cards wants"},
        {{"--register", url, "list", "--limit", "0"}, 2, "--limit wants"},
        {{"--register", url, "find"}, 2, "find wants one"},
        {{"--register", url, "find", "1:x"}, 2, "not GROUP:CARD"},
        {{"--register", url, "export"}, 2, "needs --csv"},
        {{"--register", url, "stats", "--all"}, 2, "takes no options"},
        {{"--register", "mysql://x/y", "list"}, 3, "use sqlite:PATH"},
        {{"--register", "sqlite:" + dir.file("cards.sqlite") + "-none", "list"},
         3,
         "no register at"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(run(c.arguments), c.exit);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    }
    // The last code is a code like any other.
    EXPECT_EQ(run({"--register", url, "list", "--group", "65535", "--cards", "65535"}), 0);
}

// Order and void commands in turn; a refused one leaves the register as it was.
TEST_F(RegisterTool, OrdersAndVoidsChangeTheRegisterOrAreRefused) {
    const auto snapshot = [this] {
        run({"--register", url, "order", "list"});
        const auto reader = openAt(url, "check", clock, CardRegister::Access::ReadOnly).value();
        return out.str() + std::to_string(reader->voidCards(1, 0, 65535).value().size());
    };
    const struct {
        std::vector<std::string> arguments;
        int exit;
        const char* says;
    } cases[] = {
        {{"order", "add", "--ref", "PO-1", "--group", "1", "--cards", "3-9", "--customer", "Acme"},
         0,
         "order PO-1 added: 00001:00003-00001:00009 (7 cards)"},
        {{"order", "add", "--ref", "PO-1", "--group", "2", "--cards", "1-5"}, 4, "exists already"},
        {{"order", "add", "--ref", "PO-2", "--group", "1", "--cards", "9-12"},
         4,
         "overlaps the open order PO-1"},
        {{"order", "add", "--ref", "PO-2", "--group", "1", "--cards", "2-2"},
         4,
         "1 numbers of the range are on cards already (the first: 00001:00002)"},
        {{"order", "add", "--ref", "PO-2", "--group", "1", "--cards", "12-10"}, 2, "is reversed"},
        {{"order", "add", "--ref", "PO-2", "--group", "1", "--cards", "10-65536"},
         2,
         "runs past 65535"},
        {{"void", "2000000999", "--reason", "lost"}, 4, "no written card has the UID 2000000999"},
        {{"void", "2000000187", "--reason", "misprinted"}, 0, "00001:00002 is never given again"},
        {{"void", "2000000187", "--reason", "again"}, 4, "void already"},
        {{"order", "extend", "PO-1", "--to", "8"}, 4, "extends only up to a later code"},
        {{"order", "extend", "PO-1", "--to", "9"}, 4, "extends only up to a later code"},
        {{"order", "add", "--ref", "PO-2", "--ref", "PO-3", "--group", "1", "--cards", "20-30"},
         2,
         "option --ref is unknown here, repeated or has no value"},
        {{"order", "extend", "PO-1", "--to", "12"}, 0, "order PO-1 open: 00001:00003-00001:00012"},
        {{"order", "extend", "PO-9", "--to", "12"}, 1, "no order PO-9"},
        {{"order", "close", "PO-1"}, 0, "order PO-1 closed"},
        {{"order", "close", "PO-1"}, 4, "order PO-1 is closed"},
        {{"order", "extend", "PO-1", "--to", "20"}, 4, "order PO-1 is closed"},
        {{"order", "show", "PO-1"},
         0,
         "PO-1\tAcme\t1\t00001:00003-00001:00012\tclosed\t10\t0\t0\t0\t10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const std::string before = snapshot();
        std::vector<std::string> arguments{"--register", url};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(run(arguments), c.exit);
        EXPECT_NE((out.str() + err.str()).find(c.says), std::string::npos)
            << out.str() << err.str();
        if (c.exit != 0) {
            EXPECT_EQ(snapshot(), before);
        }
    }
}

// A reading command leaves the released schema as it is, a writing one migrates it; neither
// writes to a later schema.
TEST_F(RegisterTool, OnlyWritingCommandsMigrateAndNoneWritesALaterSchema) {
    const std::string file = dir.file("released.sqlite");
    std::filesystem::copy_file(std::string(ZR_TESTDATA_DIR) + "/register/v1-four-cards.sqlite",
                               file);
    platform::SqlError error;
    auto db = openQt({platform::SqlEngine::Sqlite, file, "", "", 0, ""}, error);
    const auto version = [&](std::vector<std::string> command) {
        command.insert(command.begin(), {"--register", "sqlite:" + file});
        run(command);
        RegisterError unread;
        return schemaVersion(*db, file, unread).value_or(-1);
    };
    EXPECT_EQ(version({"order", "list"}), 1);
    EXPECT_EQ(run({"--register", "sqlite:" + file, "list"}), 0) << err.str();
    EXPECT_EQ(version({"void", "2000000004", "--reason", "lost"}), 2);
    ASSERT_TRUE(db->exec("UPDATE register_schema SET version = 3"));
    EXPECT_EQ(version({"order", "add", "--ref", "PO-3", "--group", "5", "--cards", "1-9"}), 3);
    EXPECT_NE(err.str().find("newer"), std::string::npos);
    EXPECT_EQ(run({"--register", "sqlite:" + file, "order", "list"}), 3);
}

} // namespace
} // namespace zr::reg::test
