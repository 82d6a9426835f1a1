#include "schema.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>
#include <string>

void Exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = std::string(err ? err : "unknown error") + " in: " + sql;
        sqlite3_free(err);
        throw std::runtime_error(msg);
    }
}

void CreateSchema(sqlite3* db) {
    Exec(db,
         "CREATE TABLE Categories ("
         " IDCategory INTEGER PRIMARY KEY AUTOINCREMENT,"
         " Name TEXT)");
    std::string creatures =
        "CREATE TABLE Creatures ("
        " IDCreature INTEGER PRIMARY KEY AUTOINCREMENT,"
        " IDCategory INTEGER,"
        " Name TEXT,"
        " Description TEXT,"
        " Picture TEXT";
    for (int i = 0; i <= 20; ++i) creatures += ", Field" + std::to_string(i) + " TEXT";
    creatures += ")";
    Exec(db, creatures.c_str());
    Exec(db,
         "CREATE TABLE Rosters ("
         " IDRoster INTEGER PRIMARY KEY AUTOINCREMENT,"
         " Name TEXT)");
    Exec(db,
         "CREATE TABLE RosterList ("
         " IDRoster INTEGER,"
         " IDCreature INTEGER,"
         " Probability INTEGER)");
    // A category's creatures and a roster's entries are searched by these
    // columns in the order of the rows' keys; an index on the column alone
    // delivers them in that order. A category's creatures are listed by name:
    // with the key and the name in the index too (the key before the name, so
    // that the order stays the keys'), the listing reads the index alone and
    // never visits the creatures' long rows.
    Exec(db, "CREATE INDEX CreaturesByCategory ON Creatures (IDCategory, IDCreature, Name)");
    Exec(db, "CREATE INDEX RosterListByRoster ON RosterList (IDRoster)");
    Exec(db, "CREATE INDEX RosterListByCreature ON RosterList (IDCreature)");
}

int BuildDatabaseFile(const QString& path, const std::function<void(sqlite3*)>& fill) {
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink()) {
        std::fprintf(stderr, "ostravell-db: %s already exists; it is left as it is.\n", qPrintable(path));
        return 2;
    }
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.ostravell-db-XXXXXX"));
    if (!temp.open()) {
        std::fprintf(stderr, "ostravell-db: cannot create a file in %s: %s\n", qPrintable(target.absolutePath()),
                     qPrintable(temp.errorString()));
        return 1;
    }
    temp.close();

    sqlite3* db = nullptr;
    int result = 0;
    try {
        if (sqlite3_open_v2(QFile::encodeName(temp.fileName()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(db ? sqlite3_errmsg(db) : "cannot open the temporary file");
        // The file is not in place yet: no journal is needed while it is built.
        Exec(db, "PRAGMA journal_mode = OFF");
        Exec(db, "PRAGMA synchronous = OFF");
        Exec(db, "BEGIN");
        CreateSchema(db);
        fill(db);
        Exec(db, "COMMIT");
        Exec(db, "PRAGMA journal_mode = DELETE");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ostravell-db: %s\n", e.what());
        result = 1;
    }
    if (sqlite3_close(db) != SQLITE_OK && result == 0) {
        std::fprintf(stderr, "ostravell-db: cannot close the new file\n");
        result = 1;
    }
    if (result != 0) return result;
    temp.flush();
    // rename() never replaces an existing file, so a file that appeared in the
    // meantime is not overwritten either.
    if (!temp.rename(path)) {
        std::fprintf(stderr, "ostravell-db: cannot create %s: %s\n", qPrintable(path), qPrintable(temp.errorString()));
        return 2;
    }
    temp.setAutoRemove(false);
    // A temporary file is private to its owner; a database is an ordinary file.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
    return 0;
}
