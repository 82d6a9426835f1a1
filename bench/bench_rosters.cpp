// The roster panel with rosters of 1,000 entries whose names are 60 to 100
// characters long: opening one, and saving one.
#include <QFontMetrics>

#include <sqlite3.h>

#include "bench_support.h"
#include "frame/geometry.h"
#include "mainwindow/main_window.h"

namespace {

qint32 FirstRosterOf1000(const QString& folder) {
    BareDatabase db(DatabaseIn(folder));
    return qint32(db.Scalar("SELECT IDRoster FROM RosterList GROUP BY IDRoster HAVING count(*) = 1000 ORDER BY IDRoster LIMIT 1"));
}

// The bare work of opening a roster: its entries and their creatures' names
// read, and each name shortened once by Qt to the width of a roster line.
void BareRosterOpen(const QString& path, qint32 lRosterID, const QFont& font) {
    BareDatabase db(path);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.db(),
                       "SELECT c.IDCreature, c.Name FROM RosterList r JOIN Creatures c ON c.IDCreature = r.IDCreature"
                       " WHERE r.IDRoster = ?1 ORDER BY r.rowid",
                       -1, &s, nullptr);
    sqlite3_bind_int(s, 1, lRosterID);
    QStringList names;
    QList<qint32> ids;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ids << sqlite3_column_int(s, 0);
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)), sqlite3_column_bytes(s, 1));
    }
    sqlite3_finalize(s);
    const QFontMetrics fm(font);
    const int width = 3000 / glTwipsPerPixelX;   // a roster line: 3000 twips
    for (QString& name : names) name = fm.elidedText(name, Qt::ElideRight, width);
    benchmark::DoNotOptimize(names.data());
}

// The bare work of saving a roster: its rows deleted and the entries inserted
// again, in one transaction.
void BareRosterSave(const QString& path, qint32 lRosterID, const QList<qint32>& creatureIDs) {
    BareDatabase db(path);
    db.Exec("BEGIN IMMEDIATE");
    sqlite3_stmt* del = nullptr;
    sqlite3_prepare_v2(db.db(), "DELETE FROM RosterList WHERE IDRoster = ?1", -1, &del, nullptr);
    sqlite3_bind_int(del, 1, lRosterID);
    sqlite3_step(del);
    sqlite3_finalize(del);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db.db(), "INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, ?2, 0)", -1,
                       &ins, nullptr);
    for (qint32 id : creatureIDs) {
        sqlite3_bind_int(ins, 1, lRosterID);
        sqlite3_bind_int(ins, 2, id);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    db.Exec("COMMIT");
}

// lstRoster_Click: the entries loaded, every name shortened to fit a line, the panel shown.
void BM_OpenRosterOf1000(benchmark::State& state) {
    const QString folder = ProgramFolder(DatabaseKind::Large);
    const qint32 lRosterID = FirstRosterOf1000(folder);
    auto w = StartMainWindow(folder);
    const int row = RowOfItemData(w->lstRoster, lRosterID);
    if (row < 0) return state.SkipWithError("the roster is not listed");
    PairedTimer timer(3.0);
    for (auto _ : state) {
        w->lstRoster->setListIndex(-1);
        timer.Subject(state, [&] { w->lstRoster->setListIndex(row); });
        timer.Baseline([&] { BareRosterOpen(DatabaseIn(folder), lRosterID, w->lblSizing->font()); });
    }
    if (w->m_nRosterCount != 1000) return state.SkipWithError("the roster did not open with 1,000 entries");
    if (w->lblRosterEntry[0]->caption().isEmpty()) return state.SkipWithError("the roster panel shows nothing");
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_OpenRosterOf1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// SaveRoster of the open roster of 1,000 entries. Argument 0: the file in
// memory (the work of the program alone); 1: on disk, where the commit's sync
// comes on top for both.
void BM_SaveRosterOf1000(benchmark::State& state) {
    const bool onDisk = state.range(0) != 0;
    const QString folder = CopyOfProgramFolder(DatabaseKind::Large,
                                               onDisk ? QStringLiteral("roster-save-disk") : QStringLiteral("roster-save"),
                                               onDisk);
    const qint32 lRosterID = FirstRosterOf1000(folder);
    auto w = StartMainWindow(folder);
    const int row = RowOfItemData(w->lstRoster, lRosterID);
    if (row < 0) return state.SkipWithError("the roster is not listed");
    w->lstRoster->setListIndex(row);
    if (w->m_nRosterCount != 1000) return state.SkipWithError("the roster did not open with 1,000 entries");
    const QList<qint32> ids = w->m_alRosterCreatureID;
    PairedTimer timer(1.5);
    for (auto _ : state) {
        timer.Subject(state, [&] { w->SaveRoster(); });
        timer.Baseline([&] { BareRosterSave(DatabaseIn(folder), lRosterID, ids); });
    }
    {
        BareDatabase db(DatabaseIn(folder));
        const QByteArray sql = "SELECT count(*) FROM RosterList WHERE IDRoster = " + QByteArray::number(lRosterID);
        if (db.Scalar(sql.constData()) != 1000) return state.SkipWithError("the roster was not stored with 1,000 rows");
    }
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_SaveRosterOf1000)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
