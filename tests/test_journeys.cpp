// A user's journeys through the whole program: each starts the program as its
// executable starts it, on a fresh program folder, drives it only by mouse and
// keys on its windows and dialogs, and checks the database file with plain SQL
// and the label file byte for byte.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include "platform/file_chooser.h"
#include "support/file_access.h"
#include "support/main_window_fixture.h"
#include "support/msgbox_recorder.h"

namespace {

using Rows = QList<QVariantList>;

class Journeys : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        QFile::remove(MailboxPath());
    }
    void TearDown() override {
        QFile::remove(MailboxPath());
        MainWindowFixture::TearDown();
    }

    // ---- the user's hand
    // Clicks New of a row (0 creature, 1 category, 2 roster) and types the name.
    void New(int row, const QString& name) {
        AnswerInputBox(name);
        Click(w()->imgNew[size_t(row)]);
    }
    // Types over the whole text of a statistic box: a click moves the focus
    // into it unless it has the focus already, and entering a box selects its text.
    void Fill(int i, const QString& text) {
        TextBox* box = w()->txtStatText[size_t(i)];
        ASSERT_TRUE(box->isVisible()) << "box " << i << " is not on the page shown";
        QWidget* focus = QApplication::focusWidget();
        if (!focus || (focus != box && !box->isAncestorOf(focus))) Click(box);
        Type(box, text);
    }
    // Shows the picture page and double-clicks the picture (or its notice);
    // the file chooser, which stands in for the system's file dialog, answers
    // with the file. (That dialog reads folders on a thread of its own, so
    // typed answers race with it offscreen.)
    void ChoosePictureOnThePicturePage(const QString& path) {
        Click(w()->imgPicture);
        SetFileChooser([path](QWidget*, const QString&) { return std::optional<QString>(path); });
        DoubleClick(w()->lblNoPicAvail->isVisible() ? static_cast<QWidget*>(w()->lblNoPicAvail)
                                                    : static_cast<QWidget*>(w()->picPicture));
    }
    void SendMessageKey() { PressKey(Qt::Key_F8, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier); }
    // Brings up the corner buttons, clicks Exit and lets the program end.
    void Exit() {
        const int before = EndProgramCalls();
        QTest::mouseMove(w(), QPoint(600, 420));
        QApplication::processEvents();
        Click(w()->imgExit);
        EXPECT_EQ(EndProgramCalls(), before + 1);
        DestroyMainWindow();
    }

    // ---- what the window shows
    static QString Selected(const ListBox* l) { return l->ListIndex() < 0 ? QString() : l->List(l->ListIndex()); }
    static QStringList Items(const ListBox* l) {
        QStringList items;
        for (int i = 0; i < l->ListCount(); ++i) items << l->List(i);
        return items;
    }
    QStringList RosterLines() const {
        QStringList lines;
        for (Label* line : w()->lblRosterEntry)
            if (!line->caption().isEmpty()) lines << line->caption();
        return lines;
    }

    // ---- the files, read as any other program would
    Rows Sql(const QString& sql, std::initializer_list<QVariant> params = {}) { return Folder().Query(sql, params); }
    QVariant Value(const QString& sql, std::initializer_list<QVariant> params = {}) {
        return Folder().Scalar(sql, params);
    }
    qint64 CreatureID(const QString& name) {
        return Value("SELECT IDCreature FROM Creatures WHERE Name = ?1", {name}).toLongLong();
    }
    qint64 CategoryID(const QString& name) {
        return Value("SELECT IDCategory FROM Categories WHERE Name = ?1", {name}).toLongLong();
    }
    QString Column(const QString& creature, const char* column) {
        return Value(QStringLiteral("SELECT %1 FROM Creatures WHERE Name = ?1").arg(QLatin1String(column)), {creature})
            .toString();
    }
    QStringList CreaturesOf(const QString& category) {
        QStringList names;
        for (const QVariantList& r : Sql("SELECT Name FROM Creatures WHERE IDCategory = ?1 ORDER BY Name",
                                         {CategoryID(category)}))
            names << r.value(0).toString();
        return names;
    }
    QStringList RosterNames(const QString& roster) {
        QStringList names;
        for (const QVariantList& r : Sql("SELECT c.Name FROM RosterList l JOIN Rosters r ON r.IDRoster = l.IDRoster "
                                         "JOIN Creatures c ON c.IDCreature = l.IDCreature WHERE r.Name = ?1 "
                                         "ORDER BY l.rowid",
                                         {roster}))
            names << r.value(0).toString();
        return names;
    }
    // Every row of every table, in stored order.
    QList<Rows> Everything() {
        QList<Rows> all;
        for (const char* table : {"Categories", "Creatures", "Rosters", "RosterList"})
            all << Folder().Query(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        return all;
    }

    // ---- files of the user's own
    QString UserFile(const QString& name) { return m_userFiles.path() + QLatin1Char('/') + name; }
    QString Jpeg(const QString& name) {
        QImage img(120, 90, QImage::Format_RGB32);
        img.fill(QColor(160, 60, 30));
        const QString path = UserFile(name);
        EXPECT_TRUE(img.save(path, "JPEG"));
        return path;
    }

    // ---- the sibling programs' mailbox, written as a sibling writes it
    static QString MailboxPath() { return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenmarrow.ini"); }
    static void PostMessage(const QByteArray& text) {
        QDir().mkpath(QFileInfo(MailboxPath()).path());
        WriteBytes(MailboxPath(), "[Communications]\nMessage=" + text + "\n");
    }
    static bool MessagePending() { return ReadBytes(MailboxPath()).contains("Message="); }

    QTemporaryDir m_userFiles;
};

TEST_F(Journeys, AFirstEveningIsAllThereAtTheNextStart) {
    UseFolder(ProgramFolder::Content::Sample);
    const QByteArray cfgBefore = ReadBytes(Folder().cfgPath());
    const int nCreaturesBefore = Value("SELECT count(*) FROM Creatures").toInt();
    const QString drakePicture = Jpeg(QStringLiteral("ash drake.jpg"));
    const QString drake = QStringLiteral("Ash \"Old Smoky\" Drake; the 'Grey'");
    const QString description = QStringLiteral("Breathes ash; hates rain.");

    LaunchProgram();
    EXPECT_EQ(Selected(w()->lstCategory), "Deep Waters");

    New(1, QStringLiteral("Cinder Hills"));
    EXPECT_EQ(w()->lblCategory->caption(), "Cinder Hills");
    New(0, drake);
    EXPECT_EQ(w()->lblName->caption(), drake);
    Fill(0, QStringLiteral("Huge"));
    Fill(10, description);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Type(w()->txtStatText[10], QStringLiteral("Lairs in old kilns."));
    Click(w()->imgPage2);
    Fill(11, QStringLiteral("Cinders"));
    Fill(20, QStringLiteral("The Cinder Hills"));
    ChoosePictureOnThePicturePage(drakePicture);
    EXPECT_TRUE(w()->picPicture->hasPicture());

    New(0, QStringLiteral("Cinder Imp"));
    EXPECT_EQ(w()->lblName->caption(), "Cinder Imp");
    Fill(0, QStringLiteral("Tiny"));
    Fill(3, QStringLiteral("2d4"));

    AnswerInputBox(QStringLiteral("Rarity"));
    DoubleClick(w()->lblStatLabel[2]);
    EXPECT_EQ(w()->lblStatLabel[2]->caption(), "Rarity");

    New(2, QStringLiteral("Hill Raid"));
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "Hill Raid");
    Click(w()->imgAdd);
    Pick(0, drake);
    Click(w()->imgAdd);
    EXPECT_EQ(w()->m_nRosterCount, 2);
    Exit();
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();

    // The files hold all of it.
    EXPECT_EQ(CreaturesOf(QStringLiteral("Cinder Hills")), (QStringList{drake, "Cinder Imp"}));
    EXPECT_EQ(Value("SELECT count(*) FROM Creatures").toInt(), nCreaturesBefore + 2);
    EXPECT_EQ(Column(drake, "Field0"), "Huge");
    EXPECT_EQ(Column(drake, "Description"), description + "\r\nLairs in old kilns.");
    EXPECT_EQ(Column(drake, "Field11"), "Cinders");
    EXPECT_EQ(Column(drake, "Field20"), "The Cinder Hills");
    EXPECT_EQ(Column(drake, "Picture"), drakePicture);
    EXPECT_EQ(Column(QStringLiteral("Cinder Imp"), "Field0"), "Tiny");
    EXPECT_EQ(Column(QStringLiteral("Cinder Imp"), "Field3"), "2d4");
    EXPECT_EQ(RosterNames(QStringLiteral("Hill Raid")), (QStringList{drake, "Cinder Imp"}));
    QByteArray cfgExpected = cfgBefore;
    cfgExpected.replace("\"Field2=Frequency\"", "\"Field2=Rarity\"");
    EXPECT_EQ(ReadBytes(Folder().cfgPath()), cfgExpected);

    // The next start shows it all again.
    LaunchProgram();
    Pick(1, QStringLiteral("Cinder Hills"));
    EXPECT_EQ(w()->lblName->caption(), drake);
    EXPECT_EQ(w()->lblStatLabel[2]->caption(), "Rarity");
    EXPECT_EQ(w()->txtStatText[0]->text(), "Huge");
    EXPECT_EQ(w()->txtStatText[10]->text(), description + "\r\nLairs in old kilns.");
    Click(w()->imgPage2);
    EXPECT_EQ(w()->txtStatText[11]->text(), "Cinders");
    Click(w()->imgPicture);
    EXPECT_TRUE(w()->picPicture->hasPicture());
    EXPECT_FALSE(w()->lblNoPicAvail->isVisible());
    Pick(0, QStringLiteral("Cinder Imp"));
    EXPECT_EQ(w()->txtStatText[3]->text(), "2d4");
    Pick(2, QStringLiteral("Hill Raid"));
    EXPECT_EQ(RosterLines().size(), 2);
    EXPECT_EQ(RosterLines().last(), "Cinder Imp");
    Exit();
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();
}

