#pragma once
// The database engine: a small record-at-a-time interface over an SQLite file.
//
// An operation opens the file, opens recordsets on plain table names, walks or
// searches them, reads and writes fields by name, and closes. Everything it
// changes belongs to one transaction: Database::Close() commits it, while a
// Database that is destroyed without Close() (because an error was thrown)
// rolls it back, so a failed operation leaves the file as it was.
//
// Every failure is thrown as a DbError carrying a number and a description.
#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3_stmt;

// Numbers of the failures the engine itself raises. Failures reported by
// SQLite carry SQLite's own result code (always below 1000).
enum DbErrorNumber : int {
    dbErrFileNotFound = 3001,
    dbErrCannotOpen = 3002,
    dbErrTableNotFound = 3003,
    dbErrColumnNotFound = 3004,
    dbErrBadCriteria = 3005,
    dbErrNoCurrentRecord = 3006,
    dbErrRecordDeleted = 3007,
    dbErrReadOnly = 3008,
    dbErrUpdateWithoutEdit = 3009,
    dbErrObjectClosed = 3010,
    dbErrBadRecordsetType = 3011,
    dbErrInvalidUseOfNull = 3012,
    dbErrTypeMismatch = 3013,
    dbErrOverflow = 3014,
    dbErrKeyOutOfRange = 3015,   // a new row's key would not fit a signed 32-bit number
};

class DbError : public std::exception {
public:
    DbError(int number, QString description);
    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

// A field's value as read: Null, a whole number, a real number or text.
// Stored text is read as UTF-8; bytes that are not valid UTF-8 (text from
// older or hand-made files, a BLOB) are read one byte to a character
// (Latin-1), so that nothing reads as a replacement character.
//
// A text value read from the file whose text alone would not give its stored
// form back (a BLOB, bytes that are not UTF-8, a leading byte-order mark,
// which reading drops) also keeps that form: the bytes and whether they are
// stored as TEXT or as a BLOB. Written with Field::SetValue, such a value is
// stored again with that type and those bytes. Comparison (==) looks only at
// the kind and the value as read.
class DbValue {
public:
    enum class Kind { Null, Integer, Real, Text };
    // How a Text value is written: as its text in UTF-8, or as its stored
    // bytes, either as TEXT or as a BLOB.
    enum class Storage { AsText, TextBytes, BlobBytes };

    DbValue() = default;
    static DbValue null() { return DbValue(); }
    static DbValue integer(std::int64_t v);
    static DbValue real(double v);
    static DbValue text(const QString& v);
    // A text value that reads as readAs and is stored as these bytes
    // (storage: TextBytes or BlobBytes).
    static DbValue storedText(const QString& readAs, const QByteArray& bytes, Storage storage);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    Storage storage() const { return m_storage; }
    // The stored bytes of a TextBytes or BlobBytes value; empty otherwise.
    const QByteArray& storedBytes() const { return m_bytes; }

    // Conversions; each fails with dbErrInvalidUseOfNull on Null.
    QString toText() const;
    // A 32-bit whole number: reals round half to even, numeric text is read;
    // fails with dbErrTypeMismatch (not a number) or dbErrOverflow (out of range).
    std::int32_t toLong() const;
    std::int16_t toInteger() const;

    bool operator==(const DbValue& o) const;

