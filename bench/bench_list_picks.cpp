// Picking from the pop-up lists on a database of 100,000 creatures: a category
// of 10,000 creatures, and one creature.
#include <QApplication>

#include <sqlite3.h>

#include <algorithm>

#include "bench_support.h"
#include "mainwindow/main_window.h"

namespace {

qint32 BiggestCategory(const QString& folder) {
    BareDatabase db(DatabaseIn(folder));
    return qint32(db.Scalar("SELECT IDCategory FROM Creatures GROUP BY IDCategory ORDER BY count(*) DESC LIMIT 1"));
}

// The bare work a category's list needs: its creatures' names and IDs, read
// and sorted the way the list sorts them.
void BareCategoryRead(const QString& path, qint32 lCatID) {
    BareDatabase db(path);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.db(), "SELECT IDCreature, Name FROM Creatures WHERE IDCategory = ?1", -1, &s, nullptr);
    sqlite3_bind_int(s, 1, lCatID);
    std::vector<std::pair<QString, qint32>> rows;
    while (sqlite3_step(s) == SQLITE_ROW)
        rows.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)),
                                            sqlite3_column_bytes(s, 1)),
                          sqlite3_column_int(s, 0));
    sqlite3_finalize(s);
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    benchmark::DoNotOptimize(rows.data());
}

// The bare work of showing a creature: its whole row read as text.
void BareCreatureRead(const QString& path, qint32 lCreatureID) {
    BareDatabase db(path);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.db(), "SELECT * FROM Creatures WHERE IDCreature = ?1", -1, &s, nullptr);
    sqlite3_bind_int(s, 1, lCreatureID);
    QStringList values;
    if (sqlite3_step(s) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                        sqlite3_column_bytes(s, c));
    sqlite3_finalize(s);
    benchmark::DoNotOptimize(values.data());
}

// lstCategory_Click on the category of 10,000 creatures: the creature list
// filled, the first creature loaded, page 0 shown.
void BM_PickCategoryOf10000(benchmark::State& state) {
    const QString folder = ProgramFolder(DatabaseKind::Large);
    const qint32 lBigID = BiggestCategory(folder);
    auto w = StartMainWindow(folder);
    const int row = RowOfItemData(w->lstCategory, lBigID);
    if (row < 0) return state.SkipWithError("the big category is not listed");
    PairedTimer timer(3.0);
    for (auto _ : state) {
        w->lstCategory->setListIndex(-1);
        timer.Subject(state, [&] { w->lstCategory->setListIndex(row); });
        timer.Baseline([&] { BareCategoryRead(DatabaseIn(folder), lBigID); });
    }
    if (w->lstCreature->ListCount() != 10000) return state.SkipWithError("the category did not list 10,000 creatures");
    if (w->lstCreature->ListIndex() != 0) return state.SkipWithError("the first creature is not selected");
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_PickCategoryOf10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// lstCreature_Click: the creature's record loaded into the sheet, page 0 shown.
void BM_PickCreature(benchmark::State& state) {
    const QString folder = ProgramFolder(DatabaseKind::Large);
    auto w = StartMainWindow(folder);   // the first category is listed, its first creature shown
    const int nCreatures = w->lstCreature->ListCount();
    if (nCreatures < 100) return state.SkipWithError("too few creatures listed");
    PairedTimer timer(5.0);
    int row = 0;
    for (auto _ : state) {
        row = 1 + (row + 37) % (nCreatures - 1);
        const qint32 lID = w->lstCreature->ItemData(row);
        w->lstCreature->setListIndex(-1);
        timer.Subject(state, [&] { w->lstCreature->setListIndex(row); });
        timer.Baseline([&] { BareCreatureRead(DatabaseIn(folder), lID); });
    }
    if (w->lblName->caption() != w->lstCreature->List(row)) return state.SkipWithError("the creature was not shown");
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_PickCreature)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace
