// List loaders, record load and save, and the record operations, on real files.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>

#include "support/msgbox_recorder.h"
#include "support/program_folder.h"
#include "support/store_controls.h"

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { MsgBoxRecorder::clear(); }
    QStringList Titles() const { return MsgBoxRecorder::titles(); }
};

QString Col(const ProgramFolder& f, qint64 creature, const QString& column) {
    return f.Scalar(QStringLiteral("SELECT quote(%1) FROM Creatures WHERE IDCreature = ?1").arg(column), {creature})
        .toString();
}

}  // namespace

TEST_F(StoreTest, LoadersListEveryRowOnceWithItsIdAndSelectNothing) {
    ProgramFolder f;
    StoreControls c(f.dir());
    LoadCategories(c.ctx, c.lstCategory);
    LoadRosters(c.ctx, c.lstRoster);
    EXPECT_EQ(c.lstCategory->ListCount(), 0);
    EXPECT_EQ(c.lstRoster->ListCount(), 0);

    const qint64 b = f.AddCategory(QStringLiteral("beasts"));
    const qint64 a = f.AddCategory(QStringLiteral("Apes"));
    f.AddRoster(QStringLiteral("Zed"));
    f.AddRoster(QStringLiteral("Alpha"));
    const qint64 x = f.AddCreature(a, QStringLiteral("orc"));
    const qint64 y = f.AddCreature(a, QStringLiteral("Bat"));
    f.AddCreature(b, QStringLiteral("other"));
    for (int twice = 0; twice < 2; ++twice) {
        LoadCategories(c.ctx, c.lstCategory);
        LoadRosters(c.ctx, c.lstRoster);
        LoadCreatures(c.ctx, qint32(a), c.lstCreature, *std::make_unique<CreatureSheet>(c.sheet()));
    }
    EXPECT_EQ(StoreControls::Items(c.lstCategory), (QStringList{"Apes", "beasts"}));
    EXPECT_EQ(c.lstCategory->ItemData(0), a);
    EXPECT_EQ(c.lstCategory->ItemData(1), b);
    EXPECT_EQ(StoreControls::Items(c.lstRoster), (QStringList{"Zed", "Alpha"}));   // in stored order
    EXPECT_EQ(StoreControls::Items(c.lstCreature), (QStringList{"Bat", "orc"}));
    EXPECT_EQ(c.lstCreature->ItemData(0), y);
    EXPECT_EQ(c.lstCreature->ItemData(1), x);
    for (ListBox* l : {c.lstCategory, c.lstRoster, c.lstCreature}) EXPECT_EQ(l->ListIndex(), -1);
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(StoreTest, LoadCreaturesEmptiesTheSheetEvenForAnUnknownCategory) {
    ProgramFolder f(ProgramFolder::Content::Sample);
    StoreControls c(f.dir());
    auto sheet = c.sheet();
    for (TextBox* t : c.txtStatText) t->setText(QStringLiteral("old"));
    c.lblName->setCaption(QStringLiteral("old"));
    c.m_sPicturePath = QStringLiteral("/old.bmp");
    c.picPicture->setPicture(QImage(4, 4, QImage::Format_RGB32));
    c.lblNoPicAvail->setVisible(false);
    c.m_sheetRecord = SheetRecord{true, 3};
    LoadCreatures(c.ctx, 987654, c.lstCreature, sheet);
    EXPECT_EQ(c.lstCreature->ListCount(), 0);
    EXPECT_EQ(c.StatTexts(), QStringList(21, QString()));
    EXPECT_EQ(c.lblName->caption(), QString());
    EXPECT_EQ(c.m_sPicturePath, QString());
    EXPECT_FALSE(c.picPicture->hasPicture());
    EXPECT_FALSE(c.lblNoPicAvail->isHidden());
    EXPECT_FALSE(c.m_sheetRecord.bLoaded);
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(StoreTest, ANullNameStopsALoaderAtThatRow) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("one"));
    f.AddCategory(QStringLiteral("two"));
    f.Exec(QStringLiteral("INSERT INTO Categories (Name) VALUES (NULL)"));
    f.AddCategory(QStringLiteral("four"));
    f.AddCreature(cat, QStringLiteral("first"));
    f.Exec(QStringLiteral("INSERT INTO Creatures (IDCategory, Name) VALUES (?1, NULL)"), {cat});
    f.AddCreature(cat, QStringLiteral("never"));
    StoreControls c(f.dir());
    LoadCategories(c.ctx, c.lstCategory);
    EXPECT_EQ(StoreControls::Items(c.lstCategory), (QStringList{"one", "two"}));
    EXPECT_EQ(Titles(), QStringList{"Error Loading Categories from Database"});
    EXPECT_EQ(MsgBoxRecorder::shown().at(0).prompt, QStringLiteral("Error: Invalid use of Null"));

    MsgBoxRecorder::clear();
    auto sheet = c.sheet();
    LoadCreatures(c.ctx, qint32(cat), c.lstCreature, sheet);
    EXPECT_EQ(Titles(), QStringList{"Error Loading Creatures from Database"});
    EXPECT_EQ(StoreControls::Items(c.lstCreature), QStringList{"first"});
}

