#pragma once
// The program's start: single instance, screen factors, the start creature
// from the command line or else the start-up splash, then the main window.
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

// 0 while the start-up splash may be up, 1 from just before the main window is shown.
extern qint16 giStartupDone;
// The creature to show at start; 0 means none.
extern qint32 glStartCreatureID;

// The program's arguments as typed: argv after the program's name, read
// before the application object exists, which would take its own options
// (-name, -style, -reverse, -session, ...) out of argv. The program's name first.
QStringList ArgumentsAsGiven(int argc, char** argv);

// The command line: the arguments after the program's name, joined by single blanks.
QString CommandLineText(const QStringList& arguments);

struct StartupSteps {
    std::function<bool()> anotherInstanceRunning;  // the running-instance test
    std::function<void()> showSplashModal;         // returns when the splash has closed
    std::function<void()> showMainWindow;          // shows the main window modelessly
    // True once the process has been asked to end (a signal while the splash
    // was up): the start then stops without showing the main window.
    std::function<bool()> endRequested;
};

// Runs the start in its fixed order. Returns false when the program must end
// at once (another instance is running, or the end was asked for while the
// splash was up); nothing more has happened then.
bool Main(const QString& commandLine, const StartupSteps& steps);
