// Broken files: databases that are not databases, cut short, missing a table or
// a column, or that cannot be written; label settings files that are garbage,
// empty or cannot be rewritten; pictures cut short, empty or claiming absurd
// sizes. Every case: the operation's own error box where it has one, no crash,
// and nothing already stored lost.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <random>

#include "frame/label_settings.h"
#include "support/file_size_limit.h"
#include "support/file_access.h"
#include "platform/file_chooser.h"
#include "platform/picture.h"
#include "support/main_window_fixture.h"
#include "support/msgbox_recorder.h"
#include "support/program_folder.h"
#include "support/store_controls.h"

namespace {

QByteArray RandomBytes(int n, unsigned seed) {
    std::mt19937 gen(seed);
    QByteArray out(n, '\0');
    for (char& c : out) c = char(gen() & 0xff);
    return out;
}

// ----------------------------------------------------------------- databases

class BrokenDatabase : public ::testing::Test {
protected:
    void SetUp() override { MsgBoxRecorder::clear(); }

    QStringList FolderFiles() const { return QDir(f.dir()).entryList(QDir::Files, QDir::Name); }

    ProgramFolder f;
    StoreControls c{f.dir()};
};

// Every operation on a file that is no database at all shows its own box,
// lists nothing and leaves the file byte for byte as it was.
void ExpectEveryOperationFails(StoreControls& c, ProgramFolder& f) {
    auto titles = [](auto fn) {
        MsgBoxRecorder::clear();
        fn();
        return MsgBoxRecorder::titles();
    };
    const QByteArray before = f.DatabaseBytes();
    EXPECT_EQ(titles([&] { LoadCategories(c.ctx, c.lstCategory); }), QStringList{kTitleLoadCategories});
    EXPECT_EQ(titles([&] { LoadRosters(c.ctx, c.lstRoster); }), QStringList{kTitleLoadRosters});
    CreatureSheet sheet = c.sheet();
    EXPECT_EQ(titles([&] { LoadCreatures(c.ctx, 1, c.lstCreature, sheet); }), QStringList{kTitleLoadCreatures});
    EXPECT_EQ(titles([&] { AddCategory(c.ctx, QStringLiteral("New")); }), QStringList{kTitleAddCategory});
    EXPECT_EQ(titles([&] { AddRoster(c.ctx, QStringLiteral("New")); }), QStringList{kTitleAddRoster});
    OpenRoster roster = c.roster();
    RosterPanel panel = c.panel();
    EXPECT_EQ(titles([&] { DeleteCategory(c.ctx, 1, roster, panel); }), QStringList{kTitleDeleteCategory});
    EXPECT_EQ(titles([&] { LoadCreatureInfo(c.ctx, 1, sheet); }), QStringList{kTitleLoadCreatureInfo});
    EXPECT_EQ(c.lstCategory->ListCount(), 0);
    EXPECT_EQ(c.lstRoster->ListCount(), 0);
    EXPECT_EQ(c.lstCreature->ListCount(), 0);
    EXPECT_FALSE(c.m_sheetRecord.bLoaded);
    EXPECT_EQ(f.DatabaseBytes(), before);
}

TEST_F(BrokenDatabase, RandomBytesAreReportedByEveryOperationAndLeftAlone) {
    WriteBytes(f.databasePath(), RandomBytes(64 * 1024, 7));
    ExpectEveryOperationFails(c, f);
    EXPECT_EQ(FolderFiles(), (QStringList{"OVHelp.txt", "Ostravell.cfg", "Ostravell.mdb"}));  // no journal left

    // A file of zero bytes is an empty database to SQLite: it has no tables,
    // and the program never creates one.
    WriteBytes(f.databasePath(), QByteArray());
    ExpectEveryOperationFails(c, f);
    EXPECT_EQ(f.DatabaseBytes(), QByteArray());
}

TEST_F(BrokenDatabase, FileCutInsideItsHeaderIsReported) {
    ProgramFolder sample(ProgramFolder::Content::Sample);
    WriteBytes(f.databasePath(), sample.DatabaseBytes().left(60));
    ExpectEveryOperationFails(c, f);
}

TEST_F(BrokenDatabase, FileCutInHalfNeverCrashesAndReadsChangeNothing) {
    ProgramFolder sample(ProgramFolder::Content::Sample);
    const QByteArray whole = sample.DatabaseBytes();
    ASSERT_GT(whole.size(), 8192);
    for (const qsizetype cut : {whole.size() / 2, whole.size() - 1024, qsizetype(4096)}) {
        SCOPED_TRACE(cut);
        WriteBytes(f.databasePath(), whole.left(cut));
        const QByteArray before = f.DatabaseBytes();
        CreatureSheet sheet = c.sheet();
        // Whatever part of the file is still there may be read; anything else
        // is reported under the reading operation's own title.
        auto onlyOwn = [](const QStringList& shown, const char* title) {
            for (const QString& t : shown) EXPECT_EQ(t, QLatin1String(title));
        };
        onlyOwn(TitlesShownBy([&] { LoadCategories(c.ctx, c.lstCategory); }), kTitleLoadCategories);
        onlyOwn(TitlesShownBy([&] { LoadRosters(c.ctx, c.lstRoster); }), kTitleLoadRosters);
        for (int cat = 0; cat < c.lstCategory->ListCount(); ++cat) {
            onlyOwn(TitlesShownBy([&] { LoadCreatures(c.ctx, c.lstCategory->ItemData(cat), c.lstCreature, sheet); }),
                    kTitleLoadCreatures);
            for (int i = 0; i < c.lstCreature->ListCount(); ++i)
                onlyOwn(TitlesShownBy([&] { LoadCreatureInfo(c.ctx, c.lstCreature->ItemData(i), sheet); }),
                        kTitleLoadCreatureInfo);
        }
        RosterPanel panel = c.panel();
        OpenRoster roster = c.roster();
        for (int r = 0; r < c.lstRoster->ListCount(); ++r)
            onlyOwn(TitlesShownBy([&] { LoadRoster(c.ctx, c.lstRoster->ItemData(r), roster, panel); }), kTitleLoadRoster);
        EXPECT_EQ(f.DatabaseBytes(), before);
        // Writes either work or are reported under their own titles.
        onlyOwn(TitlesShownBy([&] { AddCategory(c.ctx, QStringLiteral("Late")); }), kTitleAddCategory);
        onlyOwn(TitlesShownBy([&] { DeleteRoster(c.ctx, 1); }), kTitleDeleteRoster);
    }
}

TEST_F(BrokenDatabase, MissingTableFailsItsOperationsAndKeepsEveryOtherRow) {
    const qint64 cat = f.AddCategory(QStringLiteral("Beasts"));
    const qint64 ant = f.AddCreature(cat, QStringLiteral("Ant"));
    const qint64 roster = f.AddRoster(QStringLiteral("Party"));
    f.Exec(QStringLiteral("DROP TABLE RosterList"));
    const QByteArray before = f.DatabaseBytes();

    RosterPanel panel = c.panel();
    OpenRoster open = c.roster();
    EXPECT_EQ(TitlesShownBy([&] { LoadRoster(c.ctx, qint32(roster), open, panel); }), QStringList{kTitleLoadRoster});
    // Deleting a creature or a roster starts with its roster entries: the
    // failure there keeps the row itself.
    EXPECT_EQ(TitlesShownBy([&] { DeleteCreature(c.ctx, qint32(ant), open, panel); }), QStringList{kTitleDeleteCreature});
    EXPECT_EQ(TitlesShownBy([&] { DeleteRoster(c.ctx, qint32(roster)); }), QStringList{kTitleDeleteRoster});
    LoadRosters(c.ctx, c.lstRoster);
    ASSERT_TRUE(StoreControls::SelectById(c.lstRoster, qint32(roster)));
    c.m_alRosterCreatureID = {qint32(ant)};
    c.m_asRosterName = {QStringLiteral("Ant")};
    c.m_nRosterCount = 1;
    EXPECT_EQ(TitlesShownBy([&] { SaveRoster(c.ctx, open, c.lstRoster); }), QStringList{kTitleSaveRoster});
    EXPECT_EQ(f.DatabaseBytes(), before);

    // The other tables still serve.
    EXPECT_TRUE(TitlesShownBy([&] { LoadCategories(c.ctx, c.lstCategory); }).isEmpty());
    EXPECT_EQ(StoreControls::Items(c.lstCategory), QStringList{"Beasts"});

    f.Exec(QStringLiteral("DROP TABLE Categories"));
    EXPECT_EQ(TitlesShownBy([&] { LoadCategories(c.ctx, c.lstCategory); }), QStringList{kTitleLoadCategories});
    EXPECT_EQ(TitlesShownBy([&] { AddCategory(c.ctx, QStringLiteral("New")); }), QStringList{kTitleAddCategory});
    EXPECT_EQ(c.lstCategory->ListCount(), 0);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Creatures WHERE IDCreature = ?1"), {ant}).toString(), "Ant");
}

TEST_F(BrokenDatabase, MissingColumnFailsLoadAndSaveWithoutTouchingTheRow) {
    const qint64 cat = f.AddCategory(QStringLiteral("Beasts"));
    const qint64 ant = f.Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Field0, Field5, Description) "
                                               "VALUES (?1, 'Ant', 'zero', 'five', 'small')"),
                                {cat});
    LoadCategories(c.ctx, c.lstCategory);
    CreatureSheet sheet = c.sheet();
    LoadCreatures(c.ctx, qint32(cat), c.lstCreature, sheet);
    ASSERT_TRUE(StoreControls::SelectById(c.lstCreature, qint32(ant)));
    LoadCreatureInfo(c.ctx, qint32(ant), sheet);
    ASSERT_TRUE(c.m_sheetRecord.bLoaded);
    ASSERT_EQ(c.txtStatText[0]->text(), "zero");

    f.Exec(QStringLiteral("ALTER TABLE Creatures DROP COLUMN Field7"));
    const auto row = [&] { return f.Query(QStringLiteral("SELECT * FROM Creatures WHERE IDCreature = ?1"), {ant}); };
    const QList<QVariantList> before = row();
    c.txtStatText[0]->setText(QStringLiteral("changed"));
    EXPECT_EQ(TitlesShownBy([&] { SaveCreatureInfo(c.ctx, c.lstCreature, sheet); }), QStringList{kTitleSaveCreatureInfo});
    EXPECT_EQ(row(), before);

    EXPECT_EQ(TitlesShownBy([&] { LoadCreatureInfo(c.ctx, qint32(ant), sheet); }), QStringList{kTitleLoadCreatureInfo});
    EXPECT_FALSE(c.m_sheetRecord.bLoaded);
    EXPECT_EQ(c.lblName->caption(), "");
    // With no record on the sheet a save writes nothing and reports nothing.
    EXPECT_TRUE(TitlesShownBy([&] { SaveCreatureInfo(c.ctx, c.lstCreature, sheet); }).isEmpty());
    EXPECT_EQ(row(), before);

    f.AddRoster(QStringLiteral("Party"));
    f.Exec(QStringLiteral("ALTER TABLE Rosters DROP COLUMN Name"));
    EXPECT_EQ(TitlesShownBy([&] { LoadRosters(c.ctx, c.lstRoster); }), QStringList{kTitleLoadRosters});
    EXPECT_EQ(TitlesShownBy([&] { AddRoster(c.ctx, QStringLiteral("New")); }), QStringList{kTitleAddRoster});
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Rosters")).toInt(), 1);
}

