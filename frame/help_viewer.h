#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Starts a program detached with its arguments, each passed as one argument
// (no shell). Returns whether it could be started.
using TextFileLauncher = std::function<bool(const QString& sProgram, const QStringList& asArgs)>;

// Opens a text file in the desktop's opener beside the program; does not wait
// and ignores whether the opener found the file.
void ShowTextFile(const QString& sPath);

// Replaces the launcher (tests install a recorder); returns the previous one.
// An empty launcher restores the real one.
TextFileLauncher SetTextFileLauncher(TextFileLauncher launcher);
