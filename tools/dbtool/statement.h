#pragma once
// One prepared SQLite statement, run repeatedly with new values; failures
// throw with SQLite's message.
#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <stdexcept>
#include <string>

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int i, const std::string& text) {
        sqlite3_bind_text(m_stmt, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, const QString& text) { bind(i, text.toStdString()); }
    void bind(int i, long long v) { sqlite3_bind_int64(m_stmt, i, v); }
    // Runs the statement once and returns the rowid of the row it added.
    long long run() {
        if (sqlite3_step(m_stmt) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(m_db));
        sqlite3_reset(m_stmt);
        return sqlite3_last_insert_rowid(m_db);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};
