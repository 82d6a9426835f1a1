// Search criteria of the database layer: any text is either refused with the
// bad-criteria error or split into a column name and a number that give
// exactly the rows holding that number.
//
// Input: the criterion as UTF-8 (invalid sequences become U+FFFD).
#include "platform/db.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <unistd.h>

namespace {

void Check(bool ok, const char* what, const QString& text) {
    if (!ok) {
        std::fprintf(stderr, "criteria check failed: %s for \"%s\"\n", what, qPrintable(text));
        std::abort();
    }
}

bool IsIdentifier(const QString& s) {
    if (s.isEmpty()) return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        if (!(letter || (i > 0 && c >= u'0' && c <= u'9'))) return false;
    }
    return true;
}

// Values stored in the search column: the edges of the 32- and 64-bit ranges among them.
const std::set<std::int64_t> kStored = {0, 1, 2, 7, -1, 2147483647, -2147483647 - 1, 9223372036854775807LL,
                                        -9223372036854775807LL - 1};

// A small database made once per process, searched by every input through one
// open snapshot.
struct SearchTable {
    QString path;
    std::unique_ptr<Database> db;
    std::unique_ptr<Recordset> rs;

    SearchTable() {
        const QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        path = dir + QStringLiteral("/ov-fuzz-criteria-%1.db").arg(::getpid());
        QFile::remove(path);
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &raw);
        sqlite3_exec(raw, "CREATE TABLE Items (IDItem INTEGER PRIMARY KEY AUTOINCREMENT, IDGroup INTEGER, Name TEXT)",
                     nullptr, nullptr, nullptr);
        for (std::int64_t v : kStored) {
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(raw, "INSERT INTO Items (IDGroup, Name) VALUES (?1, 'x')", -1, &s, nullptr);
            sqlite3_bind_int64(s, 1, v);
            sqlite3_step(s);
            sqlite3_finalize(s);
        }
        sqlite3_close(raw);
        db = GetDBEngine().OpenDatabase(path);
        rs = db->OpenRecordset(QStringLiteral("Items"), dbOpenSnapshot);
    }
    ~SearchTable() {
        rs.reset();
        db.reset();
        QFile::remove(path);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SearchTable table;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    DbCriteria parsed;
    try {
        parsed = ParseDbCriteria(text);
    } catch (const DbError& e) {
        Check(e.number() == dbErrBadCriteria, "a refused criterion is a bad-criteria error", text);
        Check(!e.description().isEmpty(), "a refused criterion is described", text);
        // The search refuses it the same way, before it looks for anything.
        try {
            table.rs->FindFirst(text);
            Check(false, "a refused criterion is refused by the search too", text);
        } catch (const DbError& e2) {
            Check(e2.number() == dbErrBadCriteria, "the search refuses with the same error", text);
        }
        return 0;
    }

    // Accepted: exactly a name, " = " and a decimal number of that value.
    Check(IsIdentifier(parsed.column), "the column is an identifier", text);
    const QString prefix = parsed.column + QStringLiteral(" = ");
    Check(text.startsWith(prefix), "the criterion is the column, then \" = \"", text);
    const std::string digits = text.mid(prefix.size()).toStdString();
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    Check(ec == std::errc() && end == digits.data() + digits.size() && value == parsed.value,
          "the number is the rest, read in plain decimal", text);
    const QString canonical = prefix + QString::number(parsed.value);
    const DbCriteria again = ParseDbCriteria(canonical);
    Check(again.column == parsed.column && again.value == parsed.value, "the plain form reads the same", text);

    // Searching: a known column finds a row exactly when one holds the value;
    // an unknown column is its own error.
    const bool known = parsed.column.compare(QStringLiteral("IDGroup"), Qt::CaseInsensitive) == 0;
    try {
        table.rs->FindFirst(text);
        Check(known || parsed.column.compare(QStringLiteral("IDItem"), Qt::CaseInsensitive) == 0 ||
                  parsed.column.compare(QStringLiteral("Name"), Qt::CaseInsensitive) == 0,
              "only the table's columns are searched", text);
        if (known) {
            Check(table.rs->NoMatch() == !kStored.count(parsed.value), "a search finds exactly the stored values", text);
            if (!table.rs->NoMatch())
                Check(table.rs->Fields(QStringLiteral("IDGroup")).Value() == DbValue::integer(parsed.value),
                      "the row found holds the value", text);
        }
    } catch (const DbError& e) {
        Check(!known && e.number() == dbErrColumnNotFound, "an unknown column is reported as such", text);
    }
    return 0;
}
