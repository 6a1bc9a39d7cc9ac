#include "platform/sql/QtDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QVariant>
#include <atomic>

namespace zr::platform {
namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zr-database-%1").arg(++counter);
}

// SQLite result codes (primary) and PostgreSQL SQLSTATE classes the register acts on.
SqlFailure classify(SqlEngine engine, const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    if (engine == SqlEngine::Sqlite) {
        if (code == QLatin1String("26")) {
            return SqlFailure::NotADatabase;
        }
        if (code == QLatin1String("8") || error.text().contains(QLatin1String("readonly"))) {
            return SqlFailure::ReadOnly;
        }
        return SqlFailure::Other;
    }
    if (error.type() == QSqlError::ConnectionError || code.isEmpty() ||
        code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P"))) {
        return SqlFailure::ConnectionLost;
    }
    if (code == QLatin1String("25006")) {
        return SqlFailure::ReadOnly;
    }
    return SqlFailure::Other;
}

QVariant toVariant(const SqlValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return QVariant(static_cast<qlonglong>(*number));
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return QVariant(QString::fromStdString(*text));
    }
    return {};
}

SqlValue fromVariant(const QVariant& value) {
    if (value.isNull()) {
        return std::monostate{};
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return static_cast<std::int64_t>(value.toLongLong());
    default:
        return value.toString().toStdString();
    }
}

} // namespace

QtDatabase::QtDatabase(DatabaseAddress address)
    : address_(std::move(address)), connectionName_(nextConnectionName()) {}

QtDatabase::~QtDatabase() {
    disconnect();
}

std::unique_ptr<QtDatabase> QtDatabase::open(const DatabaseAddress& address, SqlError& error) {
    std::unique_ptr<QtDatabase> database(new QtDatabase(address));
    if (!database->connect()) {
        error = database->error_;
        return nullptr;
    }
    return database;
}

bool QtDatabase::connect() {
    const bool sqlite = address_.engine == SqlEngine::Sqlite;
    db_ = QSqlDatabase::addDatabase(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
                                    connectionName_);
    if (!db_.isValid()) {
        error_ = {SqlFailure::Other, db_.lastError().text().toStdString()};
        return false;
    }
    if (sqlite) {
        const QString path = QString::fromStdString(address_.path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        db_.setDatabaseName(path);
        db_.setConnectOptions(
            address_.readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                              : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    } else {
        db_.setHostName(QString::fromStdString(address_.host));
        db_.setPort(address_.port);
        db_.setUserName(QString::fromStdString(address_.user));
        db_.setDatabaseName(QString::fromStdString(address_.name));
        db_.setConnectOptions(QStringLiteral("connect_timeout=5"));
    }
    if (!db_.open()) {
        error_ = {sqlite ? SqlFailure::Other : SqlFailure::ConnectionLost,
                  db_.lastError().text().toStdString()};
        return false;
    }
    if (!sqlite) {
        // A reader asks about time windows whose size its parameters decide: a plan made for
        // any window would scan the whole table for today's rows.
        return exec("SET client_min_messages TO WARNING", {}, {}) &&
               (!address_.readOnly || (exec("SET default_transaction_read_only TO on", {}, {}) &&
                                       exec("SET plan_cache_mode TO force_custom_plan", {}, {})));
    }
    // A reader leaves the journal mode to the writers that made the file.
    return address_.readOnly ||
           (exec("PRAGMA journal_mode=WAL", {}, {}) && exec("PRAGMA synchronous=FULL", {}, {}));
}

void QtDatabase::disconnect() {
    statements_.clear();
    if (db_.isValid()) {
        db_.close();
    }
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

bool QtDatabase::reconnect() {
    disconnect();
    return connect();
}

bool QtDatabase::fail(const QSqlError& error) {
    error_ = {classify(address_.engine, error), error.text().toStdString()};
    return false;
}

bool QtDatabase::exec(std::string_view sql, const std::vector<SqlValue>& parameters,
                      const SqlRowHandler& onRow) {
    if (!db_.isOpen()) {
        error_ = {SqlFailure::ConnectionLost, "the connection is closed"};
        return false;
    }
    if (parameters.empty()) {
        // Transaction control and settings cannot be prepared on PostgreSQL.
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        if (!query.exec(QString::fromUtf8(sql.data(), static_cast<qsizetype>(sql.size())))) {
            return fail(query.lastError());
        }
        return finish(query, onRow);
    }
    std::string key(sql);
    auto found = statements_.find(key);
    if (found == statements_.end()) {
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        if (!query.prepare(QString::fromStdString(key))) {
            return fail(query.lastError());
        }
        found = statements_.emplace(std::move(key), std::move(query)).first;
    }
    QSqlQuery& query = found->second;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        query.bindValue(static_cast<int>(i), toVariant(parameters[i]));
    }
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        statements_.erase(found);
        return fail(error);
    }
    return finish(query, onRow);
}

bool QtDatabase::finish(QSqlQuery& query, const SqlRowHandler& onRow) {
    rowsAffected_ = query.numRowsAffected();
    if (onRow && query.isSelect()) {
        const int columns = query.record().count();
        SqlRow row(static_cast<std::size_t>(columns));
        while (query.next()) {
            for (int column = 0; column < columns; ++column) {
                row[static_cast<std::size_t>(column)] = fromVariant(query.value(column));
            }
            if (!onRow(row)) {
                break;
            }
        }
    }
    query.finish();
    error_ = {};
    return true;
}

bool QtDatabase::begin() {
    return exec(address_.engine == SqlEngine::Sqlite ? "BEGIN IMMEDIATE" : "BEGIN", {}, {});
}

bool QtDatabase::commit() {
    return exec("COMMIT", {}, {});
}

bool QtDatabase::rollback() {
    return exec("ROLLBACK", {}, {});
}

bool QtDatabase::setDurableCommits(bool durable) {
    if (address_.engine == SqlEngine::Sqlite) {
        return exec(durable ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL", {}, {});
    }
    return exec(durable ? "SET synchronous_commit TO on" : "SET synchronous_commit TO off", {}, {});
}

std::string defaultRegisterPath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (dir + QStringLiteral("/ZR/cards.sqlite")).toStdString();
}

std::string localHostName() {
    return QSysInfo::machineHostName().toStdString();
}

} // namespace zr::platform
