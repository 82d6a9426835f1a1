// Entry of the benchmarks: an offscreen application with its own settings
// folder, message boxes recorded instead of shown, then Google Benchmark.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "frame/geometry.h"
#include "frame/startup.h"
#include "mainwindow/main_window.h"
#include "platform/process_settings.h"

void InstallMessageBoxRecorder();
int RunStartUpChild(const QString& folder);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8());
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The program's own settings of the process, before any application object.
    PrepareProcess();
    // A child run of the start-up benchmark: one start of the program, as its
    // own process, ending at the first paint of the main window.
    if (argc == 3 && qstrcmp(argv[1], "--start-up-child") == 0) {
        QApplication app(argc, argv);
        return RunStartUpChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    InstallMessageBoxRecorder();
    InitTwipsPerPixel();
    giStartupDone = 1;
    glStartCreatureID = 0;
    frmMain::SetEndProgram([] {});

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
