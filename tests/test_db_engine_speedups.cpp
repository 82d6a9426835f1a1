// The database layer's shortcuts for speed keep what the record-at-a-time
// calls promise: deletions that are removed from the file in batches, queries
// that deliver only the columns read so far, and statements made once.
#include <gtest/gtest.h>

#include "platform/db.h"
#include "support/program_folder.h"

namespace {

std::unique_ptr<Database> Open(const ProgramFolder& f) { return GetDBEngine().OpenDatabase(f.databasePath()); }

int Count(const ProgramFolder& f, const QString& where) {
    return f.Scalar(QStringLiteral("SELECT count(*) FROM RosterList WHERE ") + where).toInt();
}

// Roster rows: `n` rows of roster 1 (creatures 1..n) between rows of roster 2.
void FillRosterRows(const ProgramFolder& f, int n) {
    f.Exec(QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < ?1),"
                          " r(roster, creature, ord) AS (SELECT 1, i, 2 * i FROM k"
                          "   UNION ALL SELECT 2, 1000 + i, 2 * i + 1 FROM k WHERE i % 3 = 0)"
                          " INSERT INTO RosterList (IDRoster, IDCreature, Probability)"
                          " SELECT roster, creature, 0 FROM r ORDER BY ord"),
           {n});
}

DbError Fails(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const DbError& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return DbError(0, QString());
}

}  // namespace

TEST(DbEngineSpeedups, DeletingEveryMatchRemovesExactlyThemAcrossBatches) {
    // 200 rows: three full batches and a remainder.
    ProgramFolder f;
    FillRosterRows(f, 200);
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
    const QString criteria = QStringLiteral("IDRoster = 1");
    int deleted = 0;
    rs->FindFirst(criteria);
    while (!rs->NoMatch()) {
        EXPECT_EQ(rs->Fields(QStringLiteral("IDCreature")).Value().toLong(), deleted + 1);
        rs->Delete();
        ++deleted;
        rs->FindNext(criteria);
    }
    EXPECT_EQ(deleted, 200);
    // Added after the deletions, in the same operation.
    rs->AddNew();
    rs->Fields(QStringLiteral("IDRoster")).SetLong(1);
    rs->Fields(QStringLiteral("IDCreature")).SetLong(7);
    rs->Update();
    rs->Close();
    db->Close();
    EXPECT_EQ(Count(f, QStringLiteral("IDRoster = 1")), 1);
    EXPECT_EQ(Count(f, QStringLiteral("IDRoster = 1 AND IDCreature = 7")), 1);
    EXPECT_EQ(Count(f, QStringLiteral("IDRoster = 2")), 66);
}

TEST(DbEngineSpeedups, DeletedRowsAreGoneForEveryOtherReaderAtOnce) {
    ProgramFolder f;
    FillRosterRows(f, 10);
    auto db = Open(f);
    auto reader = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
    auto writer = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);

    // The reader stands on creature 4's row, its query delivering IDRoster;
    // the writer deletes the row.
    reader->FindFirst(QStringLiteral("IDCreature = 3"));
    EXPECT_EQ(reader->Fields(QStringLiteral("IDRoster")).Value().toLong(), 1);
    reader->FindFirst(QStringLiteral("IDCreature = 4"));
    ASSERT_FALSE(reader->NoMatch());
    writer->FindFirst(QStringLiteral("IDCreature = 4"));
    writer->Delete();
    EXPECT_EQ(Fails([&] { reader->Fields(QStringLiteral("IDRoster")).Value(); }).number(), dbErrRecordDeleted);

    // A search under way does not meet a row deleted ahead of it either.
    reader->FindFirst(QStringLiteral("IDRoster = 1"));
    EXPECT_EQ(reader->Fields(QStringLiteral("IDCreature")).Value().toLong(), 1);
    reader->FindNext(QStringLiteral("IDRoster = 1"));
    EXPECT_EQ(reader->Fields(QStringLiteral("IDCreature")).Value().toLong(), 2);
    writer->FindFirst(QStringLiteral("IDCreature = 3"));
    writer->Delete();
    reader->FindNext(QStringLiteral("IDRoster = 1"));
    EXPECT_EQ(reader->Fields(QStringLiteral("IDCreature")).Value().toLong(), 5);

    // A new search does not find it; a walk does not meet it.
    reader->FindFirst(QStringLiteral("IDCreature = 4"));
    EXPECT_TRUE(reader->NoMatch());
    writer->FindFirst(QStringLiteral("IDCreature = 5"));
    writer->Delete();
    int walked = 0;
    for (reader->MoveFirst(); !reader->Eof(); reader->MoveNext()) {
        const qint32 id = reader->Fields(QStringLiteral("IDCreature")).Value().toLong();
        EXPECT_TRUE(id < 3 || id > 5) << id;
        ++walked;
    }
    EXPECT_EQ(walked, 10 + 3 - 3);
    reader->Close();
    writer->Close();
    db->Close();
    EXPECT_EQ(Count(f, QStringLiteral("IDCreature IN (3, 4, 5)")), 0);
}