TEST_F(Journeys, AReorganisationUnderTheLock) {
    UseFolder(ProgramFolder::Content::Sample);
    LaunchProgram();

    // Three creatures move house: each is picked, then the lock carries it
    // into the category picked next.
    const auto move = [this](const char* from, const char* creature, const char* to) {
        Pick(1, QString::fromUtf8(from));
        Pick(0, QString::fromUtf8(creature));
        Click(w()->imgLock);
        ASSERT_TRUE(w()->m_bLocked);
        Pick(1, QString::fromUtf8(to));
        Click(w()->imgLock);
        ASSERT_FALSE(w()->m_bLocked);
        EXPECT_EQ(w()->lblCategory->caption(), QString::fromUtf8(to));
    };
    move("Restless Dead", "Bone Hound", "Forest Folk");
    move("Restless Dead", "Weeping Widow", "Deep Waters");
    move("Mountain Dwellers", "Ice Goat", "Restless Dead");

    // A category renamed so that it sorts last stays chosen.
    Pick(1, QStringLiteral("Deep Waters"));
    AnswerInputBox(QStringLiteral("The Drowned Lands"));
    DoubleClick(w()->lblCategory);
    EXPECT_EQ(Selected(w()->lstCategory), "The Drowned Lands");
    EXPECT_EQ(Items(w()->lstCategory).last(), "The Drowned Lands");

    // The category that now holds the goat goes, with its creatures.
    Pick(1, QStringLiteral("Restless Dead"));
    AnswerAreYouSure(true);
    Click(w()->imgDelete[1]);
    EXPECT_EQ(RowOf(w()->lstCategory, QStringLiteral("Restless Dead")), -1);

    // The roster that named the dead shows those that remain, the moved ones too.
    Pick(2, QStringLiteral("Into the Barrows"));
    EXPECT_EQ(RosterLines(),
              (QStringList{"Bone Hound", "Bone Hound", "Weeping Widow", "Bat Swarm", "Fen Lantern", "Bog Hag"}));
    // A double-click on a line shows that creature in its new category.
    DoubleClick(w()->lblRosterEntry[2]);
    EXPECT_EQ(w()->lblName->caption(), "Weeping Widow");
    EXPECT_EQ(w()->lblCategory->caption(), "The Drowned Lands");
    Exit();
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();

    EXPECT_EQ(Value("SELECT count(*) FROM Categories WHERE Name IN ('Restless Dead', 'Deep Waters')").toInt(), 0);
    EXPECT_TRUE(CreaturesOf(QStringLiteral("Forest Folk")).contains("Bone Hound"));
    EXPECT_TRUE(CreaturesOf(QStringLiteral("The Drowned Lands")).contains("Weeping Widow"));
    EXPECT_EQ(CreatureID(QStringLiteral("Ice Goat")), 0);
    EXPECT_EQ(CreatureID(QStringLiteral("Marsh Lich")), 0);
    EXPECT_EQ(CreaturesOf(QStringLiteral("Mountain Dwellers")).size(), 6);
    // The roster's rows of the deleted creatures went with them.
    EXPECT_EQ(RosterNames(QStringLiteral("Into the Barrows")),
              (QStringList{"Bone Hound", "Bone Hound", "Weeping Widow", "Bat Swarm", "Fen Lantern", "Bog Hag"}));
    EXPECT_EQ(Value("SELECT count(*) FROM RosterList l JOIN Rosters r ON r.IDRoster = l.IDRoster "
                    "WHERE r.Name = 'Into the Barrows'")
                  .toInt(),
              6);
}

