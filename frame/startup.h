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

// Settings of the process made before the application object exists, by the
// program and by every other executable that shows its windows (tests,
// benchmarks), so that all of them lay the windows out alike:
// - Qt's own scaling of whole windows is off. The windows are placed from
//   tables of whole pixels, converted with the screen's twips per pixel, and
//   their fonts are set in points from the same factor; scaling the result
//   again would make every window larger than its table (1.25 times at 120 dpi).
// - A write past the file-size limit fails with an error, which the operation
//   reports in its own error box as on a full disk, instead of ending the
//   process with SIGXFSZ.
void PrepareProcess();
// Called once the application object exists: gives the environment variables
// that PrepareProcess changed back their former values, so programs started
// from this one (the viewer of the help text) scale as the user set them.
void RestoreEnvironmentAfterPreparing();

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