    // The stored value as it is, without conversion.
    std::int64_t integerValue() const { return m_int; }
    double realValue() const { return m_real; }
    const QString& textValue() const { return m_text; }

private:
    double toNumber() const;
    Kind m_kind = Kind::Null;
    Storage m_storage = Storage::AsText;
    std::int64_t m_int = 0;
    double m_real = 0;
    QString m_text;
    QByteArray m_bytes;
};

// A search criterion split into its parts. Criteria are exactly: a column
// name (a letter or "_", then letters, digits or "_"), " = ", and a whole
// number in plain decimal with an optional minus sign, within 64 bits.
// Anything else fails with dbErrBadCriteria; the column is not looked up here.
struct DbCriteria {
    QString column;
    std::int64_t value = 0;
};
DbCriteria ParseDbCriteria(const QString& criteria);

enum RecordsetType : int {
    dbOpenDynaset = 2,   // updatable
    dbOpenSnapshot = 4,  // read-only
};

class Recordset;
struct DbConnection;
struct DbTable;

// One field of a recordset's current row (or of the row being edited).
// Writing a field of an edited row with the value it already reads as leaves
// the stored value untouched, bytes and type (a BLOB, text that is not UTF-8,
// a number in a text column): only what really changes is written.
class Field {
public:
    DbValue Value() const;
    // Writes a value as Value() gave it: Null, the whole or real number, or
    // the text in its stored form (see DbValue), so that a value written back
    // where it was read (or into a column of the same declared type) is stored
    // with the same type and bytes.
    void SetValue(const DbValue& v);
    void SetText(const QString& v);
    void SetLong(std::int32_t v);
    void SetInteger(std::int16_t v);
    void SetNull();

private:
    friend class Recordset;
    Field(Recordset* rs, int column) : m_rs(rs), m_column(column) {}
    Recordset* m_rs;
    int m_column;
};

class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // True when the walk has gone past the last row (or the table is empty).
    bool Eof();
    void MoveFirst();
    void MoveNext();

    // Criteria are exactly: a column name, " = ", a whole number in plain decimal.
    void FindFirst(const QString& criteria);
    void FindNext(const QString& criteria);
    // Search, like FindFirst and FindNext, for the rows whose column holds a
    // number strictly between low and high as stored (a whole number or a
    // real), and with orTextOrBlob also those holding text or a BLOB, whatever
    // number it may read as.
    void FindFirstBetween(const QString& column, std::int64_t low, std::int64_t high, bool orTextOrBlob);
    void FindNextBetween(const QString& column, std::int64_t low, std::int64_t high, bool orTextOrBlob);
    // True when FindFirstBetween and FindNextBetween go through an index of
    // the column (of the whole table, on its stored values compared byte by
    // byte), reading only the index's entries in their ranges; otherwise each
    // search reads the whole table. A column declared TEXT, which holds no
    // numbers, is always read whole.
    bool HasIndexOn(const QString& column);
    bool NoMatch() const { return m_noMatch; }

    Field Fields(const QString& name);

    void Edit();
    void AddNew();
    // Stores the row begun by Edit or AddNew. A new row's key is numbered by
    // the engine; a key that would not fit a signed 32-bit number fails with
    // dbErrKeyOutOfRange and the row is not added. The current row stays where
    // it was before AddNew.
    void Update();
    // Removes the current row; a following FindNext or MoveNext goes on from its place.
    void Delete();
    void Close();

private:
    friend class Database;
    friend class Field;
    Recordset(std::shared_ptr<DbConnection> conn, std::shared_ptr<const DbTable> table, int type);

    enum class EditMode { None, Edit, AddNew };
    enum class CursorKind { None, Walk, Find, FindBetween, FindBetweenOrTextOrBlob };

    void checkOpen() const;
    void checkUpdatable() const;
    void requireCurrent();
    // Takes the first position of a new recordset, once.
    void place();
    DbValue readColumn(int column);
    // The current row's column as the file holds it, whatever is being edited.
    DbValue storedColumn(int column);
    void writeColumn(int column, const DbValue& v);
    // Fails, removing the row just added, when its key (a column that is the
    // table's rowid) does not fit a signed 32-bit number.
    void checkNewKey();
    // Runs a positioned query; true when it found a row (which becomes current).
    // high: a FindBetween's upper bound (findValue is the lower one).
    bool seek(CursorKind kind, int findColumn, std::int64_t findValue, std::optional<std::int64_t> afterRowid,
              std::int64_t high = 0);
    bool stepCursor();
    void dropCursor();
    void finalizeStatements();
    struct CursorQuery {
        sqlite3_stmt* statement = nullptr;
        std::vector<int> columns;   // per table column: its place in the result, -1 when not delivered
    };
    const CursorQuery& cursorQuery(CursorKind kind, int findColumn, bool after);
    bool cursorLive() const;
    bool cursorDeliversWanted() const;
    // Removes the rows deleted on the connection but not yet removed from the file.
    void settle();
    // Ends a search: on a match the found row is current, otherwise the
    // position stays where it was before the search.
    void endFind(bool found, bool hadCurrent, bool wasDeleted, std::int64_t oldRowid);
    // True when nothing waits to be removed, or only rows this recordset
    // deleted, behind its running query.
    bool mayStepPastDeletes() const;
    void parseCriteria(const QString& criteria, int* column, std::int64_t* value) const;
    int requireColumn(const QString& name) const;
    int searchedColumn(const QString& name);
    // The index that HasIndexOn finds for the column, "" when there is none.
    const QString& indexOn(int column);
    // The searches behind FindFirst, FindNext and their kin: a Find of column
    // = value, or a FindBetween of column from value to high. The kin are made
    // to read the column they search (searchedColumn): their queries deliver
    // it from the start.
    void findFirst(CursorKind kind, int column, std::int64_t value, std::int64_t high = 0);
    void findNext(CursorKind kind, int column, std::int64_t value, std::int64_t high = 0);

