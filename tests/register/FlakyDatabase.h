#pragma once

#include "platform/Database.h"
#include "platform/sql/QtDatabase.h"

#include <algorithm>
#include <csignal>
#include <memory>
#include <string>
#include <unistd.h>

namespace zr::reg::test {

// A real database that fails every statement while `down` is set, as a full disk or a dead
// server does; with `connectionGone`, as a dropped connection does until it is made again.
class FlakyDatabase final : public platform::Database {
  public:
    explicit FlakyDatabase(std::unique_ptr<platform::Database> real) : real_(std::move(real)) {}
    static std::unique_ptr<FlakyDatabase> sqlite(const std::string& file) {
        platform::SqlError error;
        return std::make_unique<FlakyDatabase>(
            platform::QtDatabase::open({platform::SqlEngine::Sqlite, file, "", "", 0, ""}, error));
    }

    bool down = false;
    bool connectionGone = false;
    std::string refusedUid; // a statement carrying this UID fails, as a constraint would
    platform::SqlFailure failure = platform::SqlFailure::Other;
    int reconnects = 0;
    int killAt = 0; // the process dies (SIGKILL) just before this call of begin, exec or commit

    platform::SqlEngine engine() const override { return real_->engine(); }
    bool exec(std::string_view sql, const std::vector<platform::SqlValue>& parameters,
              const platform::SqlRowHandler& onRow) override {
        const bool refused =
            !refusedUid.empty() && std::find(parameters.begin(), parameters.end(),
                                             platform::SqlValue(refusedUid)) != parameters.end();
        return step() && !refused ? real_->exec(sql, parameters, onRow) : fail();
    }
    std::int64_t rowsAffected() const override { return real_->rowsAffected(); }
    bool begin() override { return step() ? real_->begin() : fail(); }
    bool commit() override { return step() ? real_->commit() : fail(); }
    bool rollback() override { return failing() ? fail() : real_->rollback(); }
    bool setDurableCommits(bool durable) override {
        return failing() ? fail() : real_->setDurableCommits(durable);
    }
    bool reconnect() override {
        ++reconnects;
        if (down) {
            return fail();
        }
        connectionGone = false;
        return real_->reconnect();
    }
    const platform::SqlError& lastError() const override {
        return failing() ? error_ : real_->lastError();
    }

  private:
    bool failing() const { return down || connectionGone; }
    bool step() {
        if (++calls_ == killAt) {
            ::kill(::getpid(), SIGKILL);
        }
        return !failing();
    }
    int calls_ = 0;
    bool fail() {
        error_ = connectionGone ? platform::SqlError{platform::SqlFailure::ConnectionLost,
                                                     "server closed the connection"}
                                : platform::SqlError{failure, "database or disk is full"};
        return false;
    }
    std::unique_ptr<platform::Database> real_;
    platform::SqlError error_;
};

} // namespace zr::reg::test
