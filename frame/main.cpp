// The program's entry: starts the frame and shows the main window.
#include <QApplication>
#include <memory>

#include "mainwindow/program_start.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostravell"));

    std::unique_ptr<frmMain> mainWindow;
    if (!StartProgram(QCoreApplication::applicationDirPath(), QCoreApplication::arguments(), mainWindow)) return 0;
    return app.exec();
}
