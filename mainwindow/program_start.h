#pragma once
// The whole program's start on its folder, as the executable runs it: the
// single-instance test, the start creature from the command line or else the
// start-up splash, then the main window, loaded, shown and with the focus in
// the first statistic box.
#include <QString>
#include <QStringList>
#include <memory>

#include "mainwindow/main_window.h"

// arguments: the full command line, the program's own name first.
// The main window is created into mainWindow. Returns false when the program
// must end at once because another instance is running.
bool StartProgram(const QString& sProgramDir, const QStringList& arguments, std::unique_ptr<frmMain>& mainWindow);