TEST_F(StoreTest, AMissingFileFailsEveryOperationUnderItsOwnTitle) {
    ProgramFolder f(ProgramFolder::Content::NoDatabase);
    StoreControls c(f.dir());
    c.lstCategory->AddItem(QStringLiteral("c"));
    c.lstCreature->AddItem(QStringLiteral("x"));
    c.lstCreature->setListIndex(0);
    c.m_sheetRecord = SheetRecord{true, 0};
    c.lstRoster->AddItem(QStringLiteral("r"));
    c.lstRoster->setListIndex(0);
    c.lstCategory->setListIndex(0);
    auto sheet = c.sheet();
    auto roster = c.roster();
    auto panel = c.panel();
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    AddCreature(c.ctx, QStringLiteral("n"), c.lstCategory);
    DeleteCreature(c.ctx, 1, roster, panel);   // no roster open: no reload
    ChangeCreatureName(c.ctx, QStringLiteral("n"), 1);
    ChangeCategoryName(c.ctx, QStringLiteral("n"), 1);
    DeleteCategory(c.ctx, 1, roster, panel);
    AddCategory(c.ctx, QStringLiteral("n"));
    ChangeCreatureCategory(c.ctx, 1, 1);
    EXPECT_EQ(GetCreatureCategoryID(c.ctx, 1), -1);
    AddRoster(c.ctx, QStringLiteral("n"));
    DeleteRoster(c.ctx, 1);
    LoadRoster(c.ctx, 1, roster, panel);
    SaveRoster(c.ctx, roster, c.lstRoster);
    LoadCreatureInfo(c.ctx, 1, sheet);
    LoadCategories(c.ctx, c.lstCategory);
    LoadRosters(c.ctx, c.lstRoster);
    LoadCreatures(c.ctx, 1, c.lstCreature, sheet);
    EXPECT_EQ(Titles(), (QStringList{
                            "Error Saving Creature Information to Database",
                            "Error Adding New Creature to Database",
                            "Error Deleting Creature from Database",
                            "Error Changing Creature Name in Database",
                            "Error Changing Category Name in Database",
                            "Error Deleting Category from Database",
                            "Error Adding New Category to Database",
                            "Error Changing Creature Category in Database",
                            "Error Retrieving Creature Category ID from Database",
                            "Error Adding New Roster to Database",
                            "Error Deleting Roster from Database",
                            "Error Loading Roster from Database",
                            "Error Saving Roster to Database",
                            "Error Loading Creature Information from Database",
                            "Error Loading Categories from Database",
                            "Error Loading Rosters from Database",
                            "Error Loading Creatures from Database",
                        }));
    for (const auto& box : MsgBoxRecorder::shown())
        EXPECT_EQ(box.prompt, QStringLiteral("Error: Could not find file '%1'.").arg(f.databasePath()));
    EXPECT_EQ(c.lstCategory->ListCount() + c.lstRoster->ListCount() + c.lstCreature->ListCount(), 0);
    EXPECT_FALSE(QFile::exists(f.databasePath()));
}

