#include "mainwindow/program_start.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <utility>

#include "frame/splash.h"
#include "frame/startup.h"
#include "platform/end_requests.h"
#include "platform/msgbox.h"
#include "platform/own_folder.h"
#include "platform/process_settings.h"
#include "platform/single_instance.h"

namespace {

// The window whose sheet is saved when the process exits while the window is
// up and its own end has not run: Qt ends the process with exit(1) when the
// display goes away (the X server or the remote session ends), and no
// handler of the window runs then. Plain data, which nothing destroys at exit.
frmMain* g_pSavedAtExit = nullptr;
pthread_t g_windowThread;

// Runs among the process's exit handlers. No window or box can be shown any
// more, so the error of a failed save goes to standard error. What the save
// uses outlives this handler: the window itself (exit() unwinds no stack),
// the message-box handler's slot (made before main), the database engine
// object (trivially destroyed); SQLite keeps no state that exit tears down.
extern "C" void SaveAtExit() {
    frmMain* w = std::exchange(g_pSavedAtExit, nullptr);
    if (!w) return;
    if (!pthread_equal(pthread_self(), g_windowThread)) {
        // The window belongs to another thread, which may be in the middle of anything.
        std::fputs("Ostravell: ended from outside the window's thread; the shown creature was not saved.\n", stderr);
        return;
    }
    SetMsgBoxHandler([](const QString& prompt, const QString& title) {
        std::fprintf(stderr, "Ostravell: %s: %s\n", qUtf8Printable(title), qUtf8Printable(prompt));
    });
    w->SaveCreatureInfo();
    w->m_bStatChanged = false;
}

// From now until DisarmSaveAtExit, an exit of the process saves this window's sheet.
void ArmSaveAtExit(frmMain* w) {
    static bool bRegistered = false;
    if (!bRegistered) bRegistered = std::atexit(SaveAtExit) == 0;
    g_windowThread = pthread_self();
    g_pSavedAtExit = w;
}

void DisarmSaveAtExit() { g_pSavedAtExit = nullptr; }

}  // namespace

bool StartProgram(const QString& sProgramDir, const QStringList& arguments, std::unique_ptr<frmMain>& mainWindow,
                  const std::function<bool()>& endRequested) {
    StartupSteps steps;
    steps.anotherInstanceRunning = [] { return AnotherInstanceRunning(); };
    steps.showSplashModal = [&] { ShowSplash(sProgramDir); };
    steps.showMainWindow = [&] {
        mainWindow = std::make_unique<frmMain>(sProgramDir);
        mainWindow->Form_Load();
        mainWindow->show();
        // The window the user works in from the start, with or without the
        // splash before it: where no window manager activates a new window,
        // its focus would move without its boxes hearing of it.
        mainWindow->activateWindow();
        mainWindow->txtStatText[0]->setFocus();
    };
    steps.endRequested = endRequested;
    return Main(CommandLineText(arguments), steps);
}

int RunProgram(int argc, char** argv, const QString& programDir, const std::function<void(frmMain&)>& started) {
    // A request to end that comes at any moment from here on is heard: during
    // the start it ends the program before the window shows, after the
    // window's end it is the end already under way.
    TakeEndRequests();
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
        DisarmSaveAtExit();  // the window's end has saved
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
        ArmSaveAtExit(mainWindow.get());
        if (started) started(*mainWindow);
        // An end asked for during the window's start has already run.
        if (!bEndRequested) status = app.exec();
    }
    DisarmSaveAtExit();
    mainWindow.reset();
    frmMain::SetEndProgram({});
    ReleaseInstanceLock();
    return bEndRequested ? 0 : status;
}