    std::shared_ptr<DbConnection> m_conn;
    std::shared_ptr<const DbTable> m_table;
    int m_type;
    bool m_open = true;

    // Position: the current row's rowid, whether there is a current row, and
    // whether it was deleted.
    bool m_hasCurrent = false;
    bool m_currentDeleted = false;
    std::int64_t m_rowid = 0;
    bool m_eof = true;
    bool m_placed = false;
    bool m_noMatch = false;

    // The running query that produced the current row, stepped by MoveNext or
    // FindNext while nothing has been written on the connection since.
    sqlite3_stmt* m_cursor = nullptr;
    QHash<QByteArray, CursorQuery> m_statements;   // this recordset's own queries, by kind and columns
    std::vector<int> m_cursorColumns;              // the running query's columns (see CursorQuery)
    // Columns read through this recordset so far (1 = read): the next query delivers them.
    std::vector<char> m_wanted;
    QHash<int, QString> m_indexes;                 // indexOn's answers, by column
    // The whole current row, read once when the running query does not deliver a column.
    sqlite3_stmt* m_rowStatement = nullptr;
    std::vector<DbValue> m_row;
    std::int64_t m_rowRowid = 0;
    std::uint64_t m_rowGeneration = 0;
    bool m_rowLoaded = false;
    // Statements of the connection this recordset writes with (reset after
    // every use, finalized with the connection): Update's, by the columns written.
    QHash<QByteArray, sqlite3_stmt*> m_updateStatements;
    CursorKind m_cursorKind = CursorKind::None;
    int m_cursorColumn = -1;
    std::int64_t m_cursorValue = 0;
    std::int64_t m_cursorHigh = 0;
    std::uint64_t m_cursorGeneration = 0;
    bool m_cursorOnCurrent = false;

    // The last criterion read, so that a walk of FindNext reads it once.
    mutable QString m_lastCriteria;
    mutable int m_lastCriteriaColumn = -1;
    mutable std::int64_t m_lastCriteriaValue = 0;

    EditMode m_editMode = EditMode::None;
    std::vector<std::optional<DbValue>> m_buffer;
    // Whether the table's key is its rowid (an INTEGER PRIMARY KEY), and so
    // numbered by the engine; -1 until the first row is added.
    int m_rowidKey = -1;
};

class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // type: dbOpenSnapshot (4) or dbOpenDynaset (2). The table must exist.
    std::unique_ptr<Recordset> OpenRecordset(const QString& table, int type);
    // Commits the operation's changes and closes the file. A Database destroyed
    // without Close() rolls back everything done through it.
    void Close();

private:
    friend class DBEngine;
    explicit Database(std::shared_ptr<DbConnection> conn);
    std::shared_ptr<DbConnection> m_conn;
};

// The engine object: one for the whole run, created by the first operation.
class DBEngine {
public:
    // Opens an existing database file for reading and writing, shared with
    // other programs; never creates it. Waits a short while for a sibling
    // program's lock before failing.
    std::unique_ptr<Database> OpenDatabase(const QString& path);

    static constexpr int kBusyTimeoutMs = 2000;
};

// The engine object, created on first use.
DBEngine& GetDBEngine();
