#pragma once

#include "FlakyDatabase.h"
#include "register/Schema.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace zr::reg::test {

// Migrates the register `open` reaches in a child process killed (SIGKILL) just before its
// `killAt`-th call of begin, exec or commit; true when it was killed, false when it finished.
inline bool killedMigrating(int killAt,
                            const std::function<std::unique_ptr<platform::Database>()>& open) {
    const pid_t child = ::fork();
    if (child == 0) {
        FlakyDatabase db(open());
        db.killAt = killAt;
        ::_exit(migrateSchema(db, "child").kind == RegisterFailure::None ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// 1 without any of version 2's tables and column, 2 with all of them, -1 for anything between.
inline int wholeVersion(platform::Database& db) {
    RegisterError error;
    const auto version = schemaVersion(db, "check", error);
    const int parts = db.exec("SELECT COUNT(*) FROM orders") +
                      db.exec("SELECT COUNT(*) FROM void_cards") +
                      db.exec("SELECT COUNT(order_ref) FROM card_writes");
    return (version == 1 && parts == 0) || (version == 2 && parts == 3) ? *version : -1;
}

} // namespace zr::reg::test
