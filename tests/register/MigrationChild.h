#pragma once

#include "platform/Database.h"
#include "register/Schema.h"

#include <csignal>
#include <functional>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace zr::reg::test {

// A database whose process is killed (SIGKILL, as kill -9) just before its `killAt`-th call of
// begin, exec or commit.
class KilledDatabase final : public platform::Database {
  public:
    KilledDatabase(std::unique_ptr<platform::Database> real, int killAt)
        : real_(std::move(real)), killAt_(killAt) {}
    platform::SqlEngine engine() const override { return real_->engine(); }
    bool exec(std::string_view sql, const std::vector<platform::SqlValue>& parameters,
              const platform::SqlRowHandler& onRow) override {
        step();
        return real_->exec(sql, parameters, onRow);
    }
    std::int64_t rowsAffected() const override { return real_->rowsAffected(); }
    bool begin() override { return step(), real_->begin(); }
    bool commit() override { return step(), real_->commit(); }
    bool rollback() override { return real_->rollback(); }
    bool setDurableCommits(bool durable) override { return real_->setDurableCommits(durable); }
    bool reconnect() override { return real_->reconnect(); }
    const platform::SqlError& lastError() const override { return real_->lastError(); }

  private:
    void step() {
        if (++calls_ == killAt_) {
            ::kill(::getpid(), SIGKILL);
        }
    }
    std::unique_ptr<platform::Database> real_;
    int killAt_;
    int calls_ = 0;
};

enum class ChildEnd { Killed, Migrated, Failed };

// Migrates the register `open` reaches in a child process killed at call `killAt`.
inline ChildEnd migrateInChild(int killAt,
                               const std::function<std::unique_ptr<platform::Database>()>& open) {
    const pid_t child = ::fork();
    if (child == 0) {
        KilledDatabase db(open(), killAt);
        const RegisterError error = migrateSchema(db, "child");
        ::_exit(error.kind == RegisterFailure::None ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return ChildEnd::Failed;
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
        return ChildEnd::Killed;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ChildEnd::Migrated : ChildEnd::Failed;
}

// The register's version when it is one whole version: 1 without any of version 2's tables
// and column, 2 with all of them; -1 for anything in between.
inline int wholeVersion(platform::Database& db) {
    RegisterError error;
    const auto version = schemaVersion(db, "check", error);
    const bool orders = db.exec("SELECT COUNT(*) FROM orders");
    const bool voids = db.exec("SELECT COUNT(*) FROM void_cards");
    const bool column = db.exec("SELECT COUNT(order_ref) FROM card_writes");
    if (version == 1 && !orders && !voids && !column) {
        return 1;
    }
    return version == 2 && orders && voids && column ? 2 : -1;
}

} // namespace zr::reg::test
