// The database engine layer on real SQLite files made by the database tool.
#include <gtest/gtest.h>

#include <QFile>
#include <QThread>

#include <sqlite3.h>

#include <thread>

#include "platform/db.h"
#include "support/program_folder.h"

namespace {

std::unique_ptr<Database> Open(const ProgramFolder& f) { return GetDBEngine().OpenDatabase(f.databasePath()); }

template <typename F>
DbError Fails(F&& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return DbError(0, QString());
}

}  // namespace

TEST(DbEngine, OpeningNeverCreatesAFileAndNamesTheMissingOne) {
    ProgramFolder f(ProgramFolder::Content::NoDatabase);
    const DbError e = Fails([&] { Open(f); });
    EXPECT_EQ(e.number(), dbErrFileNotFound);
    EXPECT_TRUE(e.description().contains(f.databasePath())) << e.description().toStdString();
    EXPECT_FALSE(QFile::exists(f.databasePath()));

    QFile junk(f.databasePath());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    const DbError notDb = Fails([&] { Open(f); });
    EXPECT_NE(notDb.number(), 0);
    EXPECT_FALSE(notDb.description().isEmpty());
}

TEST(DbEngine, TablesAreCheckedAgainstTheSchema) {
    ProgramFolder f;
    auto db = Open(f);
    EXPECT_EQ(Fails([&] { db->OpenRecordset(QStringLiteral("Monsters"), dbOpenSnapshot); }).number(), dbErrTableNotFound);
    EXPECT_EQ(Fails([&] { db->OpenRecordset(QStringLiteral("Creatures; DROP TABLE Creatures"), dbOpenSnapshot); }).number(),
              dbErrTableNotFound);
    EXPECT_EQ(Fails([&] { db->OpenRecordset(QStringLiteral("Creatures"), 1); }).number(), dbErrBadRecordsetType);
    auto rs = db->OpenRecordset(QStringLiteral("creatures"), dbOpenSnapshot);   // any case
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(Fails([&] { rs->MoveFirst(); }).number(), dbErrNoCurrentRecord);
    EXPECT_EQ(Fails([&] { rs->Fields(QStringLiteral("Nonsense")); }).number(), dbErrColumnNotFound);
}

TEST(DbEngine, WalkDeliversEveryRowInKeyOrder) {
    ProgramFolder f;
    for (const char* n : {"Bat", "Ant", "Cat"}) f.AddCategory(QString::fromLatin1(n));
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("Categories"), dbOpenSnapshot);
    QStringList seen;
    rs->MoveFirst();
    while (!rs->Eof()) {
        seen << rs->Fields(QStringLiteral("Name")).Value().toText();
        rs->MoveNext();
    }
    EXPECT_EQ(seen, (QStringList{"Bat", "Ant", "Cat"}));
    EXPECT_EQ(Fails([&] { rs->MoveNext(); }).number(), dbErrNoCurrentRecord);
}

TEST(DbEngine, CriteriaAreParsedStrictly) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("C"));
    f.AddCreature(cat, QStringLiteral("A"));
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenSnapshot);
    for (const char* bad : {"IDCategory=1", "IDCategory = 1 OR 1 = 1", "IDCategory = '1'", " IDCategory = 1",
                            "IDCategory = 1 ", "IDCategory = 1.0", "IDCategory = 0x1", "IDCategory = ",
                            "IDCategory = 1; DROP TABLE Creatures", "1D = 1", "IDCategory  = 1", "IDCategory = --1",
                            "IDCategory = 99999999999999999999", "Name = 1 --"}) {
        const DbError e = Fails([&] { rs->FindFirst(QString::fromLatin1(bad)); });
        EXPECT_EQ(e.number(), dbErrBadCriteria) << bad;
    }
    EXPECT_EQ(Fails([&] { rs->FindFirst(QStringLiteral("Colour = 1")); }).number(), dbErrColumnNotFound);
    rs->FindFirst(QStringLiteral("IDCategory = -1"));
    EXPECT_TRUE(rs->NoMatch());
    rs->FindFirst(QStringLiteral("IDCategory = %1").arg(cat));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields(QStringLiteral("Name")).Value().toText(), QStringLiteral("A"));
    db.reset();
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures")).toInt(), 1);
}