TEST_F(StoreTest, RecordLoadAndSaveKeepField10AndFillEmptyColumns) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("c"));
    const qint64 id = f.AddCreature(cat, QStringLiteral("Newt"));
    StoreControls c(f.dir());
    auto sheet = c.sheet();
    LoadCreatures(c.ctx, qint32(cat), c.lstCreature, sheet);
    c.lstCreature->setListIndex(0);
    LoadCreatureInfo(c.ctx, qint32(id), sheet);
    EXPECT_EQ(c.StatTexts(), QStringList(21, QString()));
    EXPECT_EQ(c.lblName->caption(), QStringLiteral("Newt"));
    EXPECT_EQ(c.m_sPicturePath, QString());
    EXPECT_FALSE(c.picPicture->hasPicture());
    EXPECT_TRUE(Titles().isEmpty());

    // A save stores "" in every statistic, the description and the picture; Field10 is never written.
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(Col(f, id, QStringLiteral("Field%1").arg(i)), i == 10 ? QStringLiteral("NULL") : QStringLiteral("''"));
    EXPECT_EQ(Col(f, id, QStringLiteral("Description")), QStringLiteral("''"));
    EXPECT_EQ(Col(f, id, QStringLiteral("Picture")), QStringLiteral("''"));

    f.Exec(QStringLiteral("UPDATE Creatures SET Field10 = 'hidden', Description = 'shown', Field3 = 'three'"));
    LoadCreatureInfo(c.ctx, qint32(id), sheet);
    EXPECT_EQ(c.txtStatText[10]->text(), QStringLiteral("shown"));
    EXPECT_EQ(c.txtStatText[3]->text(), QStringLiteral("three"));
    c.txtStatText[10]->setText(QStringLiteral("new description"));
    c.txtStatText[20]->setText(QStringLiteral("Origin 'x'; \"y\""));
    c.lblName->setCaption(QStringLiteral("Newt Prime"));
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    EXPECT_EQ(Col(f, id, QStringLiteral("Field10")), QStringLiteral("'hidden'"));
    EXPECT_EQ(Col(f, id, QStringLiteral("Description")), QStringLiteral("'new description'"));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Field20 FROM Creatures")).toString(), QStringLiteral("Origin 'x'; \"y\""));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Creatures")).toString(), QStringLiteral("Newt Prime"));
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(StoreTest, SavesNeverWriteOneCreaturesSheetIntoAnothersRow) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("c"));
    const qint64 a = f.AddCreature(cat, QStringLiteral("A"));
    const qint64 b = f.AddCreature(cat, QStringLiteral("B"));
    f.Exec(QStringLiteral("UPDATE Creatures SET Field0 = Name || '-stat'"));
    StoreControls c(f.dir());
    auto sheet = c.sheet();
    LoadCreatures(c.ctx, qint32(cat), c.lstCreature, sheet);
    c.lstCreature->setListIndex(0);
    LoadCreatureInfo(c.ctx, qint32(a), sheet);
    ASSERT_EQ(c.txtStatText[0]->text(), QStringLiteral("A-stat"));

    // No creature selected: nothing is opened or written.
    c.lstCreature->setListIndex(-1);
    const QByteArray before = f.DatabaseBytes();
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    EXPECT_EQ(f.DatabaseBytes(), before);

    // B's row loses a column the load needs: the load fails, the sheet is
    // emptied, and a save while B is selected writes nothing into B's row.
    c.lstCreature->setListIndex(1);
    f.Exec(QStringLiteral("ALTER TABLE Creatures RENAME COLUMN Field15 TO Field15x"));
    LoadCreatureInfo(c.ctx, qint32(b), sheet);
    EXPECT_EQ(Titles(), QStringList{"Error Loading Creature Information from Database"});
    EXPECT_EQ(c.txtStatText[0]->text(), QString());
    EXPECT_EQ(c.lblName->caption(), QString());
    f.Exec(QStringLiteral("ALTER TABLE Creatures RENAME COLUMN Field15x TO Field15"));
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Field0 || Name FROM Creatures WHERE IDCreature = ?1"), {b}).toString(),
              QStringLiteral("B-statB"));

    // A vanished row: the sheet keeps what it showed, silently; a save stores nothing.
    MsgBoxRecorder::clear();
    LoadCreatureInfo(c.ctx, qint32(a), sheet);
    c.lstCreature->setListIndex(0);
    f.Exec(QStringLiteral("DELETE FROM Creatures WHERE IDCreature = ?1"), {a});
    LoadCreatureInfo(c.ctx, qint32(a), sheet);
    EXPECT_EQ(c.lblName->caption(), QStringLiteral("A"));
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures")).toInt(), 1);
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(StoreTest, ANullNameEmptiesTheNameLabel) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("c"));
    const qint64 a = f.AddCreature(cat, QStringLiteral("A"));
    f.Exec(QStringLiteral("UPDATE Creatures SET Name = NULL"));
    StoreControls c(f.dir());
    auto sheet = c.sheet();
    c.lblName->setCaption(QStringLiteral("Previous creature"));
    LoadCreatureInfo(c.ctx, qint32(a), sheet);
    EXPECT_EQ(c.lblName->caption(), QString());
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(StoreTest, PicturesLoadWithTheRecordAndFailuresKeepThePath) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("c"));
    const qint64 a = f.AddCreature(cat, QStringLiteral("A"));
    const QString bmp = f.dir() + QStringLiteral("/pic.bmp");
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(bmp, "BMP"));
    f.Exec(QStringLiteral("UPDATE Creatures SET Picture = ?1, Field1 = 'one'"), {bmp});
    StoreControls c(f.dir());
    auto sheet = c.sheet();
    LoadCreatures(c.ctx, qint32(cat), c.lstCreature, sheet);
    c.lstCreature->setListIndex(0);
    LoadCreatureInfo(c.ctx, qint32(a), sheet);
    EXPECT_TRUE(c.picPicture->hasPicture());
    EXPECT_EQ(c.m_sPicturePath, bmp);
    EXPECT_TRUE(Titles().isEmpty());

    const QString missing = f.dir() + QStringLiteral("/gone.jpg");
    f.Exec(QStringLiteral("UPDATE Creatures SET Picture = ?1"), {missing});
    LoadCreatureInfo(c.ctx, qint32(a), sheet);
    EXPECT_EQ(Titles(), QStringList{"Error Loading Creature Information from Database"});
    EXPECT_EQ(c.txtStatText[1]->text(), QStringLiteral("one"));
    EXPECT_EQ(c.m_sPicturePath, missing);
    EXPECT_FALSE(c.picPicture->hasPicture());
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Picture FROM Creatures")).toString(), missing);
}

