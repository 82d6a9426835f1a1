// A crash during writes through the real window. The test starts this test
// program again as a child that runs the main window on a copy of the sample
// database and drives writes through its controls with mouse and keyboard
// input (roster additions and removals, sheet saves, creature creation and
// deletion), kills it outright at a random moment, and looks at the file.
//
// Before each write the child appends the write it is about to make to a log.
// Every logged write but the last has finished when the next is logged, and a
// write is either wholly in the file or not at all. So after the kill the
// database must equal the state before the child ran with every logged write
// applied, or with every one but the last: each roster holds the entries of
// one whole save, each creature row the boxes of one whole save, and a
// deletion took the creature with all its roster entries.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

#include "support/main_window_fixture.h"
#include "support/msgbox_recorder.h"
#include "support/program_folder.h"

namespace {

constexpr int kKills = 60;
// A copy of the sample serves this many kills in a row (each child goes on
// from what the last one left), then a fresh copy is taken.
constexpr int kKillsPerCopy = 4;
// How long a child writes before it is killed, in milliseconds.
constexpr int kShortestRunMs = 20;
constexpr int kLongestRunMs = 300;

const char* const kDriver = "CrashDriver.DISABLED_WritesUntilKilled";
const char* const kCategoryName = "Forest Folk";
const char* const kRosterName = "Into the Barrows";
const QString kNewPrefix = QStringLiteral("Crash ");

// What save `gen` puts into statistic box `box`.
QString Tag(qint64 gen, int box) { return QStringLiteral("g%1-%2").arg(gen).arg(box); }
// The Creatures column that box `box` is saved to.
QString ColumnOfBox(int box) {
    return box == 10 ? QStringLiteral("Description") : QStringLiteral("Field%1").arg(box);
}

// ---------------------------------------------------------------- the child

class CrashDriver : public MainWindowFixture {
protected:
    // Ends the child at once with a reason on stderr, which the test shows.
    [[noreturn]] static void Abort(const QString& why) {
        std::fprintf(stderr, "crash driver: %s\n", why.toLocal8Bit().constData());
        std::fflush(stderr);
        _exit(3);
    }

    // Appends one write to the log before it is made. The kernel has the line
    // once write() returns, and a killed process loses nothing the kernel has.
    void Log(const QJsonObject& write) {
        const QByteArray line = QJsonDocument(write).toJson(QJsonDocument::Compact) + '\n';
        if (::write(m_log, line.constData(), size_t(line.size())) != ssize_t(line.size()))
            Abort(QStringLiteral("cannot write the log"));
    }

    // Picks an item of a pop-up list by its text through its list button.
    void Pick(int iList, ListBox* list, const QString& text) {
        Click(m_w->imgList[size_t(iList)]);
        if (!list->isVisible()) Abort(QStringLiteral("the list did not open"));
        const int row = RowOf(list, text);
        if (row < 0) Abort(QStringLiteral("no item ") + text);
        ClickListItem(list, row);
        if (list->ListIndex() != row) Abort(QStringLiteral("could not pick ") + text);
    }

    qint32 ShownCreatureID() const {
        const int i = m_w->lstCreature->ListIndex();
        return i < 0 ? 0 : m_w->lstCreature->ItemData(i);
    }
    qint32 OpenRosterID() const { return m_w->lstRoster->ItemData(m_w->lstRoster->ListIndex()); }

    // The statistic box whose editor has the keyboard focus, -1 for none.
    int FocusedBox() const {
        for (int b = 0; b <= 20; ++b) {
            TextBox* box = m_w->txtStatText[size_t(b)];
            if ((box->editor() ? box->editor() : box)->hasFocus()) return b;
        }
        return -1;
    }
    // A box of page 0 (0..10, the ones shown) other than `other`.
    int OtherBoxOfPage0(int other) {
        int b = int(m_rng() % 11);
        if (b == other) b = (b + 1) % 11;
        return b;
    }