TEST_F(BrokenDatabase, UnwritableFileIsReadButEveryWriteIsReported) {
    const qint64 cat = f.AddCategory(QStringLiteral("Beasts"));
    const qint64 ant = f.AddCreature(cat, QStringLiteral("Ant"));
    const QByteArray before = f.DatabaseBytes();
    std::string why;
    auto guard = MakeUnwritable(f.databasePath(), false, &why);
    if (!guard) GTEST_SKIP() << why;

    EXPECT_TRUE(TitlesShownBy([&] { LoadCategories(c.ctx, c.lstCategory); }).isEmpty());
    EXPECT_EQ(StoreControls::Items(c.lstCategory), QStringList{"Beasts"});
    EXPECT_EQ(TitlesShownBy([&] { AddCategory(c.ctx, QStringLiteral("New")); }), QStringList{kTitleAddCategory});
    EXPECT_EQ(TitlesShownBy([&] { ChangeCreatureName(c.ctx, QStringLiteral("Bee"), qint32(ant)); }),
              QStringList{kTitleChangeCreatureName});
    OpenRoster roster = c.roster();
    RosterPanel panel = c.panel();
    EXPECT_EQ(TitlesShownBy([&] { DeleteCategory(c.ctx, qint32(cat), roster, panel); }), QStringList{kTitleDeleteCategory});
    EXPECT_EQ(f.DatabaseBytes(), before);
    guard.reset();
    // Writable again: the same write goes through.
    EXPECT_TRUE(TitlesShownBy([&] { AddCategory(c.ctx, QStringLiteral("New")); }).isEmpty());
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Categories")).toInt(), 2);
}

