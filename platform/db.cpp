#include "platform/db.h"

#include <QFileInfo>
#include <QHash>
#include <QUtf8StringView>

#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

// ---------------------------------------------------------------------------
// Errors and values

DbError::DbError(int number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(m_description.toStdString()) {}

DbValue DbValue::integer(std::int64_t v) {
    DbValue r;
    r.m_kind = Kind::Integer;
    r.m_int = v;
    return r;
}

DbValue DbValue::real(double v) {
    DbValue r;
    r.m_kind = Kind::Real;
    r.m_real = v;
    return r;
}

DbValue DbValue::text(const QString& v) {
    DbValue r;
    r.m_kind = Kind::Text;
    r.m_text = v;
    return r;
}

DbValue DbValue::storedText(const QString& readAs, const QByteArray& bytes, Storage storage) {
    DbValue r = text(readAs);
    r.m_storage = storage;
    if (storage != Storage::AsText) r.m_bytes = bytes;
    return r;
}

static DbError invalidUseOfNull() { return DbError(dbErrInvalidUseOfNull, QStringLiteral("Invalid use of Null")); }

QString DbValue::toText() const {
    switch (m_kind) {
    case Kind::Null: throw invalidUseOfNull();
    case Kind::Integer: return QString::number(m_int);
    case Kind::Real: return QString::number(m_real, 'g', 15);
    case Kind::Text: return m_text;
    }
    return {};
}

double DbValue::toNumber() const {
    switch (m_kind) {
    case Kind::Null: throw invalidUseOfNull();
    case Kind::Integer: return static_cast<double>(m_int);
    case Kind::Real: return m_real;
    case Kind::Text: {
        bool ok = false;
        const double d = m_text.trimmed().toDouble(&ok);
        if (!ok) throw DbError(dbErrTypeMismatch, QStringLiteral("Type mismatch"));
        return d;
    }
    }
    return 0;
}

template <typename T>
static T toWhole(DbValue::Kind kind, std::int64_t i, double number) {
    if (kind == DbValue::Kind::Integer) {
        if (i < std::numeric_limits<T>::min() || i > std::numeric_limits<T>::max())
            throw DbError(dbErrOverflow, QStringLiteral("Overflow"));
        return static_cast<T>(i);
    }
    // Halves go to the even neighbour (the default rounding mode).
    const double r = std::nearbyint(number);
    if (!(r >= std::numeric_limits<T>::min() && r <= std::numeric_limits<T>::max()))
        throw DbError(dbErrOverflow, QStringLiteral("Overflow"));
    return static_cast<T>(r);
}

std::int32_t DbValue::toLong() const {
    const double n = m_kind == Kind::Integer ? 0 : toNumber();
    return toWhole<std::int32_t>(m_kind, m_int, n);
}

std::int16_t DbValue::toInteger() const {
    const double n = m_kind == Kind::Integer ? 0 : toNumber();
    return toWhole<std::int16_t>(m_kind, m_int, n);
}

bool DbValue::operator==(const DbValue& o) const {
    if (m_kind != o.m_kind) return false;
    switch (m_kind) {
    case Kind::Null: return true;
    case Kind::Integer: return m_int == o.m_int;
    case Kind::Real: return m_real == o.m_real;
    case Kind::Text: return m_text == o.m_text;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Connection and schema

// Deleted rows are removed from the file this many at a time.
constexpr int kDeleteChunk = 64;

struct DbTable {
    QString name;                   // as the schema spells it
    QString quoted;                 // "name", ready for SQL
    QStringList columns;            // in the table's order
    QStringList quotedColumns;
    QList<QByteArray> declaredTypes;   // each column's type as the schema declares it
    QHash<QString, int> byName;       // as spelt in the schema: the usual case, found without lowering
    QString deleteSql;                // the statements every recordset of the table uses, made once
    QString deleteManySql;            // kDeleteChunk rows at once

    int column(const QString& n) const {
        const auto exact = byName.constFind(n);
        if (exact != byName.constEnd()) return *exact;
        // A name spelt in another case, which is rare, is compared with each.
        const QString lower = n.toLower();
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i].toLower() == lower) return int(i);
        return -1;
    }
};

static QString quoteIdentifier(const QString& id) {
    QString q;
    q.reserve(id.size() + 2);
    q += QLatin1Char('"');
    for (const QChar c : id) {
        if (c == u'"') q += QLatin1Char('"');
        q += c;
    }
    q += QLatin1Char('"');
    return q;
}

struct DbConnection {
    sqlite3* db = nullptr;
    QString path;
    bool open = false;
    bool inTransaction = false;
    std::uint64_t generation = 1;   // bumped by every write
    QHash<QString, sqlite3_stmt*> statements;
    QHash<QString, std::shared_ptr<const DbTable>> tables;

    // Rows one recordset has deleted that are not yet removed from the file
    // (see Recordset::Delete): removed together before anything else reads or
    // writes on the connection.
    const void* pendingOwner = nullptr;
    std::shared_ptr<const DbTable> pendingTable;
    std::vector<std::int64_t> pendingDeletes;

    ~DbConnection() { shut(); }

    void removePending() {
        if (pendingDeletes.empty()) return;
        std::vector<std::int64_t> rows;
        rows.swap(pendingDeletes);
        pendingOwner = nullptr;
        const std::shared_ptr<const DbTable> t = std::move(pendingTable);
        ++generation;
        size_t i = 0;
        for (; i + kDeleteChunk <= rows.size(); i += kDeleteChunk) {
            sqlite3_stmt* s = prepared(t->deleteManySql);
            for (int k = 0; k < kDeleteChunk; ++k) sqlite3_bind_int64(s, k + 1, rows[i + size_t(k)]);
            const int rc = sqlite3_step(s);
            sqlite3_reset(s);
            if (rc != SQLITE_DONE) fail(rc);
        }
        for (; i < rows.size(); ++i) {
            sqlite3_stmt* s = prepared(t->deleteSql);
            sqlite3_bind_int64(s, 1, rows[i]);
            const int rc = sqlite3_step(s);
            sqlite3_reset(s);
            if (rc != SQLITE_DONE) fail(rc);
        }
    }

    [[noreturn]] void fail(int rc) const {
        const char* msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        throw DbError(rc & 0xff, QString::fromUtf8(msg));
    }

    void check(int rc) const {
        if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) fail(rc);
    }

    void requireOpen() const {
        if (!open) throw DbError(dbErrObjectClosed, QStringLiteral("The database is closed."));
    }

    // A prepared statement kept for the connection's life, reset and unbound.
    sqlite3_stmt* prepared(const QString& sql) {
        requireOpen();
        if (sqlite3_stmt* s = statements.value(sql)) {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
            return s;
        }
        sqlite3_stmt* s = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            fail(rc);
        }
        statements.insert(sql, s);
        return s;
    }

    void exec(const char* sql) {
        requireOpen();
        check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
    }

    void begin(bool write) {
        if (inTransaction) return;
        exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
        inTransaction = true;
    }

    std::shared_ptr<const DbTable> table(const QString& name) {
        requireOpen();
        const QString key = name.toLower();
        if (auto t = tables.value(key)) return t;
        sqlite3_stmt* s = prepared(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
        const QByteArray utf8 = name.toUtf8();
        sqlite3_bind_text(s, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(s);
        check(rc);
        if (rc != SQLITE_ROW) {
            sqlite3_reset(s);
            throw DbError(dbErrTableNotFound,
                          QStringLiteral("The table '%1' does not exist in '%2'.").arg(name, path));
        }
        auto t = std::make_shared<DbTable>();
        t->name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                                    sqlite3_column_bytes(s, 0));
        sqlite3_reset(s);
        t->quoted = quoteIdentifier(t->name);
        // The column names, in the table's order, as "SELECT *" delivers them:
        // all but the hidden columns of a virtual table.
        sqlite3_stmt* cols = prepared(QStringLiteral("PRAGMA table_xinfo(%1)").arg(t->quoted));
        int step;
        while ((step = sqlite3_step(cols)) == SQLITE_ROW) {
            if (sqlite3_column_int(cols, 6) == 1) continue;
            const QString c = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(cols, 1)),
                                                sqlite3_column_bytes(cols, 1));
            t->byName.insert(c, int(t->columns.size()));
            t->columns << c;
            t->quotedColumns << quoteIdentifier(c);
            t->declaredTypes << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(cols, 2)),
                                           sqlite3_column_bytes(cols, 2));
        }
        sqlite3_reset(cols);
        check(step);
        t->deleteSql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(t->quoted);
        // The same parameters for every table, written once for the run.
        static const QString marks = [] {
            QStringList l;
            for (int i = 1; i <= kDeleteChunk; ++i) l << QStringLiteral("?%1").arg(i);
            return l.join(QLatin1Char(','));
        }();
        t->deleteManySql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (%2)").arg(t->quoted, marks);
        tables.insert(key, t);
        return t;
    }

    // Stops every running query on the connection, the recordsets' included,
    // so that the transaction can end.
    void resetAll() {
        for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s))
            if (sqlite3_stmt_busy(s)) sqlite3_reset(s);
    }

    // Releases the file: rolls back an open transaction, finalizes the kept
    // statements and closes. Statements still held by recordsets are finalized
    // by them; SQLite keeps the connection until the last one goes.
    void shut() {
        pendingDeletes.clear();
        pendingOwner = nullptr;
        pendingTable.reset();
        if (!db) return;
        resetAll();
        if (inTransaction) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        inTransaction = false;
        for (sqlite3_stmt* s : std::as_const(statements)) sqlite3_finalize(s);
        statements.clear();
        sqlite3_close_v2(db);
        db = nullptr;
        open = false;
    }
};