TEST_F(StoreTest, RecordOperationsStoreNamesExactlyAndIgnoreUnknownIds) {
    ProgramFolder f;
    StoreControls c(f.dir());
    const QString tricky = QStringLiteral("Ol' \"Grim\"; DELETE FROM Creatures; --");
    AddCategory(c.ctx, tricky);
    AddRoster(c.ctx, tricky);
    LoadCategories(c.ctx, c.lstCategory);
    ASSERT_EQ(StoreControls::Items(c.lstCategory), QStringList{tricky});
    c.lstCategory->setListIndex(0);
    AddCreature(c.ctx, tricky, c.lstCategory);
    AddCreature(c.ctx, QStringLiteral("  spaced  "), c.lstCategory);
    const qint32 cat = c.lstCategory->ItemData(0);
    EXPECT_EQ(f.Query(QStringLiteral("SELECT Name, IDCategory FROM Creatures ORDER BY IDCreature")),
              (QList<QVariantList>{{tricky, qint64(cat)}, {QStringLiteral("  spaced  "), qint64(cat)}}));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Rosters")).toString(), tricky);

    const qint64 other = f.AddCategory(QStringLiteral("other"));
    ChangeCreatureCategory(c.ctx, 1, qint32(other));
    EXPECT_EQ(GetCreatureCategoryID(c.ctx, 1), other);
    EXPECT_EQ(GetCreatureCategoryID(c.ctx, 2), cat);
    ChangeCreatureName(c.ctx, QStringLiteral("a;b'c\"d"), 2);
    ChangeCategoryName(c.ctx, QStringLiteral("x'y"), qint32(other));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Creatures WHERE IDCreature = 2")).toString(), QStringLiteral("a;b'c\"d"));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Categories WHERE IDCategory = ?1"), {other}).toString(), QStringLiteral("x'y"));

    const QByteArray before = f.DatabaseBytes();
    ChangeCreatureName(c.ctx, QStringLiteral("nobody"), 999);
    ChangeCategoryName(c.ctx, QStringLiteral("nobody"), 999);
    ChangeCreatureCategory(c.ctx, 999, 1);
    EXPECT_EQ(GetCreatureCategoryID(c.ctx, 999), -1);
    EXPECT_EQ(f.DatabaseBytes(), before);
    EXPECT_TRUE(Titles().isEmpty());

    // No category selected: the new creature is not added.
    c.lstCategory->setListIndex(-1);
    AddCreature(c.ctx, QStringLiteral("orphan"), c.lstCategory);
    EXPECT_EQ(Titles(), QStringList{"Error Adding New Creature to Database"});
    EXPECT_EQ(f.DatabaseBytes(), before);

    // A creature whose category is Null: the look-up reports it and gives -1.
    MsgBoxRecorder::clear();
    f.Exec(QStringLiteral("UPDATE Creatures SET IDCategory = NULL WHERE IDCreature = 2"));
    EXPECT_EQ(GetCreatureCategoryID(c.ctx, 2), -1);
    EXPECT_EQ(Titles(), QStringList{"Error Retrieving Creature Category ID from Database"});

    // No key beyond 32 bits: the new creature is refused with its own box and the file stays as it was.
    MsgBoxRecorder::clear();
    f.Exec(QStringLiteral("UPDATE sqlite_sequence SET seq = 2147483647 WHERE name = 'Creatures'"));
    c.lstCategory->setListIndex(0);
    const QByteArray full = f.DatabaseBytes();
    AddCreature(c.ctx, QStringLiteral("one too many"), c.lstCategory);
    EXPECT_EQ(Titles(), QStringList{"Error Adding New Creature to Database"});
    ASSERT_EQ(MsgBoxRecorder::shown().size(), 1u);
    EXPECT_TRUE(MsgBoxRecorder::shown().front().prompt.startsWith(QLatin1String("Error: No new row can be added to 'Creatures'")));
    EXPECT_EQ(f.DatabaseBytes(), full);
}

