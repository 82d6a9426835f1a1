#pragma once
// The whole program's start on its folder, as the executable runs it: the
// single-instance test, the start creature from the command line or else the
// start-up splash, then the main window, loaded, shown and with the focus in
// the first statistic box.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "mainwindow/main_window.h"

// arguments: the full command line, the program's own name first.
// The main window is created into mainWindow. Returns false when the program
// must end at once: another instance is running, or endRequested (when given)
// said true once the start-up splash had closed.
bool StartProgram(const QString& sProgramDir, const QStringList& arguments, std::unique_ptr<frmMain>& mainWindow,
                  const std::function<bool()>& endRequested = {});

// The program's run from its entry to its end; returns the exit status.
// Reads the command line from argv before the application object exists and
// gives that object the program's name alone, so Qt takes none of the
// arguments for its own options. Until the end, a request from outside to end
// (a signal that would end the process and reports no crash, see
// platform/end_requests.h; the session manager) saves the selected creature
// exactly as closing the window does, and the program then ends with status 0.
// An exit() made while the window is up and its end has not run (Qt's, when
// the display goes away) saves the selected creature first too, with the
// error of a failed save on standard error, and keeps the status exit() gave.
// These ends remove the single-instance lock file.
// programDir: the program's folder; empty for the executable's own folder,
// where a folder whose name is not valid UTF-8 (or that cannot be found) is
// named in a message box and the program ends with status 1 at once.
// started: when given, called once the main window is up, before the event
// loop runs (tests drive the running program from there).
int RunProgram(int argc, char** argv, const QString& programDir = {},
               const std::function<void(frmMain& mainWindow)>& started = {});