    void LogRoster(const QList<qint32>& ids) {
        QJsonArray a;
        for (qint32 id : ids) a.append(id);
        Log({{"a", "roster"}, {"roster", OpenRosterID()}, {"ids", a}});
    }

    // One save of the sheet: every box gets this save's tag (one of them typed
    // by keys after the focus has selected its text), then the focus moves on
    // and the box's LostFocus saves the sheet.
    void SaveSheet(qint64 gen) {
        const qint32 id = ShownCreatureID();
        if (id == 0) return;
        if (!m_w->m_sheetRecord.bLoaded || m_w->m_sheetRecord.lCreatureID != id)
            Abort(QStringLiteral("the sheet does not hold the shown creature"));
        const int typed = OtherBoxOfPage0(FocusedBox());
        for (int b = 0; b <= 20; ++b)
            if (b != typed) m_w->txtStatText[size_t(b)]->setText(Tag(gen, b));
        TextBox* box = m_w->txtStatText[size_t(typed)];
        FocusBox(box);
        Type(box, Tag(gen, typed));
        if (box->text() != Tag(gen, typed) || !m_w->m_bStatChanged)
            Abort(QStringLiteral("typing into box %1 gave \"%2\" (focus on box %3)")
                      .arg(typed)
                      .arg(box->text())
                      .arg(FocusedBox()));
        Log({{"a", "sheet"},
             {"creature", id},
             {"gen", gen},
             {"name", m_w->lblName->caption()},
             {"picture", m_w->m_sPicturePath}});
        FocusBox(m_w->txtStatText[size_t(OtherBoxOfPage0(typed))]);
        if (m_w->m_bStatChanged) Abort(QStringLiteral("moving the focus did not save"));
    }

    // Add: the shown creature goes into the open roster, sorted by its name.
    void AddShownCreature() {
        const qint32 id = ShownCreatureID();
        const QString name = m_w->lblName->caption();
        if (id == 0 || name.isEmpty()) return;
        QList<qint32> ids = m_w->m_alRosterCreatureID;
        int pos = 0;
        while (pos < m_w->m_nRosterCount && !(name < m_w->m_asRosterName[pos])) ++pos;
        ids.insert(pos, id);
        LogRoster(ids);
        Click(m_w->imgAdd);
        if (m_w->m_alRosterCreatureID != ids) Abort(QStringLiteral("Add did not add the shown creature"));
    }

    // Remove: a shown line is highlighted by a click, then removed.
    void RemoveLine() {
        const int top = m_w->m_nRosterTop;
        const int lines = std::min(8, m_w->m_nRosterCount - top);
        if (lines <= 0) return;
        const int line = int(m_rng() % unsigned(lines));
        Click(m_w->lblRosterEntry[size_t(line)]);
        if (m_w->lblRosterEntry[size_t(line)]->foreColor() != kHighlightBlue)
            Abort(QStringLiteral("the line is not highlighted"));
        QList<qint32> ids = m_w->m_alRosterCreatureID;
        ids.removeAt(top + line);
        LogRoster(ids);
        Click(m_w->imgRemove);
        if (m_w->m_alRosterCreatureID != ids) Abort(QStringLiteral("Remove did not remove the line"));
    }

    // Moves without writing: another creature of the category, or the roster scrolled.
    void LookElsewhere() {
        if (m_rng() % 2 == 0) {
            Click(m_w->imgList[0]);
            if (!m_w->lstCreature->isVisible()) Abort(QStringLiteral("the creature list did not open"));
            ClickListItem(m_w->lstCreature, int(m_rng() % unsigned(m_w->lstCreature->ListCount())));
        } else if (m_w->imgRosterScroll[1]->isVisible()) {
            Click(m_w->imgRosterScroll[1]);
        } else if (m_w->imgRosterScroll[0]->isVisible()) {
            Click(m_w->imgRosterScroll[0]);
        }
    }

