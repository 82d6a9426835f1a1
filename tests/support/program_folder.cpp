#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <sqlite3.h>

namespace {

struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const QString& path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << path.toStdString();
        sqlite3_busy_timeout(db, 2000);
    }
    ~Connection() { sqlite3_close(db); }
};

QList<QVariantList> Run(const QString& path, const QString& sql, std::initializer_list<QVariant> params,
                        qint64* rowid = nullptr) {
    Connection c(path);
    QList<QVariantList> rows;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(c.db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(c.db) << " in " << sql.toStdString();
        return rows;
    }
    int i = 1;
    for (const QVariant& p : params) {
        if (!p.isValid()) sqlite3_bind_null(s, i);
        else if (p.typeId() == QMetaType::Int || p.typeId() == QMetaType::LongLong) sqlite3_bind_int64(s, i, p.toLongLong());
        else if (p.typeId() == QMetaType::Double) sqlite3_bind_double(s, i, p.toDouble());
        else {
            const QByteArray t = p.toString().toUtf8();
            sqlite3_bind_text(s, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        ++i;
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        QVariantList row;
        for (int c2 = 0; c2 < sqlite3_column_count(s); ++c2) {
            switch (sqlite3_column_type(s, c2)) {
            case SQLITE_NULL: row << QVariant(); break;
            case SQLITE_INTEGER: row << QVariant(qint64(sqlite3_column_int64(s, c2))); break;
            case SQLITE_FLOAT: row << QVariant(sqlite3_column_double(s, c2)); break;
            default:
                row << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c2)),
                                                  sqlite3_column_bytes(s, c2)));
            }
        }
        rows << row;
    }
    if (rc != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(c.db) << " in " << sql.toStdString();
    sqlite3_finalize(s);
    if (rowid) *rowid = sqlite3_last_insert_rowid(c.db);
    return rows;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

ProgramFolder::ProgramFolder(Content content) {
    if (content != Content::NoDatabase) {
        const int rc = RunTool({content == Content::Sample ? QStringLiteral("sample") : QStringLiteral("empty"),
                                databasePath()});
        EXPECT_EQ(rc, 0) << "the database tool failed";
    }
    QFile::copy(QStringLiteral(OV_SOURCE_DIR "/data/Ostravell.cfg"), cfgPath());
    QFile::copy(QStringLiteral(OV_SOURCE_DIR "/data/OVHelp.txt"), helpPath());
    QFile::setPermissions(cfgPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

ProgramFolder::~ProgramFolder() = default;

int ProgramFolder::RunTool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(OV_DBTOOL), args);
    if (!p.waitForFinished(120000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void ProgramFolder::Exec(const QString& sql, std::initializer_list<QVariant> params) const {
    Run(databasePath(), sql, params);
}

QList<QVariantList> ProgramFolder::Query(const QString& sql, std::initializer_list<QVariant> params) const {
    return Run(databasePath(), sql, params);
}

QVariant ProgramFolder::Scalar(const QString& sql, std::initializer_list<QVariant> params) const {
    const auto rows = Run(databasePath(), sql, params);
    return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
}

qint64 ProgramFolder::Insert(const QString& sql, std::initializer_list<QVariant> params) const {
    qint64 rowid = 0;
    Run(databasePath(), sql, params, &rowid);
    return rowid;
}

qint64 ProgramFolder::AddCategory(const QString& name) const {
    return Insert(QStringLiteral("INSERT INTO Categories (Name) VALUES (?1)"), {name});
}

qint64 ProgramFolder::AddCreature(qint64 categoryId, const QString& name) const {
    return Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name) VALUES (?1, ?2)"), {categoryId, name});
}

qint64 ProgramFolder::AddRoster(const QString& name) const {
    return Insert(QStringLiteral("INSERT INTO Rosters (Name) VALUES (?1)"), {name});
}

void ProgramFolder::AddRosterEntry(qint64 rosterId, qint64 creatureId) const {
    Insert(QStringLiteral("INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, ?2, 0)"),
           {rosterId, creatureId});
}

QList<qint64> ProgramFolder::RosterEntries(qint64 rosterId) const {
    QList<qint64> ids;
    for (const auto& row : Query(QStringLiteral("SELECT IDCreature FROM RosterList WHERE IDRoster = ?1 ORDER BY rowid"),
                                 {rosterId}))
        ids << row.value(0).toLongLong();
    return ids;
}

QByteArray ProgramFolder::DatabaseBytes() const { return ReadFile(databasePath()); }
