// ostravell-shot: the picture of the main window that opens the README.
//
//   ostravell-shot PROGRAM_FOLDER OUT.png
//
// Starts the program on the folder (which should hold the sample database)
// offscreen, as its executable starts it, opens the first roster so that the
// picture shows the roster panel at work, and writes the window as a PNG file.
// The settings and runtime folders are private to this run, so a running
// Ostravell or a sibling's pending message is never touched.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "mainwindow/program_start.h"
#include "platform/process_settings.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ostravell-shot PROGRAM_FOLDER OUT.png\n");
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid() || !QDir().mkpath(home.path() + QStringLiteral("/runtime"))) {
        std::fprintf(stderr, "ostravell-shot: cannot make a temporary folder\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path() + QStringLiteral("/runtime")));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    PrepareProcess();
    QApplication app(argc, argv);
    RestoreEnvironmentAfterPreparing();
    const QString programDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString out = QString::fromLocal8Bit(argv[2]);

    // A command line that names no creature skips the start-up splash.
    std::unique_ptr<frmMain> window;
    if (!StartProgram(programDir, {QStringLiteral("ostravell"), QStringLiteral("-")}, window) || !window) {
        std::fprintf(stderr, "ostravell-shot: the program did not start\n");
        return 1;
    }
    if (window->lstRoster->ListCount() > 0) window->lstRoster->setListIndex(0);
    QApplication::processEvents();

    QDir().mkpath(QFileInfo(out).absolutePath());
    if (!window->grab().save(out, "PNG")) {
        std::fprintf(stderr, "ostravell-shot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
