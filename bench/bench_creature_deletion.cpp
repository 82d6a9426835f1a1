// Deleting one creature from a file of 1,000,000 roster rows, against the bare
// SQL deletion of its rows and its own row.
#include <sqlite3.h>

#include <utility>

#include "bench_support.h"
#include "mainwindow/main_window.h"

namespace {

constexpr int kRowsPerCreature = 10;   // of 1,000,000, for each of 100,000 creatures

// A program folder whose file holds 100,000 creatures in 100 categories and
// 1,000,000 roster rows, each creature in exactly 10 of them, spread over the
// whole table. someText: one row of each creature's 10 (a tenth of the rows)
// holds the ID as text that SQLite keeps as text (the ID and a no-break space)
// and a load reads as the creature. Made with bare SQL on a copy of the empty
// file, so that the program's own schema and indexes hold the rows.
QString FolderWithRosterRows(bool someText) {
    const QString folder = CopyOfProgramFolder(
        DatabaseKind::Empty, someText ? QStringLiteral("deletion-text") : QStringLiteral("deletion"));
    BareDatabase db(DatabaseIn(folder));
    if (db.Scalar("SELECT count(*) FROM Creatures") > 0) return folder;   // made earlier in the run
    db.Exec("PRAGMA cache_size = -262144");   // the whole file in memory while it is made
    db.Exec("BEGIN");
    db.Exec("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 100)"
            " INSERT INTO Categories (IDCategory, Name) SELECT i, 'Category ' || i FROM k");
    db.Exec("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 100000)"
            " INSERT INTO Creatures (IDCreature, IDCategory, Name) SELECT i, i % 100 + 1, 'Creature ' || i FROM k");
    db.Exec("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 1000)"
            " INSERT INTO Rosters (IDRoster, Name) SELECT i, 'Roster ' || i FROM k");
    // Row n names creature (n * 7919) % 100,000 + 1: 7919 is prime to
    // 100,000, so every creature comes once in each run of 100,000 rows.
    const QByteArray fill =
        QByteArray("WITH RECURSIVE k(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM k WHERE n < 999999)"
                   " INSERT INTO RosterList (IDRoster, IDCreature, Probability)"
                   " SELECT n / 1000 + 1, ") +
        (someText ? "CASE WHEN n / 100000 = n % 10 THEN ((n * 7919) % 100000 + 1) || char(160)"
                    " ELSE (n * 7919) % 100000 + 1 END"
                  : "(n * 7919) % 100000 + 1") +
        ", 0 FROM k";
    db.Exec(fill.constData());
    db.Exec("COMMIT");
    return folder;
}

// The bare work of deleting a creature: its rows that hold its ID and its
// own row, in one transaction.
void BareCreatureDeletion(const QString& path, qint32 lCreatureID) {
    BareDatabase db(path);
    db.Exec("BEGIN IMMEDIATE");
    for (const char* sql :
         {"DELETE FROM RosterList WHERE IDCreature = ?1", "DELETE FROM Creatures WHERE IDCreature = ?1"}) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db.db(), sql, -1, &s, nullptr);
        sqlite3_bind_int(s, 1, lCreatureID);
        sqlite3_step(s);
        sqlite3_finalize(s);
    }
    db.Exec("COMMIT");
}

// DeleteCreature as the window calls it, no roster open. Each iteration
// deletes two creatures of their own, one for each side, so that nothing but
// the deletion is timed. Argument 1: a tenth of the rows stored as text.
void BM_DeleteCreatureFrom1000000RosterRows(benchmark::State& state) {
    const bool someText = state.range(0) != 0;
    const QString folder = FolderWithRosterRows(someText);
    const auto counts = [&] {
        BareDatabase db(DatabaseIn(folder));
        return std::pair(db.Scalar("SELECT count(*) FROM Creatures"), db.Scalar("SELECT count(*) FROM RosterList"));
    };
    const auto [creatures, rows] = counts();
    auto w = StartMainWindow(folder);
    PairedTimer timer(someText ? 0 : 1.5);
    // The creatures not yet deleted in this run, in key order.
    static qint32 next[2] = {1, 1};
    qint32& creature = next[someText];
    for (auto _ : state) {
        const qint32 subject = creature++, baseline = creature++;
        timer.Subject(state, [&] { w->DeleteCreature(subject); });
        timer.Baseline([&] { BareCreatureDeletion(DatabaseIn(folder), baseline); });
    }
    // The program's deletions take every row of their creatures, the bare
    // ones the rows that hold the ID as a whole number.
    const qint64 deletions = state.iterations();
    const qint64 bareRows = someText ? kRowsPerCreature - 1 : kRowsPerCreature;
    if (counts() != std::pair(creatures - 2 * deletions, rows - deletions * (kRowsPerCreature + bareRows)))
        return state.SkipWithError("the creatures and their roster rows were not deleted as expected");
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_DeleteCreatureFrom1000000RosterRows)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

}  // namespace