    void NewCreature(qint64 gen) {
        const QString name = kNewPrefix + QString::number(gen);
        const QPointer<QTimer> watch = AnswerInputBox(name);
        Log({{"a", "new"}, {"name", name}, {"category", m_w->lstCategory->ItemData(m_w->lstCategory->ListIndex())}});
        Click(m_w->imgNew[0]);
        if (watch) Abort(QStringLiteral("New asked nothing"));
        const int i = m_w->lstCreature->ListIndex();
        if (i < 0 || m_w->lstCreature->List(i) != name) Abort(QStringLiteral("the new creature is not shown"));
    }

    // Deletes a creature this driver made, or else one of the sample's.
    void DeleteCreature() {
        ListBox* list = m_w->lstCreature;
        QList<int> rows;
        for (int i = 0; i < list->ListCount(); ++i)
            if (list->List(i).startsWith(kNewPrefix)) rows << i;
        if (rows.isEmpty())
            for (int i = 0; i < list->ListCount(); ++i) rows << i;
        Pick(0, list, list->List(rows[int(m_rng() % unsigned(rows.size()))]));
        const qint32 id = ShownCreatureID();
        QList<qint32> roster = m_w->m_alRosterCreatureID;
        roster.removeAll(id);
        const QPointer<QTimer> watch = AnswerAreYouSure(true);
        Log({{"a", "delete"}, {"creature", id}});
        Click(m_w->imgDelete[0]);
        if (watch) Abort(QStringLiteral("Delete asked nothing"));
        for (int i = 0; i < list->ListCount(); ++i)
            if (list->ItemData(i) == id) Abort(QStringLiteral("the deleted creature is still listed"));
        if (m_w->m_alRosterCreatureID != roster) Abort(QStringLiteral("the roster still holds the deleted creature"));
    }