TEST_F(BrokenDatabase, UnwritableFolderStopsWritesThatNeedTheirJournal) {
    const qint64 cat = f.AddCategory(QStringLiteral("Beasts"));
    const QByteArray before = f.DatabaseBytes();
    std::string why;
    auto guard = MakeUnwritable(f.dir(), true, &why);
    if (!guard) GTEST_SKIP() << why;

    EXPECT_TRUE(TitlesShownBy([&] { LoadCategories(c.ctx, c.lstCategory); }).isEmpty());
    EXPECT_EQ(TitlesShownBy([&] { AddCategory(c.ctx, QStringLiteral("New")); }), QStringList{kTitleAddCategory});
    EXPECT_EQ(TitlesShownBy([&] { ChangeCategoryName(c.ctx, QStringLiteral("Renamed"), qint32(cat)); }),
              QStringList{kTitleChangeCategoryName});
    EXPECT_EQ(f.DatabaseBytes(), before);
}

// ------------------------------------------------- the program on broken files

class BrokenFilesInTheProgram : public MainWindowFixture {
protected:
    QString Path(const QString& name) { return Folder().dir() + QLatin1Char('/') + name; }
    QStringList Records() { return ParseCfgRecords(QString::fromLatin1(ReadBytes(Folder().cfgPath()))); }
    // Renames label 3. When the file cannot take the new caption, the label
    // keeps its old one and the user is told.
    void RenameLabel3(const QString& to, bool bStored = true) {
        const QString old = w()->lblStatLabel[3]->caption();
        AnswerInputBox(to);
        EXPECT_EQ(TitlesShownBy([&] { DoubleClick(w()->lblStatLabel[3]); }),
                  bStored ? QStringList() : QStringList{"Error Saving Label"});
        EXPECT_EQ(w()->lblStatLabel[3]->caption(), bStored ? to : old);
    }
};

