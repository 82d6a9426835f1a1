// A crash during writes: a child process runs the store's write operations in
// a loop on a copy of the sample database (roster saves, creature saves,
// creature additions and deletions) and is killed outright at random moments.
// After every kill the file must be sound, every roster must hold the entries
// of one whole save, and every creature row must be wholly of one save.
#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QSet>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "support/msgbox_recorder.h"
#include "support/program_folder.h"
#include "support/store_controls.h"

namespace {

constexpr int kKills = 60;

// The roster's entries as save g writes them: a length and a rotation of the
// pool that differ from save to save.
QList<qint32> RosterOfGeneration(const QList<qint32>& pool, qint64 g) {
    QList<qint32> out;
    const int n = 3 + int(g % 11);
    for (int i = 0; i < n; ++i) out << pool[int((g + i) % pool.size())];
    return out;
}
constexpr int kRosterCycle = 11 * 1000;  // after this many saves the lists repeat (pool smaller than 1000)

QString FieldName(int i) { return i == 10 ? QStringLiteral("Description") : QStringLiteral("Field%1").arg(i); }

// Runs writes for ever, starting at save number g. Only ever ends by being killed.
[[noreturn]] void WriteForEver(StoreControls& c, const QList<qint32>& pool, qint32 rosterId, qint32 creatureId,
                               qint32 catId, qint64 g) {
    OpenRoster roster = c.roster();
    RosterPanel panel = c.panel();
    CreatureSheet sheet = c.sheet();
    StoreControls::SelectById(c.lstRoster, rosterId);
    StoreControls::SelectById(c.lstCategory, catId);
    for (;; ++g) {
        c.m_alRosterCreatureID = RosterOfGeneration(pool, g);
        c.m_asRosterName.clear();
        for (qint32 id : c.m_alRosterCreatureID) c.m_asRosterName << QString::number(id);
        c.m_nRosterCount = qint16(c.m_alRosterCreatureID.size());
        SaveRoster(c.ctx, roster, c.lstRoster);

        const QString tag = QStringLiteral("g%1").arg(g);
        c.lblName->setCaption(tag);
        for (int i = 0; i <= 20; ++i) c.txtStatText[size_t(i)]->setText(tag + QStringLiteral("-%1").arg(i));
        c.m_sPicturePath = tag + QStringLiteral(".bmp");
        c.m_sheetRecord = SheetRecord{true, creatureId};
        SaveCreatureInfo(c.ctx, c.lstCreature, sheet);

        // The passing creatures go (with their roster entries) and a new one comes.
        LoadCreatures(c.ctx, catId, c.lstCreature, sheet);
        QList<qint32> passing;
        for (int i = 0; i < c.lstCreature->ListCount(); ++i)
            if (c.lstCreature->List(i).startsWith(QStringLiteral("Passing "))) passing << c.lstCreature->ItemData(i);
        for (qint32 id : passing) DeleteCreature(c.ctx, id, roster, panel);
        AddCreature(c.ctx, QStringLiteral("Passing ") + tag, c.lstCategory);
        LoadCreatures(c.ctx, catId, c.lstCreature, sheet);
        StoreControls::SelectById(c.lstCreature, creatureId);
    }
}

}  // namespace