    frmMain* m_w = nullptr;
    int m_log = -1;
    std::mt19937 m_rng;
};

// Runs only when the crash test starts it: writes through the window until killed.
TEST_F(CrashDriver, DISABLED_WritesUntilKilled) {
    const QString folder = qEnvironmentVariable("OV_CRASH_FOLDER");
    if (folder.isEmpty()) GTEST_SKIP() << "started by the crash test only";
    m_log = ::open(QFile::encodeName(qEnvironmentVariable("OV_CRASH_LOG")).constData(),
                   O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (m_log < 0) Abort(QStringLiteral("cannot open the log"));
    qint64 gen = qEnvironmentVariable("OV_CRASH_GENERATION").toLongLong();
    m_rng.seed(qEnvironmentVariable("OV_CRASH_SEED").toUInt());
    const pid_t parent = getppid();

    frmMain w(folder);
    m_w = &w;
    w.Form_Load();
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowExposed(&w) || !QTest::qWaitForWindowActive(&w))
        Abort(QStringLiteral("the window did not come up"));
    Pick(1, w.lstCategory, QString::fromUtf8(kCategoryName));
    Pick(2, w.lstRoster, QString::fromUtf8(kRosterName));
    FocusBox(w.txtStatText[0]);
    if (w.lblRosterCurrent->caption() != QString::fromUtf8(kRosterName) || ShownCreatureID() == 0)
        Abort(QStringLiteral("no roster open or no creature shown"));
    if (!MsgBoxRecorder::titles().isEmpty()) Abort(QStringLiteral("start: ") + MsgBoxRecorder::titles().join(u','));

    std::printf("writing\n");
    std::fflush(stdout);
    QElapsedTimer running;
    running.start();
    for (;;) {
        // Never outlives the test that started it.
        if (getppid() != parent || running.elapsed() > 300000) _exit(4);
        // The window system gives the focus back to the window when a question closes.
        if (QApplication::activeWindow() != &w) {
            w.activateWindow();
            if (!QTest::qWaitForWindowActive(&w)) Abort(QStringLiteral("the window did not come back"));
        }
        ++gen;
        const int creatures = w.lstCreature->ListCount();
        const unsigned r = m_rng() % 100;
        if (r < 35) SaveSheet(gen);
        else if (r < 60) w.m_nRosterCount < 16 ? AddShownCreature() : RemoveLine();
        else if (r < 80) w.m_nRosterCount > 2 ? RemoveLine() : AddShownCreature();
        else if (r < 88) LookElsewhere();
        else if (creatures <= 4) NewCreature(gen);
        else if (creatures >= 10) DeleteCreature();
        else if (r < 94) NewCreature(gen);
        else DeleteCreature();
        if (!MsgBoxRecorder::titles().isEmpty())
            Abort(QStringLiteral("message box: ") + MsgBoxRecorder::titles().join(u','));
        if (::testing::Test::HasFailure()) Abort(QStringLiteral("a check of the driver failed"));
    }
}

// ---------------------------------------------------------------- the test

// The stored content that the writes touch or must leave alone.
struct Snapshot {
    QStringList columns;                              // Creatures' columns in order
    QMap<qint64, QVariantList> creatures;             // by IDCreature
    QMap<qint64, QList<QVariantList>> rosterEntries;  // by IDRoster: (IDCreature, Probability) in stored order
    QList<QVariantList> rosters, categories, sequence;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const ProgramFolder& f) {
    Snapshot s;
    for (const QVariantList& row : f.Query(QStringLiteral("SELECT name FROM pragma_table_info('Creatures')")))
        s.columns << row[0].toString();
    for (const QVariantList& row : f.Query(QStringLiteral("SELECT * FROM Creatures ORDER BY IDCreature")))
        s.creatures.insert(row[0].toLongLong(), row);
    for (const QVariantList& row :
         f.Query(QStringLiteral("SELECT IDRoster, IDCreature, Probability FROM RosterList ORDER BY rowid")))
        s.rosterEntries[row[0].toLongLong()] << QVariantList{row[1], row[2]};
    s.rosters = f.Query(QStringLiteral("SELECT * FROM Rosters ORDER BY IDRoster"));
    s.categories = f.Query(QStringLiteral("SELECT * FROM Categories ORDER BY IDCategory"));
    s.sequence = f.Query(QStringLiteral("SELECT name, seq FROM sqlite_sequence ORDER BY name"));
    return s;
}

// Applies one logged write as the program makes it; false when it cannot apply.
bool Apply(Snapshot& s, const QJsonObject& w) {
    const QString kind = w.value("a").toString();
    const auto column = [&](const char* name) { return int(s.columns.indexOf(QLatin1String(name))); };
    if (kind == QLatin1String("roster")) {
        QList<QVariantList> entries;
        for (const QJsonValue& id : w.value("ids").toArray()) entries << QVariantList{qint64(id.toInteger()), qint64(0)};
        const qint64 roster = w.value("roster").toInteger();
        if (entries.isEmpty()) s.rosterEntries.remove(roster);
        else s.rosterEntries[roster] = entries;
        return true;
    }
    if (kind == QLatin1String("sheet")) {
        auto it = s.creatures.find(w.value("creature").toInteger());
        if (it == s.creatures.end()) return false;
        const qint64 gen = w.value("gen").toInteger();
        for (int b = 0; b <= 20; ++b) (*it)[s.columns.indexOf(ColumnOfBox(b))] = Tag(gen, b);
        (*it)[column("Name")] = w.value("name").toString();
        (*it)[column("Picture")] = w.value("picture").toString();
        return true;
    }
    if (kind == QLatin1String("delete")) {
        const qint64 id = w.value("creature").toInteger();
        if (!s.creatures.remove(id)) return false;
        for (auto it = s.rosterEntries.begin(); it != s.rosterEntries.end();) {
            it->removeIf([id](const QVariantList& e) { return e[0].toLongLong() == id; });
            it = it->isEmpty() ? s.rosterEntries.erase(it) : std::next(it);
        }
        return true;
    }
    if (kind == QLatin1String("new")) {
        // The engine numbers the row one past the highest number it ever gave.
        for (QVariantList& seq : s.sequence) {
            if (seq[0].toString() != QLatin1String("Creatures")) continue;
            const qint64 id = seq[1].toLongLong() + 1;
            seq[1] = id;
            QVariantList row(s.columns.size());
            row[column("IDCreature")] = id;
            row[column("IDCategory")] = qint64(w.value("category").toInteger());
            row[column("Name")] = w.value("name").toString();
            s.creatures.insert(id, row);
            return true;
        }
        return false;
    }
    return false;
}

QString Show(const QVariant& v) { return v.isValid() ? QLatin1Char('"') + v.toString() + QLatin1Char('"') : "Null"; }

// Where the stored content differs from what was expected.
QString Differences(const Snapshot& stored, const Snapshot& expected) {
    QStringList d;
    auto ids = stored.creatures.keys() + expected.creatures.keys();
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (qint64 id : ids) {
        if (!stored.creatures.contains(id) || !expected.creatures.contains(id)) {
            d << QStringLiteral("creature %1 %2").arg(id).arg(stored.creatures.contains(id) ? "is there" : "is missing");
            continue;
        }
        const QVariantList& a = stored.creatures[id];
        const QVariantList& b = expected.creatures[id];
        for (int c = 0; c < a.size() && c < b.size(); ++c)
            if (a[c] != b[c])
                d << QStringLiteral("creature %1 %2: %3, expected %4").arg(id).arg(stored.columns[c], Show(a[c]), Show(b[c]));
    }
    const auto entries = [](const QList<QVariantList>& l) {
        QStringList s;
        for (const QVariantList& e : l) s << e[0].toString() + u'/' + e[1].toString();
        return s.join(u' ');
    };
    for (qint64 r : stored.rosterEntries.keys() + expected.rosterEntries.keys())
        if (stored.rosterEntries.value(r) != expected.rosterEntries.value(r))
            d << QStringLiteral("roster %1: %2, expected %3")
                     .arg(r)
                     .arg(entries(stored.rosterEntries.value(r)), entries(expected.rosterEntries.value(r)));
    if (stored.sequence != expected.sequence) d << QStringLiteral("the numbering of new rows differs");
    if (stored.rosters != expected.rosters || stored.categories != expected.categories)
        d << QStringLiteral("rosters or categories differ");
    d.removeDuplicates();
    return d.join(u'\n');
}

// The writes a child logged, each a whole line.
QList<QJsonObject> ReadLog(const QString& path) {
    QFile f(path);
    QList<QJsonObject> writes;
    if (!f.open(QIODevice::ReadOnly)) return writes;
    const QByteArray all = f.readAll();
    for (const QByteArray& line : all.left(all.lastIndexOf('\n') + 1).split('\n'))
        if (!line.isEmpty()) writes << QJsonDocument::fromJson(line).object();
    return writes;
}

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

}  // namespace