TEST(DbEngine, FindNextVisitsEveryMatchAndDeleteKeepsThePlace) {
    ProgramFolder f;
    const qint64 a = f.AddCategory(QStringLiteral("A")), b = f.AddCategory(QStringLiteral("B"));
    for (int i = 0; i < 6; ++i) f.AddCreature(i % 3 == 2 ? b : a, QStringLiteral("c%1").arg(i));
    auto db = Open(f);
    {
        auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenSnapshot);
        QStringList names;
        const QString crit = QStringLiteral("IDCategory = %1").arg(a);
        for (rs->FindFirst(crit); !rs->NoMatch(); rs->FindNext(crit)) names << rs->Fields(QStringLiteral("Name")).Value().toText();
        EXPECT_EQ(names, (QStringList{"c0", "c1", "c3", "c4"}));
    }
    auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
    const QString crit = QStringLiteral("IDCategory = %1").arg(a);
    rs->FindFirst(crit);
    while (!rs->NoMatch()) {
        rs->Delete();
        EXPECT_EQ(Fails([&] { rs->Fields(QStringLiteral("Name")).Value(); }).number(), dbErrRecordDeleted);
        rs->FindNext(crit);
    }
    rs->Close();
    db->Close();
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT group_concat(Name) FROM Creatures")).toString(), QStringLiteral("c2,c5"));
}

TEST(DbEngine, ValuesConvertLikeTheProgramExpects) {
    EXPECT_EQ(Fails([] { DbValue::null().toText(); }).number(), dbErrInvalidUseOfNull);
    EXPECT_EQ(Fails([] { DbValue::null().toLong(); }).number(), dbErrInvalidUseOfNull);
    EXPECT_EQ(DbValue::integer(-7).toText(), QStringLiteral("-7"));
    EXPECT_EQ(DbValue::text(QStringLiteral(" 42 ")).toLong(), 42);
    EXPECT_EQ(DbValue::real(2.5).toLong(), 2);
    EXPECT_EQ(DbValue::real(3.5).toLong(), 4);
    EXPECT_EQ(DbValue::real(-2.5).toInteger(), -2);
    EXPECT_EQ(Fails([] { DbValue::text(QStringLiteral("four")).toLong(); }).number(), dbErrTypeMismatch);
    EXPECT_EQ(Fails([] { DbValue::integer(2147483648LL).toLong(); }).number(), dbErrOverflow);
    EXPECT_EQ(Fails([] { DbValue::integer(32768).toInteger(); }).number(), dbErrOverflow);
    EXPECT_EQ(DbValue::integer(-2147483648LL).toLong(), INT32_MIN);
}

TEST(DbEngine, WritesStoreTextAndNumbersExactly) {
    ProgramFolder f;
    const QString tricky = QStringLiteral("O'Brien \"the\" ; DROP TABLE Categories; -- \u00e9\u4e2d\n2nd line");
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
    rs->AddNew();
    rs->Fields(QStringLiteral("IDRoster")).SetLong(INT32_MAX);
    rs->Fields(QStringLiteral("IDCreature")).SetLong(INT32_MIN);
    rs->Fields(QStringLiteral("Probability")).SetInteger(-32768);
    rs->Update();
    rs->Close();
    rs = db->OpenRecordset(QStringLiteral("Categories"), dbOpenDynaset);
    rs->AddNew();
    rs->Fields(QStringLiteral("Name")).SetText(tricky);
    rs->Update();
    rs->AddNew();
    rs->Fields(QStringLiteral("Name")).SetText(QString());
    rs->Update();
    rs->FindFirst(QStringLiteral("IDCategory = 1"));
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields(QStringLiteral("Name")).Value().toText(), tricky);
    rs->Close();
    db->Close();
    EXPECT_EQ(f.Query(QStringLiteral("SELECT IDRoster, IDCreature, Probability FROM RosterList")).value(0),
              (QVariantList{qint64(INT32_MAX), qint64(INT32_MIN), qint64(-32768)}));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Categories WHERE IDCategory = 1")).toString(), tricky);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT quote(Name) FROM Categories WHERE IDCategory = 2")).toString(), QStringLiteral("''"));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Categories")).toInt(), 2);
}

