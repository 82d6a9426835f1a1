#pragma once
// What every benchmark shares: program folders holding generated databases,
// paired timing of an operation against its baseline, and bare SQLite access.
#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <vector>

struct sqlite3;
class ListBox;

// A program folder in the run's temporary folder: the database, the label
// settings file and the help text. "large": 100,000 creatures in 100
// categories (one of 10,000), rosters of 1,000 entries, names of 60 to 100
// characters. "empty": the tables without rows. Made once per run; a name
// asked for again gives the same folder, and copyOf makes a private copy.
enum class DatabaseKind { Empty, Large };
QString ProgramFolder(DatabaseKind kind);
// onDisk: in the system's temporary folder on disk rather than in memory, so
// that a commit waits for the disk as it does for the user.
QString CopyOfProgramFolder(DatabaseKind kind, const QString& name, bool onDisk = false);
QString DatabaseIn(const QString& folder);

// Times an operation and its baseline side by side, one pair per iteration,
// so that both see the same state of the machine. The report gives the
// medians in milliseconds and their ratio next to its goal (none when 0).
class PairedTimer {
public:
    explicit PairedTimer(double goal) : m_goal(goal) {}
    // Runs and times the operation (the iteration's manual time).
    void Subject(benchmark::State& state, const std::function<void()>& fn);
    void Baseline(const std::function<void()>& fn);
    void Report(benchmark::State& state) const;

private:
    static double Seconds(const std::function<void()>& fn);
    double m_goal;
    std::vector<double> m_subject, m_baseline;
};

// Bare SQLite: a connection opened read-write on an existing file, closed at the end.
class BareDatabase {
public:
    explicit BareDatabase(const QString& path);
    ~BareDatabase();
    BareDatabase(const BareDatabase&) = delete;
    BareDatabase& operator=(const BareDatabase&) = delete;
    sqlite3* db() const { return m_db; }
    // Runs SQL without results; aborts the run on failure.
    void Exec(const char* sql);
    // The first column of the first row, as a whole number.
    qint64 Scalar(const char* sql);

private:
    sqlite3* m_db = nullptr;
};

// Row of the first item carrying that item data, -1 when none.
int RowOfItemData(const ListBox* list, qint32 data);

// Message boxes shown since the last call (an operation that failed).
QStringList TakeMessageBoxes();
// Marks the benchmark failed when any message box was shown.
bool FailOnMessageBoxes(benchmark::State& state);

// A main window on that program folder, started as the program starts it:
// created, Form_Load run, shown, and painted once.
#include <memory>
class frmMain;
std::unique_ptr<frmMain> StartMainWindow(const QString& folder);