TEST_F(Journeys, ASiblingProgramAsksForCreatures) {
    UseFolder(ProgramFolder::Content::Sample);
    const qint64 wyrmling = CreatureID(QStringLiteral("Frost Wyrmling"));
    const qint64 kelpie = CreatureID(QStringLiteral("River Kelpie"));
    const qint64 bats = CreatureID(QStringLiteral("Bat Swarm"));
    ASSERT_TRUE(wyrmling && kelpie && bats);

    // Started by a sibling with a creature on the command line: no splash.
    LaunchProgram({QString::number(wyrmling)});
    EXPECT_EQ(w()->lblName->caption(), "Frost Wyrmling");
    EXPECT_EQ(w()->lblCategory->caption(), "Mountain Dwellers");

    // A message while the user is typing: the typing is kept in its creature.
    Fill(0, QStringLiteral("Medium, growing"));
    PostMessage(QByteArray::number(kelpie));
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "River Kelpie");
    EXPECT_EQ(w()->lblCategory->caption(), "Deep Waters");
    EXPECT_FALSE(MessagePending());
    EXPECT_EQ(Column(QStringLiteral("Frost Wyrmling"), "Field0"), "Medium, growing");

    // A message that is no number is taken away and changes nothing.
    PostMessage("the kelpie, please");
    SendMessageKey();
    EXPECT_FALSE(MessagePending());
    EXPECT_EQ(w()->lblName->caption(), "River Kelpie");

    // With the lock on, the creature shown moves to the asked-for one's category.
    Click(w()->imgLock);
    PostMessage(" " + QByteArray::number(bats) + " ");
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Bat Swarm");
    EXPECT_EQ(w()->lblCategory->caption(), "Sky Hunters");
    EXPECT_FALSE(MessagePending());
    SendMessageKey();  // nothing pending: nothing happens
    EXPECT_EQ(w()->lblName->caption(), "Bat Swarm");
    Exit();
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();

    EXPECT_TRUE(CreaturesOf(QStringLiteral("Sky Hunters")).contains("River Kelpie"));
    EXPECT_FALSE(CreaturesOf(QStringLiteral("Deep Waters")).contains("River Kelpie"));
}

