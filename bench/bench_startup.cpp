// Start-up to the first painted window with a database of 100,000 creatures,
// against the same start-up with an empty database.
#include <QApplication>
#include <QProcess>

#include <cstdlib>

#include "bench_support.h"
#include "frame/geometry.h"
#include "frame/startup.h"
#include "mainwindow/main_window.h"

// One start as the program makes it when its command line names no creature
// (the splash left out): screen factors, the main window created, loaded and
// shown with the focus on the first statistic box, then painted once. The
// process ends right there; nothing after the first paint is counted.
int RunStartUpChild(const QString& folder) {
    QApplication::setApplicationName(QStringLiteral("Ostravell"));
    InitTwipsPerPixel();
    giStartupDone = 1;
    auto w = StartMainWindow(folder);
    w->txtStatText[0]->setFocus();
    std::_Exit(TakeMessageBoxes().isEmpty() ? 0 : 3);
}

namespace {

// A whole start of the program in a process of its own, from launch to the
// first painted window.
void StartProcess(const QString& folder) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start-up-child"), folder});
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "ov_bench: the start-up child on %s failed\n", qPrintable(folder));
        std::exit(2);
    }
}

void BM_StartUpWith100000(benchmark::State& state) {
    const QString large = ProgramFolder(DatabaseKind::Large);
    const QString empty = ProgramFolder(DatabaseKind::Empty);
    StartProcess(empty);   // the system's caches (fonts, libraries) warmed alike for both
    StartProcess(large);
    PairedTimer timer(1.5);
    for (auto _ : state) {
        timer.Subject(state, [&] { StartProcess(large); });
        timer.Baseline([&] { StartProcess(empty); });
    }
    timer.Report(state);
}
BENCHMARK(BM_StartUpWith100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// The window's own part of the start inside a running program (no process
// launch, fonts and pictures already loaded): Form_Load, showing and the first
// paint. Shows what the large file adds; it has no goal of its own.
void BM_WindowStartWith100000(benchmark::State& state) {
    const QString large = ProgramFolder(DatabaseKind::Large);
    const QString empty = ProgramFolder(DatabaseKind::Empty);
    StartMainWindow(empty).reset();
    StartMainWindow(large).reset();
    QApplication::processEvents();
    PairedTimer timer(0);
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
BENCHMARK(BM_WindowStartWith100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
