// Start-up to the first painted window with a database of 100,000 creatures,
// against the same start-up with an empty database.
#include <QApplication>

#include "bench_support.h"
#include "mainwindow/main_window.h"

namespace {

void StartAndClose(const QString& folder) {
    auto w = StartMainWindow(folder);
    benchmark::DoNotOptimize(w.get());
    w.reset();
    QApplication::processEvents();
}

void BM_StartUpWith100000(benchmark::State& state) {
    const QString large = ProgramFolder(DatabaseKind::Large);
    const QString empty = ProgramFolder(DatabaseKind::Empty);
    // The first window of a run loads fonts and pictures for good: not counted.
    StartAndClose(empty);
    StartAndClose(large);
    PairedTimer timer(1.5);
    std::unique_ptr<frmMain> w;
    for (auto _ : state) {
        timer.Subject(state, [&] { w = StartMainWindow(large); });
        w.reset();
        QApplication::processEvents();
        timer.Baseline([&] { w = StartMainWindow(empty); });
        w.reset();
        QApplication::processEvents();
    }
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_StartUpWith100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