static void bindValue(sqlite3_stmt* s, int index, const DbValue& v) {
    switch (v.kind()) {
    case DbValue::Kind::Null: sqlite3_bind_null(s, index); break;
    case DbValue::Kind::Integer: sqlite3_bind_int64(s, index, v.integerValue()); break;
    case DbValue::Kind::Real: sqlite3_bind_double(s, index, v.realValue()); break;
    case DbValue::Kind::Text: {
        const QByteArray& bytes = v.storedBytes();
        switch (v.storage()) {
        case DbValue::Storage::AsText: {
            const QByteArray utf8 = v.textValue().toUtf8();
            sqlite3_bind_text(s, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        case DbValue::Storage::TextBytes:
            sqlite3_bind_text(s, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        case DbValue::Storage::BlobBytes:
            // An empty BLOB stays a BLOB (a blob bound from no data would be Null).
            if (bytes.isEmpty()) sqlite3_bind_zeroblob(s, index, 0);
            else sqlite3_bind_blob(s, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        break;
    }
    }
}

static DbValue columnValue(sqlite3_stmt* s, int i) {
    const int type = sqlite3_column_type(s, i);
    switch (type) {
    case SQLITE_NULL: return DbValue::null();
    case SQLITE_INTEGER: return DbValue::integer(sqlite3_column_int64(s, i));
    case SQLITE_FLOAT: return DbValue::real(sqlite3_column_double(s, i));
    default: {
        const bool blob = type == SQLITE_BLOB;
        const char* p = blob ? static_cast<const char*>(sqlite3_column_blob(s, i))
                             : reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        const int n = sqlite3_column_bytes(s, i);
        QString t = QString::fromUtf8(p, n);
        // Bytes that are not UTF-8 are read as Latin-1 instead of becoming
        // replacement characters: the text shows as it was meant in older
        // files.
        bool keepBytes = blob;
        if (t.contains(QChar::ReplacementCharacter) && !QUtf8StringView(p, n).isValidUtf8()) {
            t = QString::fromLatin1(p, n);
            keepBytes = true;
        } else if (n >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) {
            keepBytes = true;   // the text as read has lost its leading byte-order mark
        }
        // Where the text would not give the stored bytes back, the value keeps
        // them, so that it can be stored again exactly as it was.
        if (!keepBytes) return DbValue::text(t);
        return DbValue::storedText(t, QByteArray(p, n),
                                   blob ? DbValue::Storage::BlobBytes : DbValue::Storage::TextBytes);
    }
    }
}

// True when writing v over a stored value changes nothing the program reads:
// the same kind and value, or text equal to the number as it reads as text.
// Null and the empty text differ (a save turns a Null statistic into "").
// A value that carries its stored form is the same only in that very form.
static bool readsAs(const DbValue& stored, const DbValue& v) {
    if (v.storage() != DbValue::Storage::AsText)
        return stored.storage() == v.storage() && stored.storedBytes() == v.storedBytes();
    if (stored == v) return true;
    if (v.kind() != DbValue::Kind::Text) return false;
    switch (stored.kind()) {
    case DbValue::Kind::Integer:
    case DbValue::Kind::Real: return stored.toText() == v.textValue();
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// Engine and database

DBEngine& GetDBEngine() {
    static DBEngine engine;
    return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw DbError(dbErrFileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isFile())
        throw DbError(dbErrCannotOpen, QStringLiteral("'%1' is not a database file.").arg(path));

    auto conn = std::make_shared<DbConnection>();
    conn->path = path;
    const QByteArray name = path.toUtf8();
    // Read and write, never create.
    // A connection serves the one thread that opened it, so SQLite's own
    // per-call locking is left out.
    const int rc = sqlite3_open_v2(name.constData(), &conn->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = conn->db ? QString::fromUtf8(sqlite3_errmsg(conn->db)) : QString::fromUtf8(sqlite3_errstr(rc));
        throw DbError(rc & 0xff, QStringLiteral("Could not open '%1': %2.").arg(path, why));
    }
    conn->open = true;
    sqlite3_busy_timeout(conn->db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(conn->db, 0);
    // Make sure the file really is a database before anything else is done
    // with it: preparing a statement on its schema reads the whole schema.
    sqlite3_stmt* probe = nullptr;
    const int prc = sqlite3_prepare_v2(conn->db, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
    sqlite3_finalize(probe);
    if (prc != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(conn->db));
        throw DbError(prc & 0xff, QStringLiteral("Could not open '%1': %2.").arg(path, why));
    }
    return std::unique_ptr<Database>(new Database(std::move(conn)));
}

Database::Database(std::shared_ptr<DbConnection> conn) : m_conn(std::move(conn)) {}

Database::~Database() {
    if (m_conn) m_conn->shut();
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& table, int type) {
    m_conn->requireOpen();
    if (type != dbOpenSnapshot && type != dbOpenDynaset)
        throw DbError(dbErrBadRecordsetType, QStringLiteral("Invalid recordset type %1.").arg(type));
    m_conn->removePending();
    // The operation's transaction starts with its first table, before the
    // table is looked up, so that the look-up reads within it; a writer takes
    // the write lock at once so that it waits for a sibling's lock up front.
    m_conn->begin(type == dbOpenDynaset);
    auto t = m_conn->table(table);
    return std::unique_ptr<Recordset>(new Recordset(m_conn, std::move(t), type));
}

void Database::Close() {
    if (!m_conn->open) return;
    if (m_conn->inTransaction) {
        m_conn->removePending();
        m_conn->resetAll();
        m_conn->exec("COMMIT");
        m_conn->inTransaction = false;
    }
    m_conn->shut();
}

// ---------------------------------------------------------------------------
// Recordset

Recordset::Recordset(std::shared_ptr<DbConnection> conn, std::shared_ptr<const DbTable> table, int type)
    : m_conn(std::move(conn)), m_table(std::move(table)), m_type(type) {
    m_buffer.resize(m_table->columns.size());
    m_wanted.assign(m_table->columns.size(), 0);
}

void Recordset::place() {
    // Like a freshly opened recordset of any engine: on the first row, or at
    // the end when the table is empty. The row is looked for when the
    // position is first used, so that a recordset opened to be searched or
    // added to reads nothing else.
    if (m_placed || !m_open || !m_conn->open) return;
    m_placed = true;
    settle();
    m_eof = !seek(CursorKind::Walk, -1, 0, std::nullopt);
}

bool Recordset::Eof() {
    place();
    return m_eof;
}

Recordset::~Recordset() {
    if (m_conn->pendingOwner == this) m_conn->pendingOwner = nullptr;
    finalizeStatements();
}

void Recordset::finalizeStatements() {
    m_cursor = nullptr;
    m_cursorKind = CursorKind::None;
    m_cursorOnCurrent = false;
    // Valid even after the database was closed: SQLite keeps the connection
    // until its last statement is finalized.
    for (const CursorQuery& q : std::as_const(m_statements)) sqlite3_finalize(q.statement);
    m_statements.clear();
    sqlite3_finalize(m_rowStatement);
    m_rowStatement = nullptr;
    m_rowLoaded = false;
}

const Recordset::CursorQuery& Recordset::cursorQuery(CursorKind kind, int findColumn, bool after) {
    // One statement per kind of query and set of columns read, made on first
    // use and kept while the recordset is open. A query delivers the rowid and
    // only the columns read so far, so that an index holding them answers it
    // without visiting the table's rows.
    QByteArray key;
    key.reserve(4 + qsizetype(m_wanted.size()));
    key.append(char(kind)).append(char(after)).append(char((findColumn + 1) & 0xff)).append(char((findColumn + 1) >> 8));
    key.append(m_wanted.data(), qsizetype(m_wanted.size()));
    const auto found = m_statements.constFind(key);
    if (found != m_statements.constEnd()) {
        sqlite3_reset(found->statement);
        sqlite3_clear_bindings(found->statement);
        return *found;
    }
    CursorQuery q;
    q.columns.assign(m_wanted.size(), -1);
    QString sql = QStringLiteral("SELECT rowid");
    int at = 1;
    for (size_t c = 0; c < m_wanted.size(); ++c) {
        if (!m_wanted[c]) continue;
        sql += QStringLiteral(", ") + m_table->quotedColumns[int(c)];
        q.columns[c] = at++;
    }
    sql += QStringLiteral(" FROM ") + m_table->quoted;
    const QString column = findColumn >= 0 ? m_table->quotedColumns[findColumn] : QString();
    QStringList where;
    switch (kind) {
    case CursorKind::Find: where << column + QStringLiteral(" = ?1"); break;
    // SQLite's index orders every value as Null < numbers < text < BLOB, so
    // the numbers between two bounds, and all text and BLOBs, each lie in one
    // range of it. These comparisons are made byte by byte, as the index
    // taken for them orders its entries, whatever the column's own collation.
    case CursorKind::FindBetween:
    case CursorKind::FindBetweenOrTextOrBlob: {
        const QString numbers = QStringLiteral("%1 > ?1 COLLATE BINARY AND %1 < ?3 COLLATE BINARY"
                                               // A column declared TEXT compares the bounds with its text as text.
                                               " AND typeof(%1) IN ('integer', 'real')")
                                    .arg(column);
        where << (kind == CursorKind::FindBetween
                      ? numbers
                      : QStringLiteral("(%1 OR %2 >= '' COLLATE BINARY)").arg(numbers, column));
        // As the rows come in stored order, SQLite would rather read the
        // whole table than sort the rows of a range: it is told to take the
        // index.
        const QString& index = indexOn(findColumn);
        if (!index.isEmpty()) sql += QStringLiteral(" INDEXED BY ") + quoteIdentifier(index);
        break;
    }
    default: break;
    }
    if (after) where << QStringLiteral("rowid > ?2");
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY rowid");
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(m_conn->db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                      &q.statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(q.statement);
        m_conn->fail(rc);
    }
    return *m_statements.insert(key, std::move(q));
}

void Recordset::checkOpen() const {
    if (!m_open) throw DbError(dbErrObjectClosed, QStringLiteral("The recordset is closed."));
    m_conn->requireOpen();
}

void Recordset::settle() {
    if (!m_conn->pendingDeletes.empty()) m_conn->removePending();
}

bool Recordset::mayStepPastDeletes() const {
    return m_conn->pendingDeletes.empty() || m_conn->pendingOwner == this;
}

void Recordset::checkUpdatable() const {
    if (m_type != dbOpenDynaset)
        throw DbError(dbErrReadOnly, QStringLiteral("The recordset of '%1' cannot be updated.").arg(m_table->name));
}

void Recordset::requireCurrent() {
    place();
    if (!m_hasCurrent) throw DbError(dbErrNoCurrentRecord, QStringLiteral("No current record."));
    if (m_currentDeleted) throw DbError(dbErrRecordDeleted, QStringLiteral("Record is deleted."));
}

bool Recordset::cursorLive() const {
    return m_cursor && m_cursorOnCurrent && m_cursorGeneration == m_conn->generation;
}

bool Recordset::cursorDeliversWanted() const {
    for (size_t c = 0; c < m_wanted.size(); ++c)
        if (m_wanted[c] && m_cursorColumns[c] < 0) return false;
    return true;
}

void Recordset::dropCursor() {
    if (m_cursor) sqlite3_reset(m_cursor);
    m_cursor = nullptr;
    m_cursorKind = CursorKind::None;
    m_cursorOnCurrent = false;
}

bool Recordset::stepCursor() {
    const int rc = sqlite3_step(m_cursor);
    if (rc == SQLITE_ROW) {
        m_rowid = sqlite3_column_int64(m_cursor, 0);
        m_hasCurrent = true;
        m_currentDeleted = false;
        m_cursorOnCurrent = true;
        return true;
    }
    sqlite3_reset(m_cursor);
    m_cursorOnCurrent = false;
    if (rc != SQLITE_DONE) m_conn->fail(rc);
    return false;
}

bool Recordset::seek(CursorKind kind, int findColumn, std::int64_t findValue, std::optional<std::int64_t> afterRowid,
                     std::int64_t high) {
    dropCursor();
    const CursorQuery& q = cursorQuery(kind, kind == CursorKind::Walk ? -1 : findColumn, afterRowid.has_value());
    sqlite3_stmt* s = q.statement;
    if (kind != CursorKind::Walk) sqlite3_bind_int64(s, 1, findValue);
    if (afterRowid) sqlite3_bind_int64(s, 2, *afterRowid);
    if (kind == CursorKind::FindBetween || kind == CursorKind::FindBetweenOrTextOrBlob) sqlite3_bind_int64(s, 3, high);
    m_cursorColumns = q.columns;
    m_cursor = s;
    m_cursorKind = kind;
    m_cursorColumn = findColumn;
    m_cursorValue = findValue;
    m_cursorHigh = high;
    m_cursorGeneration = m_conn->generation;
    const bool found = stepCursor();
    if (!found) {
        m_cursor = nullptr;
        m_cursorKind = CursorKind::None;
    }
    return found;
}

void Recordset::MoveFirst() {
    checkOpen();
    settle();
    m_editMode = EditMode::None;
    m_placed = true;
    if (!seek(CursorKind::Walk, -1, 0, std::nullopt)) {
        m_eof = true;
        m_hasCurrent = false;
        throw DbError(dbErrNoCurrentRecord, QStringLiteral("No current record."));
    }
    m_eof = false;
}

void Recordset::MoveNext() {
    checkOpen();
    place();
    m_editMode = EditMode::None;
    if (m_eof || !m_hasCurrent) throw DbError(dbErrNoCurrentRecord, QStringLiteral("No current record."));
    bool found;
    if (!(mayStepPastDeletes() && cursorLive() && m_cursorKind == CursorKind::Walk && cursorDeliversWanted()))
        settle();
    if (cursorLive() && m_cursorKind == CursorKind::Walk && cursorDeliversWanted()) {
        found = stepCursor();
        if (!found) {
            m_cursor = nullptr;
            m_cursorKind = CursorKind::None;
        }
    } else {
        found = seek(CursorKind::Walk, -1, 0, m_rowid);
    }
    if (!found) {
        m_eof = true;
        m_hasCurrent = false;
    }
}

DbCriteria ParseDbCriteria(const QString& criteria) {
    const auto bad = [&]() {
        return DbError(dbErrBadCriteria,
                       QStringLiteral("Unsupported search criteria '%1'; expected a column name, \" = \" and a whole number.")
                           .arg(criteria));
    };
    const int n = int(criteria.size());
    int i = 0;
    const auto isStart = [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (i >= n || !isStart(criteria[i])) throw bad();
    while (i < n && (isStart(criteria[i]) || isDigit(criteria[i]))) ++i;
    DbCriteria result;
    result.column = criteria.left(i);
    if (criteria.mid(i, 3) != QLatin1String(" = ")) throw bad();
    i += 3;
    const int numStart = i;
    if (i < n && criteria[i] == u'-') ++i;
    const int digitsStart = i;
    while (i < n && isDigit(criteria[i])) ++i;
    if (i == digitsStart || i != n) throw bad();
    bool ok = false;
    result.value = criteria.mid(numStart).toLongLong(&ok);
    if (!ok) throw bad();
    return result;
}

void Recordset::parseCriteria(const QString& criteria, int* column, std::int64_t* value) const {
    // A walk of FindNext repeats one criterion: it is read once.
    if (m_lastCriteriaColumn >= 0 && criteria == m_lastCriteria) {
        *column = m_lastCriteriaColumn;
        *value = m_lastCriteriaValue;
        return;
    }
    const DbCriteria parsed = ParseDbCriteria(criteria);
    const int c = requireColumn(parsed.column);
    *column = c;
    *value = parsed.value;
    m_lastCriteria = criteria;
    m_lastCriteriaColumn = c;
    m_lastCriteriaValue = parsed.value;
}

void Recordset::FindFirst(const QString& criteria) {
    checkOpen();
    settle();
    int column;
    std::int64_t value;
    parseCriteria(criteria, &column, &value);
    findFirst(CursorKind::Find, column, value);
}

void Recordset::FindFirstBetween(const QString& column, std::int64_t low, std::int64_t high, bool orTextOrBlob) {
    checkOpen();
    settle();
    findFirst(orTextOrBlob ? CursorKind::FindBetweenOrTextOrBlob : CursorKind::FindBetween, searchedColumn(column), low,
              high);
}

int Recordset::searchedColumn(const QString& name) {
    const int c = requireColumn(name);
    m_wanted[size_t(c)] = 1;
    return c;
}

void Recordset::findFirst(CursorKind kind, int column, std::int64_t value, std::int64_t high) {
    m_editMode = EditMode::None;
    const bool hadCurrent = m_hasCurrent, wasDeleted = m_currentDeleted;
    const std::int64_t oldRowid = m_rowid;
    endFind(seek(kind, column, value, std::nullopt, high), hadCurrent, wasDeleted, oldRowid);
}

void Recordset::endFind(bool found, bool hadCurrent, bool wasDeleted, std::int64_t oldRowid) {
    m_noMatch = !found;
    if (found) {
        m_eof = false;
        m_placed = true;
    } else {
        // No match: the position stays where it was (the first row, when it
        // has not been taken yet).
        m_hasCurrent = hadCurrent;
        m_currentDeleted = wasDeleted;
        m_rowid = oldRowid;
    }
}

void Recordset::FindNext(const QString& criteria) {
    checkOpen();
    int column;
    std::int64_t value;
    parseCriteria(criteria, &column, &value);
    findNext(CursorKind::Find, column, value);
}

void Recordset::FindNextBetween(const QString& column, std::int64_t low, std::int64_t high, bool orTextOrBlob) {
    checkOpen();
    findNext(orTextOrBlob ? CursorKind::FindBetweenOrTextOrBlob : CursorKind::FindBetween, searchedColumn(column), low,
             high);
}

void Recordset::findNext(CursorKind kind, int column, std::int64_t value, std::int64_t high) {
    place();   // the search goes on from the current row
    m_editMode = EditMode::None;
    const bool hadCurrent = m_hasCurrent, wasDeleted = m_currentDeleted;
    const std::int64_t oldRowid = m_rowid;
    bool found;
    const auto sameSearch = [&] {
        return cursorLive() && m_cursorKind == kind && m_cursorColumn == column && m_cursorValue == value &&
               m_cursorHigh == high && cursorDeliversWanted();
    };
    if (!(sameSearch() && mayStepPastDeletes())) settle();
    if (sameSearch()) {
        found = stepCursor();
        if (!found) {
            m_cursor = nullptr;
            m_cursorKind = CursorKind::None;
        }
    } else {
        found = seek(kind, column, value, hadCurrent ? std::optional<std::int64_t>(oldRowid) : std::nullopt, high);
    }
    endFind(found, hadCurrent, wasDeleted, oldRowid);
}

int Recordset::requireColumn(const QString& name) const {
    const int c = m_table->column(name);
    if (c < 0)
        throw DbError(dbErrColumnNotFound, QStringLiteral("The table '%1' has no column '%2'.").arg(m_table->name, name));
    return c;
}

bool Recordset::HasIndexOn(const QString& column) {
    checkOpen();
    return !indexOn(requireColumn(column)).isEmpty();
}

const QString& Recordset::indexOn(int column) {
    const auto known = m_indexes.constFind(column);
    if (known != m_indexes.constEnd()) return *known;
    // An index of the whole table whose first column is this one, in
    // SQLite's own byte order. A column declared TEXT (SQLite's rules of
    // affinity) holds no numbers: every row but a Null is text or a BLOB,
    // which one walk of the table reads in stored order, while the index
    // would deliver them all out of it.
    const QByteArray type = m_table->declaredTypes[column].toUpper();
    if (!type.contains("INT") && (type.contains("CHAR") || type.contains("CLOB") || type.contains("TEXT")))
        return *m_indexes.insert(column, QString());
    const auto text = [](sqlite3_stmt* s, int i) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
    };
    const auto rows = [&](const QString& pragma, const std::function<bool(sqlite3_stmt*)>& row) {
        sqlite3_stmt* s = m_conn->prepared(pragma);
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW && !row(s)) {}
        sqlite3_reset(s);
        m_conn->check(rc);
    };
    QStringList candidates;
    rows(QStringLiteral("PRAGMA index_list(%1)").arg(m_table->quoted), [&](sqlite3_stmt* s) {
        if (sqlite3_column_int(s, 4) == 0) candidates << text(s, 1);   // not partial
        return false;
    });
    QString found;
    for (const QString& index : std::as_const(candidates)) {
        // The first row describes the first column.
        rows(QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoteIdentifier(index)), [&](sqlite3_stmt* s) {
            if (text(s, 2).compare(m_table->columns[column], Qt::CaseInsensitive) == 0 &&
                text(s, 4).compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0)
                found = index;
            return true;
        });
        if (!found.isEmpty()) break;
    }
    return *m_indexes.insert(column, found);
}

Field Recordset::Fields(const QString& name) {
    checkOpen();
    return Field(this, requireColumn(name));
}

DbValue Recordset::readColumn(int column) {
    checkOpen();
    if (m_editMode != EditMode::None && m_buffer[column]) return *m_buffer[column];
    if (m_editMode == EditMode::AddNew) return DbValue::null();
    return storedColumn(column);
}

DbValue Recordset::storedColumn(int column) {
    requireCurrent();
    if (!mayStepPastDeletes()) settle();
    if (cursorLive()) {
        const int at = m_cursorColumns[size_t(column)];
        if (at >= 0) return columnValue(m_cursor, at);
    }
    settle();
    // The query that found the row does not deliver this column (or the row was
    // reached before the last write on this connection): the next query will,
    // and meanwhile the whole row is read once.
    m_wanted[size_t(column)] = 1;
    if (!(m_rowLoaded && m_rowRowid == m_rowid && m_rowGeneration == m_conn->generation)) {
        m_rowLoaded = false;
        if (!m_rowStatement) {
            const QByteArray sql = QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?1").arg(m_table->quoted).toUtf8();
            const int prc = sqlite3_prepare_v3(m_conn->db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                               &m_rowStatement, nullptr);
            if (prc != SQLITE_OK) {
                sqlite3_finalize(m_rowStatement);
                m_rowStatement = nullptr;
                m_conn->fail(prc);
            }
        }
        sqlite3_bind_int64(m_rowStatement, 1, m_rowid);
        const int rc = sqlite3_step(m_rowStatement);
        if (rc != SQLITE_ROW) {
            sqlite3_reset(m_rowStatement);
            if (rc != SQLITE_DONE) m_conn->fail(rc);
            throw DbError(dbErrRecordDeleted, QStringLiteral("Record is deleted."));
        }
        m_row.resize(m_wanted.size());
        for (size_t c = 0; c < m_row.size(); ++c) m_row[c] = columnValue(m_rowStatement, int(c) + 1);
        sqlite3_reset(m_rowStatement);
        m_rowLoaded = true;
        m_rowRowid = m_rowid;
        m_rowGeneration = m_conn->generation;
    }
    return m_row[size_t(column)];
}

void Recordset::writeColumn(int column, const DbValue& v) {
    checkOpen();
    checkUpdatable();
    if (m_editMode == EditMode::None)
        throw DbError(dbErrUpdateWithoutEdit, QStringLiteral("Update or field change without AddNew or Edit."));
    // An edited row's column that would read the same afterwards is not
    // written at all, so the stored bytes and type stay exactly as they are.
    if (m_editMode == EditMode::Edit && readsAs(storedColumn(column), v)) {
        m_buffer[column].reset();
        return;
    }
    m_buffer[column] = v;
}

void Recordset::Edit() {
    checkOpen();
    checkUpdatable();
    requireCurrent();
    m_buffer.assign(m_buffer.size(), std::nullopt);
    m_editMode = EditMode::Edit;
}

void Recordset::AddNew() {
    checkOpen();
    checkUpdatable();
    place();   // the position stays where it is, the first row the table had before
    m_buffer.assign(m_buffer.size(), std::nullopt);
    m_editMode = EditMode::AddNew;
}

void Recordset::Update() {
    checkOpen();
    settle();
    checkUpdatable();
    if (m_editMode == EditMode::None)
        throw DbError(dbErrUpdateWithoutEdit, QStringLiteral("Update or field change without AddNew or Edit."));
    // The columns written, in the table's order, key the statement: its text
    // is made and prepared once per set of columns.
    const EditMode mode = m_editMode;
    QByteArray key;
    key.append(mode == EditMode::AddNew ? 'A' : 'E');
    for (size_t i = 0; i < m_buffer.size(); ++i)
        if (m_buffer[i]) key.append(char(i & 0xff)).append(char((i >> 8) & 0xff));
    const int nValues = int(key.size() - 1) / 2;
    if (mode == EditMode::Edit) requireCurrent();
    if (nValues == 0 && mode == EditMode::Edit) {
        m_editMode = EditMode::None;
        return;
    }
    sqlite3_stmt*& s = m_updateStatements[key];
    if (!s) {
        QStringList names;
        for (size_t i = 0; i < m_buffer.size(); ++i)
            if (m_buffer[i]) names << m_table->quotedColumns[int(i)];
        QString sql;
        if (mode == EditMode::AddNew) {
            if (names.isEmpty()) {
                sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table->quoted);
            } else {
                QStringList marks;
                for (int i = 1; i <= names.size(); ++i) marks << QStringLiteral("?%1").arg(i);
                sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(m_table->quoted, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
            }
        } else {
            QStringList sets;
            for (int i = 0; i < names.size(); ++i) sets << QStringLiteral("%1 = ?%2").arg(names[i]).arg(i + 1);
            sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                      .arg(m_table->quoted, sets.join(QLatin1Char(',')))
                      .arg(names.size() + 1);
        }
        s = m_conn->prepared(sql);
    }
    if (m_cursor) sqlite3_reset(m_cursor);
    m_cursorOnCurrent = false;
    // Every parameter is bound afresh; the statement was reset after its last use.
    int param = 1;
    for (size_t i = 0; i < m_buffer.size(); ++i)
        if (m_buffer[i]) bindValue(s, param++, *m_buffer[i]);
    if (mode == EditMode::Edit) sqlite3_bind_int64(s, param, m_rowid);
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    ++m_conn->generation;
    if (rc != SQLITE_DONE) m_conn->fail(rc);
    if (mode == EditMode::Edit && sqlite3_changes(m_conn->db) == 0) {
        m_currentDeleted = true;
        throw DbError(dbErrRecordDeleted, QStringLiteral("Record is deleted."));
    }
    if (mode == EditMode::AddNew) checkNewKey();
    m_editMode = EditMode::None;
}

void Recordset::checkNewKey() {
    if (m_rowidKey < 0) {
        // The key is the rowid when it is the table's one primary-key column
        // and declared INTEGER.
        sqlite3_stmt* info = m_conn->prepared(QStringLiteral("PRAGMA table_info(%1)").arg(m_table->quoted));
        int keys = 0;
        bool integerKey = false;
        int rc;
        while ((rc = sqlite3_step(info)) == SQLITE_ROW) {
            if (sqlite3_column_int(info, 5) == 0) continue;
            ++keys;
            const char* type = reinterpret_cast<const char*>(sqlite3_column_text(info, 2));
            integerKey = type && QByteArray(type).compare("INTEGER", Qt::CaseInsensitive) == 0;
        }
        sqlite3_reset(info);
        if (rc != SQLITE_DONE) m_conn->fail(rc);
        m_rowidKey = keys == 1 && integerKey ? 1 : 0;
    }
    if (m_rowidKey == 0) return;
    const std::int64_t key = sqlite3_last_insert_rowid(m_conn->db);
    if (key >= std::numeric_limits<std::int32_t>::min() && key <= std::numeric_limits<std::int32_t>::max()) return;
    // The program keeps keys as 32-bit numbers: a row it could never name again
    // is not added.
    sqlite3_stmt* s = m_conn->prepared(m_table->deleteSql);
    sqlite3_bind_int64(s, 1, key);
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    ++m_conn->generation;
    if (rc != SQLITE_DONE) m_conn->fail(rc);
    throw DbError(dbErrKeyOutOfRange,
                  QStringLiteral("No new row can be added to '%1': its number would be %2, beyond the largest "
                                 "number the program can use (2147483647).")
                      .arg(m_table->name)
                      .arg(key));
}

void Recordset::Delete() {
    checkOpen();
    checkUpdatable();
    requireCurrent();
    m_editMode = EditMode::None;
    if (!mayStepPastDeletes()) settle();
    // The row is removed from the file together with the rows this recordset
    // deletes after it, before anything else reads or writes on the
    // connection; until then it counts as deleted here. The query that found
    // it goes on stepping from its place (the rows waiting to be removed all
    // lie behind it), so removing every match of a search costs neither a new
    // query nor a statement per row.
    m_conn->pendingDeletes.push_back(m_rowid);
    m_conn->pendingOwner = this;
    m_conn->pendingTable = m_table;
    // The position stays on the removed row's place.
    m_currentDeleted = true;
}

void Recordset::Close() {
    if (!m_open) return;
    // Rows it deleted are still removed, by whatever comes next on the connection.
    if (m_conn->pendingOwner == this) m_conn->pendingOwner = nullptr;
    finalizeStatements();
    m_editMode = EditMode::None;
    m_open = false;
}

// ---------------------------------------------------------------------------
// Field

DbValue Field::Value() const { return m_rs->readColumn(m_column); }
void Field::SetValue(const DbValue& v) { m_rs->writeColumn(m_column, v); }
void Field::SetText(const QString& v) { m_rs->writeColumn(m_column, DbValue::text(v)); }
void Field::SetLong(std::int32_t v) { m_rs->writeColumn(m_column, DbValue::integer(v)); }
void Field::SetInteger(std::int16_t v) { m_rs->writeColumn(m_column, DbValue::integer(v)); }
void Field::SetNull() { m_rs->writeColumn(m_column, DbValue::null()); }
