// The program's entry: starts the frame and shows the main window.
#include <QApplication>
#include <QIcon>
#include <memory>

#include "frame/splash.h"
#include "frame/startup.h"
#include "mainwindow/main_window.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostravell"));
    const QString programDir = QCoreApplication::applicationDirPath();

    std::unique_ptr<frmMain> mainWindow;
    StartupSteps steps;
    steps.anotherInstanceRunning = [] { return AnotherInstanceRunning(); };
    steps.showSplashModal = [&] { ShowSplash(programDir); };
    steps.showMainWindow = [&] {
        mainWindow = std::make_unique<frmMain>(programDir);
        mainWindow->Form_Load();
        mainWindow->show();
        mainWindow->txtStatText[0]->setFocus();
    };
    if (!Main(CommandLineText(QCoreApplication::arguments()), steps)) return 0;
    return app.exec();
}