TEST_F(BrokenFilesInTheProgram, StartsOnADatabaseOfRandomBytesWithTheLoadersBoxes) {
    WriteBytes(Folder().databasePath(), RandomBytes(20000, 11));
    const QByteArray before = Folder().DatabaseBytes();
    ClearMsgBoxes();
    StartMainWindow();
    EXPECT_EQ(MsgBoxTitles(), (QStringList{kTitleLoadCategories, kTitleLoadRosters}));
    EXPECT_EQ(w()->lstCategory->ListCount(), 0);
    EXPECT_EQ(w()->lstRoster->ListCount(), 0);
    DestroyMainWindow();
    EXPECT_EQ(Folder().DatabaseBytes(), before);
}

TEST_F(BrokenFilesInTheProgram, LabelFileOfRandomBytesOrEmptyKeepsItsRecords) {
    for (const QByteArray& content : {RandomBytes(3000, 5), QByteArray()}) {
        WriteBytes(Folder().cfgPath(), content);
        // Every record stays, also one read from an unquoted line that holds
        // a double quote (it is written back as it was read).
        const QStringList before = Records();
        ClearMsgBoxes();
        StartMainWindow();
        RenameLabel3(QStringLiteral("Lore"));
        EXPECT_EQ(Records(), before);
        DestroyMainWindow();
    }
}