TEST_F(Journeys, ABadDayLosesNothing) {
    UseFolder(ProgramFolder::Content::Sample);
    const QString db = Folder().databasePath();
    const QString aside = UserFile(QStringLiteral("Ostravell.mdb"));
    const QList<Rows> stored = Everything();
    ASSERT_TRUE(QFile::rename(db, aside));

    // The database file is missing: the lists stay empty, writes are refused
    // with their boxes, and no new file is made in its place.
    EXPECT_EQ(TitlesShownBy([&] { LaunchProgram(); }),
              (QStringList{"Error Loading Categories from Database", "Error Loading Rosters from Database"}));
    EXPECT_EQ(w()->lstCategory->ListCount(), 0);
    EXPECT_TRUE(TitlesShownBy([&] { New(1, QStringLiteral("Lost Causes")); }).startsWith("Error Adding New Category to Database"));
    Exit();
    EXPECT_FALSE(QFileInfo::exists(db));
    ASSERT_TRUE(QFile::rename(aside, db));

    // Read-only: everything is shown, every write says it failed.
    {
        const QByteArray bytes = Folder().DatabaseBytes();
        std::string why;
        auto guard = MakeUnwritable(db, false, &why);
        if (!guard) GTEST_SKIP() << why;
        EXPECT_TRUE(TitlesShownBy([&] { LaunchProgram(); }).isEmpty());
        EXPECT_EQ(w()->lstCategory->ListCount(), 6);
        Fill(0, QStringLiteral("changed"));
        EXPECT_EQ(TitlesShownBy([&] { Click(w()->txtStatText[1]); }),
                  QStringList{"Error Saving Creature Information to Database"});
        EXPECT_TRUE(TitlesShownBy([&] { New(1, QStringLiteral("Lost Causes")); })
                        .startsWith("Error Adding New Category to Database"));
        Pick(2, QStringLiteral("Coast Road"));
        AnswerAreYouSure(true);
        EXPECT_EQ(TitlesShownBy([&] { Click(w()->imgClear); }), QStringList{"Error Saving Roster to Database"});
        EXPECT_EQ(TitlesShownBy([&] { Exit(); }), QStringList{"Error Saving Creature Information to Database"});
        EXPECT_EQ(Folder().DatabaseBytes(), bytes);
    }

    // Garbage in its place: the boxes again, and the garbage is left as it was.
    ASSERT_TRUE(QFile::rename(db, aside));
    const QByteArray garbage = QByteArray("SQLite format 3").append(4000, '\x5a');
    WriteBytes(db, garbage);
    EXPECT_EQ(TitlesShownBy([&] { LaunchProgram(); }),
              (QStringList{"Error Loading Categories from Database", "Error Loading Rosters from Database"}));
    EXPECT_TRUE(TitlesShownBy([&] { New(2, QStringLiteral("Lost Causes")); }).startsWith("Error Adding New Roster to Database"));
    Exit();
    EXPECT_EQ(ReadBytes(db), garbage);
    ASSERT_TRUE(QFile::remove(db));
    ASSERT_TRUE(QFile::rename(aside, db));
    EXPECT_EQ(Everything(), stored);

    // The label file is read-only and a picture is no picture: each says so,
    // and what is stored stays.
    const QByteArray cfg = ReadBytes(Folder().cfgPath());
    std::string why;
    auto cfgGuard = MakeUnwritable(Folder().cfgPath(), false, &why);
    ASSERT_TRUE(cfgGuard) << why;
    LaunchProgram();
    const QString shown = w()->lblName->caption();
    AnswerInputBox(QStringLiteral("Rarity"));
    EXPECT_EQ(TitlesShownBy([&] { DoubleClick(w()->lblStatLabel[2]); }), QStringList{"Error Saving Label"});
    EXPECT_EQ(w()->lblStatLabel[2]->caption(), "Frequency");
    const QString picture = Jpeg(QStringLiteral("kelpie.jpg"));
    ChoosePictureOnThePicturePage(picture);
    const QString notAPicture = UserFile(QStringLiteral("notes.jpg"));
    WriteBytes(notAPicture, "my notes on the kelpie\n");
    EXPECT_EQ(TitlesShownBy([&] { ChoosePictureOnThePicturePage(notAPicture); }),
              QStringList{"Error Loading New Picture"});
    EXPECT_TRUE(w()->picPicture->hasPicture());
    Exit();
    EXPECT_EQ(ReadBytes(Folder().cfgPath()), cfg);
    EXPECT_EQ(Column(shown, "Picture"), picture);
}

