#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zr::platform {

// A column value: NULL, a whole number or a UTF-8 text.
using SqlValue = std::variant<std::monostate, std::int64_t, std::string>;
using SqlRow = std::vector<SqlValue>;
// Sees one result row; returning false stops reading.
using SqlRowHandler = std::function<bool(const SqlRow&)>;

enum class SqlEngine { Sqlite, Postgres };

// Where a database is: a SQLite file, or a PostgreSQL server and database. The password,
// when the server wants one, comes from the client library's own sources (PGPASSWORD,
// ~/.pgpass), never from here.
struct DatabaseAddress {
    SqlEngine engine = SqlEngine::Sqlite;
    std::string path; // SQLite
    std::string user; // PostgreSQL from here on; an empty user is the login name
    std::string host;
    int port = 5432;
    std::string name;
    // A connection that never writes: SQLite opens the file read-only, PostgreSQL makes
    // every transaction read-only (the role's grants are the real guard).
    bool readOnly = false;
};

// Why a statement failed, as far as the register acts on it.
enum class SqlFailure {
    None,
    NotADatabase,   // the file holds something else
    ReadOnly,       // the file or the server refuses writes
    ConnectionLost, // server gone, connection refused or broken
    Other,
};

struct SqlError {
    SqlFailure kind = SqlFailure::None;
    std::string message;
};

// One open connection to a relational database. Statements use '?' placeholders and run
// in autocommit mode unless begin() opened a transaction.
class Database {
  public:
    virtual ~Database() = default;
    virtual SqlEngine engine() const = 0;
    // Runs one statement; `onRow` sees the rows it returns. False on failure (see lastError).
    virtual bool exec(std::string_view sql, const std::vector<SqlValue>& parameters = {},
                      const SqlRowHandler& onRow = {}) = 0;
    // Rows inserted, changed or deleted by the last successful exec.
    virtual std::int64_t rowsAffected() const = 0;
    // SQLite takes the write lock at once, so two writers never deadlock on an upgrade.
    virtual bool begin() = 0;
    virtual bool commit() = 0;
    virtual bool rollback() = 0;
    // Whether a commit waits until the data is on disk (the default). Off, a commit still
    // survives the client's death, but the last ones may be lost if the machine or the
    // server stops; a later durable commit makes everything before it durable too.
    virtual bool setDurableCommits(bool durable) = 0;
    // Closes and opens the connection again (after a server restart).
    virtual bool reconnect() = 0;
    virtual const SqlError& lastError() const = 0;
};

} // namespace zr::platform