TEST_F(BrokenFilesInTheProgram, LabelFileThatCannotBeRewrittenStaysWhole) {
    const QByteArray original = ReadBytes(Folder().cfgPath());
    ASSERT_GT(original.size(), 64);
    StartMainWindow();

    // The system refuses writes beyond 64 bytes: the rewrite fails half-way.
    ASSERT_TRUE(WithFileSizeLimit(64, [&] { RenameLabel3(QStringLiteral("Lore"), false); }));
    EXPECT_EQ(ReadBytes(Folder().cfgPath()), original);
    EXPECT_EQ(QDir(Folder().dir()).entryList({"*.cfg*"}, QDir::Files), QStringList{"Ostravell.cfg"});

    // Immutable (or read-only when not root).
    {
        std::string why;
        auto guard = MakeUnwritable(Folder().cfgPath(), false, &why);
        if (guard) {
            RenameLabel3(QStringLiteral("Lorekeeping"), false);
            EXPECT_EQ(ReadBytes(Folder().cfgPath()), original);
        }
    }

    // A folder in the file's place.
    ASSERT_TRUE(QFile::remove(Folder().cfgPath()));
    ASSERT_TRUE(QDir(Folder().dir()).mkdir(QStringLiteral("Ostravell.cfg")));
    RenameLabel3(QStringLiteral("Weight"), false);
    EXPECT_TRUE(QFileInfo(Folder().cfgPath()).isDir());
    DestroyMainWindow();
    StartMainWindow();  // labels read as empty from a folder
    EXPECT_EQ(w()->lblStatLabel[3]->caption(), "");
}

// --------------------------------------------------------------------- pictures

QByteArray Le(qint64 v, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i) out.append(char((v >> (8 * i)) & 0xff));
    return out;
}

// A BMP header claiming width x height 24-bit pixels, with no pixel data behind it.
QByteArray BmpBomb(qint32 width, qint32 height) {
    return "BM" + Le(54, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(width, 4) + Le(height, 4) + Le(1, 2) +
           Le(24, 2) + Le(0, 4) + Le(0, 4) + Le(2835, 4) + Le(2835, 4) + Le(0, 4) + Le(0, 4);
}

// A GIF whose screen and image claim width x height, with one colour table,
// then a few bytes of image data and the end.
QByteArray GifBomb(quint16 width, quint16 height) {
    QByteArray g = "GIF89a" + Le(width, 2) + Le(height, 2) + QByteArray("\x80\x00\x00", 3);
    g += QByteArray("\xff\x00\x00\x00\x00\xff", 6);
    g += "\x2c" + Le(0, 2) + Le(0, 2) + Le(width, 2) + Le(height, 2) + QByteArray(1, '\0');
    g += QByteArray("\x02\x02\x44\x01\x00\x3b", 6);
    return g;
}

QByteArray Encoded(const char* format) {
    QImage img(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xff));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

class BrokenPictures : public BrokenFilesInTheProgram {
protected:
    void SetUp() override {
        BrokenFilesInTheProgram::SetUp();
        cat = Folder().AddCategory(QStringLiteral("Beasts"));
        good = Path(QStringLiteral("good.bmp"));
        WriteBytes(good, Encoded("BMP"));
        ant = Folder().Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Field0, Picture) "
                                             "VALUES (?1, 'Ant', 'a0', ?2)"),
                              {cat, good});
    }
    void TearDown() override {
        SetFileChooser({});
        BrokenFilesInTheProgram::TearDown();
    }
    QString StoredPicture() {
        return Folder().Scalar(QStringLiteral("SELECT Picture FROM Creatures WHERE IDCreature = ?1"), {ant}).toString();
    }
    // Pictures cut short, empty, or claiming absurd sizes.
    QList<std::pair<QString, QByteArray>> Broken() {
        return {
            {"empty.bmp", QByteArray()},
            {"cut.bmp", Encoded("BMP").left(40)},
            {"cut.jpg", Encoded("JPEG").left(20)},
            {"cut.gif", GifBomb(1, 1).left(12)},
            {"bomb.bmp", BmpBomb(60000, 60000)},
            {"bomb2.bmp", BmpBomb(20000, 20000) + QByteArray(64, 'x')},
            {"bombneg.bmp", BmpBomb(8000, -60000) + QByteArray(64, 'x')},
            {"bomb.gif", GifBomb(60000, 60000)},
        };
    }

    qint64 cat = 0, ant = 0;
    QString good;
};

