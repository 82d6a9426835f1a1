#include "mainwindow/program_start.h"

#include "frame/splash.h"
#include "frame/startup.h"
#include "platform/single_instance.h"

bool StartProgram(const QString& sProgramDir, const QStringList& arguments, std::unique_ptr<frmMain>& mainWindow) {
    StartupSteps steps;
    steps.anotherInstanceRunning = [] { return AnotherInstanceRunning(); };
    steps.showSplashModal = [&] { ShowSplash(sProgramDir); };
    steps.showMainWindow = [&] {
        mainWindow = std::make_unique<frmMain>(sProgramDir);
        mainWindow->Form_Load();
        mainWindow->show();
        mainWindow->txtStatText[0]->setFocus();
    };
    return Main(CommandLineText(arguments), steps);
}
