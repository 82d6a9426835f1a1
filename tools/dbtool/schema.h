#pragma once
// The database file's tables and indexes, and the safe way to make a new file.
#include <QString>

#include <functional>

struct sqlite3;

// Creates the four tables (keys numbered by the engine, never reused) and the
// indexes the program's searches use.
void CreateSchema(sqlite3* db);

// Runs SQL, throwing a std::runtime_error naming the statement on failure.
void Exec(sqlite3* db, const char* sql);

// Builds a new database file at path: refuses when a file of that name exists,
// builds into a temporary file beside it (schema first, then fill(db) in one
// transaction) and moves it into place only when everything succeeded.
// Returns 0 on success, or prints the reason and returns non-zero.
int BuildDatabaseFile(const QString& path, const std::function<void(sqlite3*)>& fill);