TEST_F(StoreTest, DeletionsCascadeAndAFailedOneLeavesTheFileAsItWas) {
    ProgramFolder f;
    const qint64 cat = f.AddCategory(QStringLiteral("c"));
    const qint64 empty = f.AddCategory(QStringLiteral("empty"));
    const qint64 x = f.AddCreature(cat, QStringLiteral("x"));
    const qint64 y = f.AddCreature(cat, QStringLiteral("y"));
    const qint64 r1 = f.AddRoster(QStringLiteral("r1")), r2 = f.AddRoster(QStringLiteral("r2"));
    for (qint64 id : {x, y, x}) f.AddRosterEntry(r1, id);
    f.AddRosterEntry(r2, x);
    f.AddRosterEntry(r2, y);
    StoreControls c(f.dir());
    auto roster = c.roster();
    auto panel = c.panel();

    // A failure part-way (the creature row refuses to go) rolls back the roster rows too.
    f.Exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON Creatures BEGIN SELECT RAISE(ABORT, 'kept by a trigger'); END"));
    const QByteArray before = f.DatabaseBytes();
    DeleteCreature(c.ctx, qint32(x), roster, panel);
    EXPECT_EQ(Titles(), QStringList{"Error Deleting Creature from Database"});
    EXPECT_EQ(MsgBoxRecorder::shown().at(0).prompt, QStringLiteral("Error: kept by a trigger"));
    EXPECT_EQ(f.DatabaseBytes(), before);
    f.Exec(QStringLiteral("DROP TRIGGER keep"));
    MsgBoxRecorder::clear();

    DeleteCreature(c.ctx, qint32(x), roster, panel);
    EXPECT_EQ(f.RosterEntries(r1), QList<qint64>{y});
    EXPECT_EQ(f.RosterEntries(r2), QList<qint64>{y});
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures")).toInt(), 1);

    // A category's deletion takes its creatures' roster rows with it, all or nothing.
    f.Exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON Categories BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    const QByteArray withCategory = f.DatabaseBytes();
    DeleteCategory(c.ctx, qint32(cat), roster, panel);
    EXPECT_EQ(Titles(), QStringList{"Error Deleting Category from Database"});
    EXPECT_EQ(f.DatabaseBytes(), withCategory);
    f.Exec(QStringLiteral("DROP TRIGGER keep"));
    MsgBoxRecorder::clear();
    DeleteCategory(c.ctx, qint32(cat), roster, panel);
    DeleteCategory(c.ctx, qint32(empty), roster, panel);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures")).toInt(), 0);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Categories")).toInt(), 0);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM RosterList")).toInt(), 0);

    DeleteRoster(c.ctx, qint32(r1));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT group_concat(Name) FROM Rosters")).toString(), QStringLiteral("r2"));
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(StoreTest, AFileMadeByHandWithTheCommandLineToolWorks) {
    ProgramFolder f(ProgramFolder::Content::NoDatabase);
    QString ddl = QStringLiteral(
        "CREATE TABLE Categories (IDCategory INTEGER PRIMARY KEY, Name TEXT);"
        "CREATE TABLE Rosters (IDRoster INTEGER PRIMARY KEY, Name TEXT);"
        "CREATE TABLE RosterList (IDRoster INTEGER, IDCreature INTEGER, Probability SMALLINT);"
        "CREATE TABLE Creatures (IDCreature INTEGER PRIMARY KEY, IDCategory INTEGER, Name TEXT, Description TEXT, Picture TEXT");
    for (int i = 0; i <= 20; ++i) ddl += QStringLiteral(", Field%1 VARCHAR(50)").arg(i);
    ddl += QStringLiteral(");");
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {f.databasePath(), ddl});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) GTEST_SKIP() << "the sqlite3 command-line tool is not available";

    StoreControls c(f.dir());
    auto sheet = c.sheet();
    auto roster = c.roster();
    auto panel = c.panel();
    AddCategory(c.ctx, QStringLiteral("Hand"));
    AddRoster(c.ctx, QStringLiteral("R"));
    LoadCategories(c.ctx, c.lstCategory);
    LoadRosters(c.ctx, c.lstRoster);
    c.lstCategory->setListIndex(0);
    AddCreature(c.ctx, QStringLiteral("Made"), c.lstCategory);
    AddCreature(c.ctx, QStringLiteral("Other"), c.lstCategory);
    LoadCreatures(c.ctx, c.lstCategory->ItemData(0), c.lstCreature, sheet);
    ASSERT_EQ(StoreControls::Items(c.lstCreature), (QStringList{"Made", "Other"}));
    c.lstCreature->setListIndex(0);
    const qint32 made = c.lstCreature->ItemData(0);
    LoadCreatureInfo(c.ctx, made, sheet);
    c.txtStatText[4]->setText(QStringLiteral("four"));
    SaveCreatureInfo(c.ctx, c.lstCreature, sheet);
    c.lstRoster->setListIndex(0);
    c.lblRosterCurrent->setCaption(QStringLiteral("R"));
    LoadRoster(c.ctx, c.lstRoster->ItemData(0), roster, panel);
    c.m_asRosterName = QStringList{"Made", "Other"};
    c.m_alRosterCreatureID = QList<qint32>{made, c.lstCreature->ItemData(1)};
    c.m_nRosterCount = 2;
    SaveRoster(c.ctx, roster, c.lstRoster);
    ChangeCreatureName(c.ctx, QStringLiteral("Renamed"), made);
    EXPECT_EQ(GetCreatureCategoryID(c.ctx, made), c.lstCategory->ItemData(0));
    DeleteCreature(c.ctx, made, roster, panel);
    EXPECT_EQ(c.m_nRosterCount, 1);
    EXPECT_EQ(c.m_asRosterName, QStringList{"Other"});

    // Plain INTEGER PRIMARY KEY: SQLite numbers a new row one past the highest
    // left, so deleted numbers come back. The category's deletion takes Other's
    // roster entry with it (and out of the open roster), so the newcomer that
    // gets Other's number stands in no roster.
    const qint32 other = c.lstCreature->ItemData(1);
    DeleteCategory(c.ctx, c.lstCategory->ItemData(0), roster, panel);
    EXPECT_EQ(c.m_nRosterCount, 0);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM RosterList")).toInt(), 0);
    AddCategory(c.ctx, QStringLiteral("Later"));
    LoadCategories(c.ctx, c.lstCategory);
    c.lstCategory->setListIndex(0);
    AddCreature(c.ctx, QStringLiteral("First"), c.lstCategory);
    AddCreature(c.ctx, QStringLiteral("Newcomer"), c.lstCategory);
    ASSERT_EQ(f.Scalar(QStringLiteral("SELECT IDCreature FROM Creatures WHERE Name = 'Newcomer'")).toInt(), other);
    SaveRoster(c.ctx, roster, c.lstRoster);   // the open roster, as any change of it stores it
    LoadRoster(c.ctx, c.lstRoster->ItemData(0), roster, panel);
    EXPECT_EQ(c.m_nRosterCount, 0);
    DeleteRoster(c.ctx, c.lstRoster->ItemData(0));
    DeleteCategory(c.ctx, c.lstCategory->ItemData(0), roster, panel);
    EXPECT_TRUE(Titles().isEmpty()) << Titles().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT (SELECT count(*) FROM Creatures) + (SELECT count(*) FROM Categories) + "
                                      "(SELECT count(*) FROM Rosters) + (SELECT count(*) FROM RosterList)")).toInt(), 0);
}