TEST(DbEngineSpeedups, DeletionsOfAClosedOrFailedOperationFollowItsOutcome) {
    ProgramFolder f;
    FillRosterRows(f, 100);
    {
        // Closed recordset, committed operation: the rows are removed.
        auto db = Open(f);
        auto rs = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
        rs->FindFirst(QStringLiteral("IDRoster = 2"));
        while (!rs->NoMatch()) {
            rs->Delete();
            rs->FindNext(QStringLiteral("IDRoster = 2"));
        }
        rs->Close();
        auto other = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenSnapshot);
        other->FindFirst(QStringLiteral("IDRoster = 2"));
        EXPECT_TRUE(other->NoMatch());
        other->Close();
        db->Close();
    }
    EXPECT_EQ(Count(f, QStringLiteral("IDRoster = 2")), 0);
    {
        // An operation that ends in an error (the database is never closed): nothing is removed.
        auto db = Open(f);
        auto rs = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
        rs->FindFirst(QStringLiteral("IDRoster = 1"));
        while (!rs->NoMatch()) {
            rs->Delete();
            rs->FindNext(QStringLiteral("IDRoster = 1"));
        }
    }
    EXPECT_EQ(Count(f, QStringLiteral("IDRoster = 1")), 100);
}

TEST(DbEngineSpeedups, ColumnsReadLateInAWalkAreTheRowsOwn) {
    ProgramFolder f(ProgramFolder::Content::Sample);
    const QList<QVariantList> expected =
        f.Query(QStringLiteral("SELECT IDCreature, Name, IDCategory, Field3 FROM Creatures ORDER BY rowid"));
    ASSERT_GE(expected.size(), 6);
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
    int row = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++row) {
        // One more column from the third row on, another from the fifth, and a
        // write in between: each value still belongs to its own row.
        EXPECT_EQ(rs->Fields(QStringLiteral("Name")).Value().toText(), expected[row][1].toString());
        if (row >= 2) {
            EXPECT_EQ(rs->Fields(QStringLiteral("IDCategory")).Value().toLong(), expected[row][2].toInt()) << row;
        }
        if (row >= 4) {
            EXPECT_EQ(rs->Fields(QStringLiteral("field3")).Value().toText(), expected[row][3].toString()) << row;
        }
        if (row == 3) {
            rs->Edit();
            rs->Fields(QStringLiteral("Field3")).SetText(QStringLiteral("changed"));
            rs->Update();
            EXPECT_EQ(rs->Fields(QStringLiteral("Field3")).Value().toText(), QStringLiteral("changed"));
        }
        EXPECT_EQ(rs->Fields(QStringLiteral("IDCreature")).Value().toLong(), expected[row][0].toInt());
    }
    EXPECT_EQ(row, expected.size());
    rs->Close();
    db->Close();
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Field3 FROM Creatures WHERE IDCreature = ?1"), {expected[3][0]}).toString(),
              QStringLiteral("changed"));
}

TEST(DbEngineSpeedups, UpdatesWithDifferentColumnsEachWriteTheirOwn) {
    ProgramFolder f(ProgramFolder::Content::Sample);
    const qint64 id = f.Scalar(QStringLiteral("SELECT min(IDCreature) FROM Creatures")).toLongLong();
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
    for (int pass = 0; pass < 2; ++pass) {
        rs->FindFirst(QStringLiteral("IDCreature = %1").arg(id));
        rs->Edit();
        rs->Fields(QStringLiteral("Field1")).SetText(QStringLiteral("one %1").arg(pass));
        rs->Update();
        rs->Edit();
        rs->Fields(QStringLiteral("Field2")).SetText(QStringLiteral("two %1").arg(pass));
        rs->Fields(QStringLiteral("Name")).SetText(QStringLiteral("name %1").arg(pass));
        rs->Update();
    }
    rs->Close();
    db->Close();
    const QVariantList row =
        f.Query(QStringLiteral("SELECT Field1, Field2, Name FROM Creatures WHERE IDCreature = ?1"), {id}).value(0);
    EXPECT_EQ(row, QVariantList({QStringLiteral("one 1"), QStringLiteral("two 1"), QStringLiteral("name 1")}));
}