TEST_F(BrokenPictures, ChosenBrokenPictureShowsTheBoxAndChangesNothing) {
    StartMainWindow();
    Click(w()->imgPicture);
    ASSERT_TRUE(w()->picPicture->hasPicture());
    for (const auto& [name, bytes] : Broken()) {
        SCOPED_TRACE(name.toStdString());
        const QString path = Path(name);
        WriteBytes(path, bytes);
        SetFileChooser([path](QWidget*, const QString&) { return std::optional<QString>(path); });
        const QByteArray before = Folder().DatabaseBytes();
        ClearMsgBoxes();
        DoubleClick(w()->picPicture, QPoint(150, 300));
        ASSERT_EQ(MsgBoxTitles(), QStringList{"Error Loading New Picture"});
        // The creature keeps the picture it had.
        EXPECT_TRUE(w()->picPicture->hasPicture());
        EXPECT_EQ(w()->m_sPicturePath, good);
        EXPECT_EQ(StoredPicture(), good);
        EXPECT_EQ(Folder().DatabaseBytes(), before);
    }
    // A GIF's claimed size is read from its header and refused before decoding.
    // (Qt's BMP reader itself rejects such headers, so those come back as not
    // valid pictures; either way no pixel memory is taken.)
    EXPECT_EQ(LoadPicture(Path("bomb.gif")).errorNumber, PictureResult::kOutOfMemory);
}

TEST_F(BrokenPictures, StoredBrokenPictureLeavesTheRecordOnTheSheet) {
    ProgramFolder& f = Folder();
    StoreControls c{f.dir()};
    CreatureSheet sheet = c.sheet();
    for (const auto& [name, bytes] : Broken()) {
        SCOPED_TRACE(name.toStdString());
        const QString path = Path(name);
        WriteBytes(path, bytes);
        f.Exec(QStringLiteral("UPDATE Creatures SET Picture = ?1 WHERE IDCreature = ?2"), {path, ant});
        const QByteArray before = f.DatabaseBytes();
        MsgBoxRecorder::clear();
        LoadCreatureInfo(c.ctx, qint32(ant), sheet);
        EXPECT_EQ(MsgBoxRecorder::titles(), QStringList{kTitleLoadCreatureInfo});
        EXPECT_EQ(c.lblName->caption(), "Ant");
        EXPECT_EQ(c.txtStatText[0]->text(), "a0");
        EXPECT_EQ(c.m_sPicturePath, path);
        EXPECT_FALSE(c.picPicture->hasPicture());
        EXPECT_EQ(f.DatabaseBytes(), before);
    }
}

}  // namespace
