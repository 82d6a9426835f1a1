#include "bench_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/msgbox.h"
#include "platform/widgets.h"

namespace {

[[noreturn]] void Fatal(const QString& what) {
    std::fprintf(stderr, "ov_bench: %s\n", qPrintable(what));
    std::exit(2);
}

// The run's files live in memory (tmpfs) where the machine has it: a disk's
// syncs would cost the program and its baseline alike and only blur the ratios.
QString RunFolderTemplate() {
    const QString shm = QStringLiteral("/dev/shm");
    const QString base = QDir(shm).exists() && QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
    return base + QStringLiteral("/ov-bench-XXXXXX");
}

QTemporaryDir& RunFolder() {
    static QTemporaryDir dir(RunFolderTemplate());
    if (!dir.isValid()) Fatal(QStringLiteral("cannot make a temporary folder"));
    return dir;
}

void CopyFile(const QString& from, const QString& to) {
    if (!QFile::copy(from, to)) Fatal(QStringLiteral("cannot copy %1 to %2").arg(from, to));
}

QString MakeProgramFolder(DatabaseKind kind, const QString& name) {
    const QString folder = RunFolder().path() + u'/' + name;
    if (!QDir().mkpath(folder)) Fatal(QStringLiteral("cannot make %1").arg(folder));
    CopyFile(QStringLiteral(OV_DATA_DIR "/Ostravell.cfg"), folder + QStringLiteral("/Ostravell.cfg"));
    CopyFile(QStringLiteral(OV_DATA_DIR "/OVHelp.txt"), folder + QStringLiteral("/OVHelp.txt"));
    const QStringList args = kind == DatabaseKind::Empty
                                 ? QStringList{QStringLiteral("empty"), DatabaseIn(folder)}
                                 : QStringList{QStringLiteral("large"), DatabaseIn(folder), QStringLiteral("--creatures"),
                                               QStringLiteral("100000"), QStringLiteral("--categories"),
                                               QStringLiteral("100"), QStringLiteral("--big-category"),
                                               QStringLiteral("10000"), QStringLiteral("--roster-size"),
                                               QStringLiteral("1000"), QStringLiteral("--name-length"),
                                               QStringLiteral("60-100")};
    if (QProcess::execute(QStringLiteral(OV_DBTOOL), args) != 0)
        Fatal(QStringLiteral("the database tool failed: %1").arg(args.join(u' ')));
    return folder;
}

std::vector<std::pair<QString, QString>>& MessageBoxes() {
    static std::vector<std::pair<QString, QString>> boxes;
    return boxes;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

QString DatabaseIn(const QString& folder) { return folder + QStringLiteral("/Ostravell.mdb"); }

QString ProgramFolder(DatabaseKind kind) {
    static std::map<DatabaseKind, QString> made;
    auto it = made.find(kind);
    if (it == made.end())
        it = made.emplace(kind, MakeProgramFolder(kind, kind == DatabaseKind::Empty ? QStringLiteral("empty")
                                                                                     : QStringLiteral("large")))
                 .first;
    return it->second;
}

QTemporaryDir& DiskFolder() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
    if (!dir.isValid()) Fatal(QStringLiteral("cannot make a temporary folder on disk"));
    return dir;
}

QString CopyOfProgramFolder(DatabaseKind kind, const QString& name, bool onDisk) {
    const QString source = ProgramFolder(kind);
    const QString folder = (onDisk ? DiskFolder() : RunFolder()).path() + u'/' + name;
    if (QDir(folder).exists()) return folder;
    QDir().mkpath(folder);
    for (const QString& f : QDir(source).entryList(QDir::Files)) CopyFile(source + u'/' + f, folder + u'/' + f);
    return folder;
}

// ---------------------------------------------------------------- timing

double PairedTimer::Seconds(const std::function<void()>& fn) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void PairedTimer::Subject(benchmark::State& state, const std::function<void()>& fn) {
    const double s = Seconds(fn);
    m_subject.push_back(s);
    state.SetIterationTime(s);
}

void PairedTimer::Baseline(const std::function<void()>& fn) { m_baseline.push_back(Seconds(fn)); }

void PairedTimer::Report(benchmark::State& state) const {
    const double subject = Median(m_subject), baseline = Median(m_baseline);
    state.counters["ms"] = subject * 1e3;
    state.counters["base_ms"] = baseline * 1e3;
    state.counters["ratio"] = baseline > 0 ? subject / baseline : 0;
    if (m_goal > 0) state.counters["goal"] = m_goal;
}

// ---------------------------------------------------------------- bare SQLite

BareDatabase::BareDatabase(const QString& path) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        Fatal(QStringLiteral("cannot open %1").arg(path));
}

BareDatabase::~BareDatabase() { sqlite3_close(m_db); }

void BareDatabase::Exec(const char* sql) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fatal(QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), QString::fromUtf8(sqlite3_errmsg(m_db))));
}

qint64 BareDatabase::Scalar(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK || sqlite3_step(s) != SQLITE_ROW)
        Fatal(QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), QString::fromUtf8(sqlite3_errmsg(m_db))));
    const qint64 v = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return v;
}

// ---------------------------------------------------------------- lists and boxes

int RowOfItemData(const ListBox* list, qint32 data) {
    for (int i = 0; i < list->ListCount(); ++i)
        if (list->ItemData(i) == data) return i;
    return -1;
}

void InstallMessageBoxRecorder() {
    SetMsgBoxHandler([](const QString& prompt, const QString& title) { MessageBoxes().emplace_back(title, prompt); });
}

QStringList TakeMessageBoxes() {
    QStringList out;
    for (const auto& [title, prompt] : MessageBoxes()) out << title + QStringLiteral(": ") + prompt;
    MessageBoxes().clear();
    return out;
}

bool FailOnMessageBoxes(benchmark::State& state) {
    const QStringList boxes = TakeMessageBoxes();
    if (boxes.isEmpty()) return false;
    state.SkipWithError(qPrintable(QStringLiteral("message box: ") + boxes.join(QStringLiteral("; "))));
    return true;
}

// ---------------------------------------------------------------- main window

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include "frame/startup.h"
#include "mainwindow/main_window.h"

namespace {

// Notes the first paint of the window it watches.
class PaintWatcher : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

}  // namespace

std::unique_ptr<frmMain> StartMainWindow(const QString& folder) {
    glStartCreatureID = 0;
    auto w = std::make_unique<frmMain>(folder);
    PaintWatcher watcher;
    w->installEventFilter(&watcher);
    w->Form_Load();
    w->show();
    QElapsedTimer waited;
    waited.start();
    while (!watcher.painted && waited.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    w->removeEventFilter(&watcher);
    if (!watcher.painted) Fatal(QStringLiteral("the main window was never painted"));
    return w;
}