TEST_F(Journeys, WhatIsStoredComesBackExactlyAsItWas) {
    // A record as other programs and older files hold it: line breaks of every
    // kind, no-break spaces, a line separator, control characters, Latin-1
    // bytes (a picture path among them) and a BLOB.
    ProgramFolder& f = Folder();
    const qint64 cat = f.AddCategory(QStringLiteral("Fey"));
    const qint64 id = f.AddCreature(cat, QStringLiteral("x"));
    for (int i = 0; i <= 20; ++i)
        if (i != 10) f.Exec(QStringLiteral("UPDATE Creatures SET Field%1 = 'stat %1'").arg(i));
    f.Exec(QStringLiteral("UPDATE Creatures SET Description = ?1, Field11 = ?2, Field0 = ?3"),
           {QStringLiteral("Dark\r\nwater\rdeep\nand\u00a0cold\u2028below"), QStringLiteral("In\u00a0lochs\r\n\r\n"),
            QStringLiteral("tab\there\x01\x7f\r\nend")});
    // "Kelpie é", "Ch\xe2teau", "/pics/k\xe9lpie.jpg" in Latin-1.
    f.Exec(QStringLiteral("UPDATE Creatures SET Name = CAST(X'4b656c70696520e9' AS TEXT), "
                          "Field1 = CAST(X'4368e27465617521' AS TEXT), Field2 = X'00ff0d0a80', "
                          "Picture = CAST(X'2f706963732f6be96c7069652e6a7067' AS TEXT)"));
    const auto row = [&] {
        QStringList cells;
        for (const QVariantList& r : Sql(QStringLiteral("SELECT * FROM pragma_table_info('Creatures')")))
            cells << Value(QStringLiteral("SELECT typeof(%1) || ':' || hex(%1) FROM Creatures WHERE IDCreature = ?1")
                               .arg(r.value(1).toString()),
                           {id})
                         .toString();
        return cells;
    };
    const QStringList stored = row();
    const QByteArray before = f.DatabaseBytes();

    // Shown and left alone: the Exit's save changes nothing (the picture is
    // missing, which its own box says).
    EXPECT_EQ(TitlesShownBy([&] { LaunchProgram(); }), QStringList{"Error Loading Creature Information from Database"});
    EXPECT_EQ(w()->lblName->caption(), QStringLiteral("Kelpie \u00e9"));
    EXPECT_EQ(w()->txtStatText[1]->text(), QStringLiteral("Ch\u00e2teau!"));
    Exit();
    EXPECT_EQ(row(), stored);
    EXPECT_EQ(f.DatabaseBytes(), before);

    // Typed into the description: a new line is stored as CR LF and a no-break
    // space as one; every other column keeps its bytes and its type.
    TitlesShownBy([&] { LaunchProgram(); });
    FocusBox(w()->txtStatText[10]);   // entering the box selects its whole text
    Type(w()->txtStatText[10], QStringLiteral("Grey"));
    PressKey(Qt::Key_Return, Qt::NoModifier);
    Type(w()->txtStatText[10], QStringLiteral("old\u00a0mare"));
    Exit();
    QStringList expected = stored;
    expected[3] = QStringLiteral("text:") + QString::fromLatin1(QStringLiteral("Grey\r\nold\u00a0mare").toUtf8().toHex().toUpper());
    EXPECT_EQ(row(), expected);
}

}  // namespace
