#include "mainwindow/program_start.h"

#include <QApplication>
#include <QSessionManager>

#include "frame/splash.h"
#include "frame/startup.h"
#include "platform/end_requests.h"
#include "platform/msgbox.h"
#include "platform/own_folder.h"
#include "platform/process_settings.h"
#include "platform/single_instance.h"

bool StartProgram(const QString& sProgramDir, const QStringList& arguments, std::unique_ptr<frmMain>& mainWindow,
                  const std::function<bool()>& endRequested) {
    StartupSteps steps;
    steps.anotherInstanceRunning = [] { return AnotherInstanceRunning(); };
    steps.showSplashModal = [&] { ShowSplash(sProgramDir); };
    steps.showMainWindow = [&] {
        mainWindow = std::make_unique<frmMain>(sProgramDir);
        mainWindow->Form_Load();
        mainWindow->show();
        mainWindow->txtStatText[0]->setFocus();
    };
    steps.endRequested = endRequested;
    return Main(CommandLineText(arguments), steps);
}

int RunProgram(int argc, char** argv, const QString& programDir, const std::function<void(frmMain&)>& started) {
    const QStringList arguments = ArgumentsAsGiven(argc, argv);
    PrepareProcess();
    int qtArgc = 1;  // Qt sees the program's name only; it must outlive the application object
    QApplication app(qtArgc, argv);
    RestoreEnvironmentAfterPreparing();
    QApplication::setApplicationName(QStringLiteral("Ostravell"));
    QString folder = programDir;
    if (folder.isEmpty()) {
        // Nothing is read or written anywhere but in the program's own folder:
        // a folder that cannot be named ends the program before anything starts.
        const OwnFolder own = FindOwnFolder();
        if (own.path.isEmpty()) {
            MsgBox(own.problem, QStringLiteral("Ostravell"));
            return 1;
        }
        folder = own.path;
    }

    std::unique_ptr<frmMain> mainWindow;
    bool bEndRequested = false;  // from outside: a signal or the session manager
    bool bEnded = false;         // the window's end (its save done) has run
    frmMain::SetEndProgram([&bEnded] {
        bEnded = true;
        QCoreApplication::exit(0);
    });
    // The end that a request from outside makes: the window's own, which
    // saves the selected creature and ends the event loop. Before the window
    // exists (the start-up splash) there is nothing to save.
    const auto endAsTheWindowDoes = [&] {
        if (bEnded) return;
        if (mainWindow) mainWindow->Form_Unload();
        else QCoreApplication::exit(0);
    };
    QObject context;  // the connections below end with it, before the state they use
    const EndRequestWatch watch([&] {
        if (bEndRequested) {
            // Asked again while the first request is still at work (its error
            // box up): end now.
            QCoreApplication::exit(0);
            return;
        }
        bEndRequested = true;
        endAsTheWindowDoes();
    });
    // The session manager asks for the user's work before a logout, which may
    // still be cancelled: save, and go on running.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &context, [&](QSessionManager&) {
        if (mainWindow && !bEnded) {
            mainWindow->SaveCreatureInfo();
            mainWindow->m_bStatChanged = false;
        }
    });
    // Whatever else ends the event loop, the window's end runs first.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &context, [&] {
        bEndRequested = true;
        endAsTheWindowDoes();
    });

    int status = 0;
    if (StartProgram(folder, arguments, mainWindow, [&] { return bEndRequested; }) && !bEndRequested) {
        if (started) started(*mainWindow);
        // An end asked for during the window's start has already run.
        if (!bEndRequested) status = app.exec();
    }
    mainWindow.reset();
    frmMain::SetEndProgram({});
    ReleaseInstanceLock();
    return bEndRequested ? 0 : status;
}
