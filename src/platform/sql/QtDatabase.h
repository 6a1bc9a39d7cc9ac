#pragma once

#include "platform/Database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>

namespace zr::platform {

// A database through Qt SQL (drivers QSQLITE and QPSQL). SQLite files are opened in WAL
// mode with synchronous=FULL, so a committed row survives a power cut, and wait up to five
// seconds for another writer. Prepared statements are kept per SQL text.
class QtDatabase final : public Database {
  public:
    // The open connection, or nothing with `error` set.
    static std::unique_ptr<QtDatabase> open(const DatabaseAddress& address, SqlError& error);
    ~QtDatabase() override;
    QtDatabase(const QtDatabase&) = delete;
    QtDatabase& operator=(const QtDatabase&) = delete;

    SqlEngine engine() const override { return address_.engine; }
    bool exec(std::string_view sql, const std::vector<SqlValue>& parameters = {},
              const SqlRowHandler& onRow = {}) override;
    std::int64_t rowsAffected() const override { return rowsAffected_; }
    bool begin() override;
    bool commit() override;
    bool rollback() override;
    bool setDurableCommits(bool durable) override;
    bool reconnect() override;
    const SqlError& lastError() const override { return error_; }

  private:
    explicit QtDatabase(DatabaseAddress address);
    bool connect();
    void disconnect();
    bool fail(const QSqlError& error);
    bool finish(QSqlQuery& query, const SqlRowHandler& onRow);

    DatabaseAddress address_;
    QString connectionName_;
    QSqlDatabase db_;
    std::unordered_map<std::string, QSqlQuery> statements_;
    std::int64_t rowsAffected_ = 0;
    SqlError error_;
};

// The register's default file: cards.sqlite in the per-user data folder
// (~/.local/share/ZR/cards.sqlite on POSIX).
std::string defaultRegisterPath();
// This computer's name, the default station name.
std::string localHostName();

} // namespace zr::platform