TEST(CrashDuringWrites, EveryKillLeavesWholeRostersAndWholeCreatures) {
    ProgramFolder f(ProgramFolder::Content::Sample);
    StoreControls c{f.dir()};
    MsgBoxRecorder::clear();

    const qint32 rosterId = f.Scalar(QStringLiteral("SELECT min(IDRoster) FROM Rosters")).toInt();
    const qint32 catId = f.Scalar(QStringLiteral("SELECT min(IDCategory) FROM Categories")).toInt();
    const qint32 creatureId =
        f.Scalar(QStringLiteral("SELECT min(IDCreature) FROM Creatures WHERE IDCategory = ?1"), {catId}).toInt();
    QList<qint32> pool;
    for (const QVariantList& row :
         f.Query(QStringLiteral("SELECT IDCreature FROM Creatures WHERE IDCategory <> ?1 ORDER BY IDCreature"), {catId}))
        pool << row[0].toInt();
    ASSERT_GE(pool.size(), 5);
    ASSERT_GT(rosterId, 0);
    const qint64 otherRosters = f.Scalar(QStringLiteral("SELECT count(*) FROM Rosters")).toLongLong();
    const QList<QVariantList> otherEntries =
        f.Query(QStringLiteral("SELECT IDRoster, IDCreature FROM RosterList WHERE IDRoster <> ?1 AND IDCreature IN "
                               "(SELECT IDCreature FROM Creatures WHERE IDCategory <> ?2) ORDER BY rowid"),
                {rosterId, catId});

    LoadRosters(c.ctx, c.lstRoster);
    LoadCategories(c.ctx, c.lstCategory);
    CreatureSheet sheet = c.sheet();
    LoadCreatures(c.ctx, catId, c.lstCreature, sheet);
    ASSERT_TRUE(StoreControls::SelectById(c.lstCreature, creatureId));
    ASSERT_TRUE(MsgBoxRecorder::titles().isEmpty());

    // Every roster list a save can write.
    QSet<QString> rosterLists;
    auto key = [](const QList<qint32>& ids) {
        QString s;
        for (qint32 id : ids) s += QString::number(id) + u',';
        return s;
    };
    for (qint64 g = 0; g < kRosterCycle; ++g) rosterLists.insert(key(RosterOfGeneration(pool, g)));
    QString original;
    for (qint64 id : f.RosterEntries(rosterId)) original += QString::number(id) + u',';
    rosterLists.insert(original);

    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> delayUs(1000, 40000);
    qint64 g = 1;
    int killedMidWrite = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(kill);
        const qint64 start = g;
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) WriteForEver(c, pool, rosterId, creatureId, catId, start);
        usleep(useconds_t(delayUs(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        g += 100000;  // each run's saves are told apart from the last run's
        if (QFile::exists(f.databasePath() + QStringLiteral("-journal"))) ++killedMidWrite;

        // The checks open the file as the program would, rolling back what the
        // killed writer left half done.
        ASSERT_EQ(f.Scalar(QStringLiteral("PRAGMA integrity_check")).toString(), "ok");
        QString stored;
        for (qint64 id : f.RosterEntries(rosterId)) stored += QString::number(id) + u',';
        EXPECT_TRUE(rosterLists.contains(stored)) << stored.toStdString();

        const QList<QVariantList> rows =
            f.Query(QStringLiteral("SELECT * FROM Creatures WHERE IDCreature = ?1"), {creatureId});
        ASSERT_EQ(rows.size(), 1);
        const QList<QVariantList> cols = f.Query(QStringLiteral("SELECT name FROM pragma_table_info('Creatures')"));
        QHash<QString, QString> row;
        for (int i = 0; i < cols.size(); ++i) row.insert(cols[i][0].toString(), rows[0][i].toString());
        const QString name = row.value(QStringLiteral("Name"));
        if (name.startsWith(u'g') && name.mid(1).toLongLong() > 0) {
            // Written by one save: every field of that save and no other.
            for (int i = 0; i <= 20; ++i) {
                if (i == 10) continue;
                EXPECT_EQ(row.value(FieldName(i)), name + QStringLiteral("-%1").arg(i)) << i;
            }
            EXPECT_EQ(row.value(QStringLiteral("Description")), name + QStringLiteral("-10"));
            EXPECT_EQ(row.value(QStringLiteral("Picture")), name + QStringLiteral(".bmp"));
        } else {
            // Not saved yet: the sample's own row, no field of a save.
            for (const QString& v : row) EXPECT_FALSE(v.startsWith(u'g') && v.contains(u'-')) << v.toStdString();
        }

        // Nothing else is lost: the other rosters and their entries stay, and
        // at most the passing creature of the last save exists.
        EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM Rosters")).toLongLong(), otherRosters);
        EXPECT_EQ(f.Query(QStringLiteral("SELECT IDRoster, IDCreature FROM RosterList WHERE IDRoster <> ?1 AND "
                                         "IDCreature IN (SELECT IDCreature FROM Creatures WHERE IDCategory <> ?2) "
                                         "ORDER BY rowid"),
                          {rosterId, catId}),
                  otherEntries);
        EXPECT_LE(f.Scalar(QStringLiteral("SELECT count(*) FROM Creatures WHERE Name LIKE 'Passing %'")).toInt(), 1);
    }
    // The writes got somewhere: the creature was saved at least once.
    EXPECT_TRUE(f.Scalar(QStringLiteral("SELECT Name FROM Creatures WHERE IDCreature = ?1"), {creatureId})
                    .toString()
                    .startsWith(u'g'));
    RecordProperty("KilledMidWrite", killedMidWrite);
}