TEST(DbEngine, KeysAreNumberedByTheEngineAndNeverReused) {
    ProgramFolder f;
    f.AddCategory(QStringLiteral("one"));
    const qint64 two = f.AddCategory(QStringLiteral("two"));
    f.Exec(QStringLiteral("DELETE FROM Categories WHERE IDCategory = ?1"), {two});
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("Categories"), dbOpenDynaset);
    rs->AddNew();
    rs->Fields(QStringLiteral("Name")).SetText(QStringLiteral("three"));
    rs->Update();
    rs->Close();
    db->Close();
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT IDCategory FROM Categories WHERE Name = 'three'")).toLongLong(), two + 1);

    // The numbers run out at 2147483647: the next row is not added.
    f.Exec(QStringLiteral("UPDATE sqlite_sequence SET seq = 2147483647 WHERE name = 'Categories'"));
    // A table without a key of its own may go past it.
    f.Exec(QStringLiteral("INSERT INTO RosterList (rowid, IDRoster, IDCreature, Probability) VALUES (2147483647, 1, 1, 0)"));
    const QByteArray before = f.DatabaseBytes();
    {
        auto db2 = Open(f);
        auto list = db2->OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
        list->AddNew();
        list->Fields(QStringLiteral("IDRoster")).SetLong(2);
        list->Update();
        auto cats = db2->OpenRecordset(QStringLiteral("Categories"), dbOpenDynaset);
        cats->AddNew();
        cats->Fields(QStringLiteral("Name")).SetText(QStringLiteral("four"));
        const DbError e = Fails([&] { cats->Update(); });
        EXPECT_EQ(e.number(), dbErrKeyOutOfRange);
        EXPECT_TRUE(e.description().contains(QLatin1String("2147483648"))) << e.description().toStdString();
        EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Categories")).toInt(), 2);
    }
    EXPECT_EQ(f.DatabaseBytes(), before);
}

TEST(DbEngine, AnEditWritesOnlyWhatChangesAndKeepsTheRestAsStored) {
    ProgramFolder f;
    // Latin-1 bytes ("Kelpie \xe9"), a BLOB, a number in a text-less column.
    const qint64 id = f.Insert(QStringLiteral(
        "INSERT INTO Creatures (IDCategory, Name, Description, Field0, Field1) "
        "VALUES (1, CAST(X'4b656c70696520e9' AS TEXT), X'00ff0d', 'same', NULL)"));
    f.Exec(QStringLiteral("ALTER TABLE Creatures ADD COLUMN Extra"));
    f.Exec(QStringLiteral("UPDATE Creatures SET Extra = 2.5"));
    const auto cell = [&](const char* column) {
        return f.Scalar(QStringLiteral("SELECT typeof(%1) || ':' || hex(%1) FROM Creatures").arg(QLatin1String(column)))
            .toString();
    };
    auto db = Open(f);
    auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
    rs->FindFirst(QStringLiteral("IDCreature = %1").arg(id));
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields(QStringLiteral("Name")).Value().toText(), QStringLiteral("Kelpie \u00e9"));
    rs->Edit();
    for (const char* column : {"Name", "Description", "Field0", "Extra"})
        rs->Fields(QLatin1String(column)).SetText(rs->Fields(QLatin1String(column)).Value().toText());
    rs->Fields(QStringLiteral("Field1")).SetText(QStringLiteral("for a moment"));
    rs->Fields(QStringLiteral("Field1")).SetNull();
    rs->Fields(QStringLiteral("Field2")).SetText(QStringLiteral("new"));
    rs->Update();
    rs->Close();
    db->Close();
    EXPECT_EQ(cell("Name"), QStringLiteral("text:4B656C70696520E9"));
    EXPECT_EQ(cell("Description"), QStringLiteral("blob:00FF0D"));
    EXPECT_EQ(cell("Field0"), QStringLiteral("text:") + QLatin1String(QByteArray("same").toHex().toUpper()));
    EXPECT_EQ(cell("Extra"), QStringLiteral("real:") + QLatin1String(QByteArray("2.5").toHex().toUpper()));
    EXPECT_EQ(cell("Field1"), QStringLiteral("null:"));
    EXPECT_EQ(cell("Field2"), QStringLiteral("text:6E6577"));
}