TEST(CrashDuringWindowWrites, EveryKillLeavesWholeSavesDeletionsAndCreations) {
    ProgramFolder sample(ProgramFolder::Content::Sample);
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString exe = QCoreApplication::applicationFilePath();

    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> runMs(kShortestRunMs, kLongestRunMs);
    std::unique_ptr<ProgramFolder> copy;
    Snapshot before;
    int writes = 0, lastWriteIn = 0, lastWriteOut = 0, hotJournals = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(kill);
        if (kill % kKillsPerCopy == 0) {
            copy = std::make_unique<ProgramFolder>(ProgramFolder::Content::NoDatabase);
            ASSERT_TRUE(QFile::copy(sample.databasePath(), copy->databasePath()));
            before = Take(*copy);
        }
        const QString round = work.path() + QStringLiteral("/round%1").arg(kill);
        for (const char* sub : {"/tmp", "/config", "/runtime"}) ASSERT_TRUE(QDir().mkpath(round + QLatin1String(sub)));
        QFile::setPermissions(round + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString logPath = round + "/writes.log";
        const QString errPath = round + "/stderr.txt";

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("GTEST_OUTPUT"));
        env.insert(QStringLiteral("OV_CRASH_FOLDER"), copy->dir());
        env.insert(QStringLiteral("OV_CRASH_LOG"), logPath);
        env.insert(QStringLiteral("OV_CRASH_GENERATION"), QString::number(qint64(kill + 1) * 1000000));
        env.insert(QStringLiteral("OV_CRASH_SEED"), QString::number(rng()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), round + "/runtime");
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), round + "/config");
        // The child's own temporary folders, left behind by the kill, go with ours.
        env.insert(QStringLiteral("TMPDIR"), round + "/tmp");
        child.setProcessEnvironment(env);
        child.setStandardErrorFile(errPath);
        child.start(exe, {QStringLiteral("--gtest_filter=") + QLatin1String(kDriver),
                          QStringLiteral("--gtest_also_run_disabled_tests")});
        ASSERT_TRUE(child.waitForStarted(30000)) << child.errorString().toStdString();

        // The child says when its window is up and the writes begin.
        QByteArray out;
        bool writing = false;
        QElapsedTimer waited;
        waited.start();
        while (!writing && waited.elapsed() < 60000) {
            if (child.canReadLine()) {
                const QByteArray line = child.readLine();
                out += line;
                writing = line.trimmed() == "writing";
            } else if (child.state() == QProcess::NotRunning) {
                break;
            } else {
                child.waitForReadyRead(1000);
            }
        }
        if (!writing) child.kill();
        ASSERT_TRUE(writing) << out.toStdString() << ReadText(errPath).toStdString();

        QThread::msleep(unsigned(runMs(rng)));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
            << "the driver ended by itself: " << (out + child.readAll()).toStdString()
            << ReadText(errPath).toStdString();

        if (QFile::exists(copy->databasePath() + "-journal")) ++hotJournals;
        // The checks open the file as the program does, rolling back what the
        // killed writer left half done.
        ASSERT_EQ(copy->Scalar(QStringLiteral("PRAGMA integrity_check")).toString(), "ok");
        const QList<QJsonObject> log = ReadLog(logPath);
        Snapshot allButLast = before;
        for (int i = 0; i + 1 < log.size(); ++i) ASSERT_TRUE(Apply(allButLast, log[i])) << i;
        Snapshot all = allButLast;
        if (!log.isEmpty()) {
            ASSERT_TRUE(Apply(all, log.last()));
        }
        const Snapshot stored = Take(*copy);
        if (stored == all) {
            ++lastWriteIn;
        } else if (stored == allButLast) {
            ++lastWriteOut;
        } else {
            FAIL() << "after " << log.size() << " logged writes, the last "
                   << QJsonDocument(log.value(log.size() - 1)).toJson(QJsonDocument::Compact).toStdString()
                   << "\nagainst all of them:\n" << Differences(stored, all).toStdString()
                   << "\nagainst all but the last:\n" << Differences(stored, allButLast).toStdString();
        }
        writes += int(log.size());
        before = stored;
    }
    // The children got well into their writes, and some kills fell inside one.
    EXPECT_GE(writes, kKills * 3);
    EXPECT_GT(lastWriteOut, 0);
    RecordProperty("Writes", writes);
    RecordProperty("LastWriteIn", lastWriteIn);
    RecordProperty("LastWriteOut", lastWriteOut);
    RecordProperty("HotJournals", hotJournals);
    std::printf("%d writes in %d kills; the last write was in the file %d times, not yet %d times; "
                "%d hot journals\n",
                writes, kKills, lastWriteIn, lastWriteOut, hotJournals);
}
