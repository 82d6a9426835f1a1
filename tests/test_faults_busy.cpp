// A busy database: another program holds the write lock. Each write waits its
// short timeout, then shows its own error box; reading goes on, and once the
// lock is gone the same write succeeds with nothing lost.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include "support/msgbox_recorder.h"
#include "support/program_folder.h"
#include "support/store_controls.h"

namespace {

// Another program's connection to the same file, holding the write lock.
class SiblingLock {
public:
    explicit SiblingLock(const QString& path) {
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        // The sibling has a change of its own under way.
        EXPECT_EQ(sqlite3_exec(m_db, "INSERT INTO Categories (Name) VALUES ('Sibling')", nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    void Commit() {
        if (!m_db) return;
        EXPECT_EQ(sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    ~SiblingLock() {
        if (m_db) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_db);
        }
    }

private:
    sqlite3* m_db = nullptr;
};

class BusyDatabase : public ::testing::Test {
protected:
    void SetUp() override { MsgBoxRecorder::clear(); }

    ProgramFolder f;
    StoreControls c{f.dir()};
};

}  // namespace

TEST_F(BusyDatabase, WritesWaitThenReportAndSucceedOnceTheLockIsGone) {
    const qint64 cat = f.AddCategory(QStringLiteral("Beasts"));
    const qint64 ant = f.AddCreature(cat, QStringLiteral("Ant"));
    const qint64 bee = f.AddCreature(cat, QStringLiteral("Bee"));
    const qint64 roster = f.AddRoster(QStringLiteral("Party"));
    f.AddRosterEntry(roster, ant);
    LoadRosters(c.ctx, c.lstRoster);
    ASSERT_TRUE(StoreControls::SelectById(c.lstRoster, qint32(roster)));
    OpenRoster open = c.roster();
    RosterPanel panel = c.panel();
    c.lblRosterCurrent->setCaption(QStringLiteral("Party"));
    LoadRoster(c.ctx, qint32(roster), open, panel);
    ASSERT_EQ(c.m_nRosterCount, 1);
    // The user adds Bee to the open roster.
    c.m_alRosterCreatureID << qint32(bee);
    c.m_asRosterName << QStringLiteral("Bee");
    c.m_nRosterCount = 2;

    const QByteArray before = f.DatabaseBytes();
    SiblingLock lock(f.databasePath());

    // Reading is not held up by a sibling that is only about to write.
    EXPECT_TRUE(TitlesShownBy([&] { LoadCategories(c.ctx, c.lstCategory); }).isEmpty());
    EXPECT_EQ(StoreControls::Items(c.lstCategory), QStringList{"Beasts"});

    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(TitlesShownBy([&] { SaveRoster(c.ctx, open, c.lstRoster); }), QStringList{kTitleSaveRoster});
    // It waited for the lock before giving up (a generous lower bound).
    EXPECT_GE(waited.elapsed(), DBEngine::kBusyTimeoutMs / 2);
    EXPECT_EQ(TitlesShownBy([&] { ChangeCreatureName(c.ctx, QStringLiteral("Wasp"), qint32(bee)); }),
              QStringList{kTitleChangeCreatureName});
    // Nothing of either operation reached the file; the roster in memory is kept.
    EXPECT_EQ(f.DatabaseBytes(), before);
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{qint32(ant), qint32(bee)}));

    // The sibling finishes its own change: both writes now go through, and the
    // sibling's row stays.
    lock.Commit();
    EXPECT_TRUE(TitlesShownBy([&] { SaveRoster(c.ctx, open, c.lstRoster); }).isEmpty());
    EXPECT_TRUE(TitlesShownBy([&] { ChangeCreatureName(c.ctx, QStringLiteral("Wasp"), qint32(bee)); }).isEmpty());
    EXPECT_EQ(f.RosterEntries(roster), (QList<qint64>{ant, bee}));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT Name FROM Creatures WHERE IDCreature = ?1"), {bee}).toString(), "Wasp");
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT group_concat(Name, ',') FROM (SELECT Name FROM Categories ORDER BY "
                                      "IDCategory)"))
                  .toString(),
              "Beasts,Sibling");
    EXPECT_EQ(f.Scalar(QStringLiteral("PRAGMA integrity_check")).toString(), "ok");
}

TEST_F(BusyDatabase, AFailedDeletionUnderTheLockKeepsEveryRow) {
    const qint64 cat = f.AddCategory(QStringLiteral("Beasts"));
    const qint64 ant = f.AddCreature(cat, QStringLiteral("Ant"));
    const qint64 roster = f.AddRoster(QStringLiteral("Party"));
    f.AddRosterEntry(roster, ant);
    OpenRoster open = c.roster();
    RosterPanel panel = c.panel();
    const QByteArray before = f.DatabaseBytes();
    {
        SiblingLock lock(f.databasePath());
        EXPECT_EQ(TitlesShownBy([&] { DeleteCategory(c.ctx, qint32(cat), open, panel); }),
                  QStringList{kTitleDeleteCategory});
        EXPECT_EQ(f.DatabaseBytes(), before);
    }  // the sibling gives up its change
    EXPECT_EQ(f.DatabaseBytes(), before);
    EXPECT_TRUE(TitlesShownBy([&] { DeleteCategory(c.ctx, qint32(cat), open, panel); }).isEmpty());
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Categories")).toInt(), 0);
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures")).toInt(), 0);
    // The creatures' roster entries go with them.
    EXPECT_TRUE(f.RosterEntries(roster).isEmpty());
}