TEST(DbEngine, SnapshotsAreReadOnlyAndEditsNeedARow) {
    ProgramFolder f;
    f.AddCategory(QStringLiteral("x"));
    auto db = Open(f);
    auto snap = db->OpenRecordset(QStringLiteral("Categories"), dbOpenSnapshot);
    EXPECT_EQ(Fails([&] { snap->Edit(); }).number(), dbErrReadOnly);
    EXPECT_EQ(Fails([&] { snap->AddNew(); }).number(), dbErrReadOnly);
    EXPECT_EQ(Fails([&] { snap->Delete(); }).number(), dbErrReadOnly);
    auto dyn = db->OpenRecordset(QStringLiteral("Categories"), dbOpenDynaset);
    EXPECT_EQ(Fails([&] { dyn->Update(); }).number(), dbErrUpdateWithoutEdit);
    EXPECT_EQ(Fails([&] { dyn->Fields(QStringLiteral("Name")).SetText(QStringLiteral("y")); }).number(),
              dbErrUpdateWithoutEdit);
    dyn->FindFirst(QStringLiteral("IDCategory = 5"));
    EXPECT_TRUE(dyn->NoMatch());
    dyn->Close();
    EXPECT_EQ(Fails([&] { dyn->MoveFirst(); }).number(), dbErrObjectClosed);
}

TEST(DbEngine, AnOperationIsOneTransaction) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("keep"));
    f.AddCreature(cat, QStringLiteral("a"));
    const QByteArray before = f.DatabaseBytes();
    {
        auto db = Open(f);
        auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
        rs->FindFirst(QStringLiteral("IDCategory = %1").arg(cat));
        rs->Delete();
        rs->AddNew();
        rs->Fields(QStringLiteral("Name")).SetText(QStringLiteral("b"));
        rs->Update();
        // Destroyed without Close(): everything is rolled back.
    }
    EXPECT_EQ(f.DatabaseBytes(), before);
    {
        auto db = Open(f);
        auto rs = db->OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
        rs->AddNew();
        rs->Fields(QStringLiteral("Name")).SetText(QStringLiteral("b"));
        rs->Update();
        rs.reset();
        db->Close();
    }
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures")).toInt(), 2);
}

TEST(DbEngine, ASiblingsLockIsWaitedForThenReported) {
    ProgramFolder f;
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(f.databasePath()).constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    // Released soon: the operation waits for it and goes on.
    std::thread release([&] {
        QThread::msleep(300);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    {
        auto db = Open(f);
        auto rs = db->OpenRecordset(QStringLiteral("Categories"), dbOpenDynaset);
        rs->AddNew();
        rs->Fields(QStringLiteral("Name")).SetText(QStringLiteral("after the wait"));
        rs->Update();
        rs.reset();
        db->Close();
    }
    release.join();
    // Held for good: the operation fails with a description of its own.
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    auto db = Open(f);
    const DbError e = Fails([&] { db->OpenRecordset(QStringLiteral("Categories"), dbOpenDynaset); });
    EXPECT_EQ(e.number(), SQLITE_BUSY);
    EXPECT_FALSE(e.description().isEmpty());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Categories")).toInt(), 1);
}
