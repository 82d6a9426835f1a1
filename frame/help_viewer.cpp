#include "frame/help_viewer.h"

#include <QProcess>

#include <utility>

namespace {

bool LaunchDetached(const QString& sProgram, const QStringList& asArgs) {
    return QProcess::startDetached(sProgram, asArgs);
}

TextFileLauncher& CurrentLauncher() {
    static TextFileLauncher launcher = LaunchDetached;
    return launcher;
}

}  // namespace

void ShowTextFile(const QString& sPath) {
    CurrentLauncher()(QStringLiteral("xdg-open"), QStringList{sPath});
}

TextFileLauncher SetTextFileLauncher(TextFileLauncher launcher) {
    if (!launcher) launcher = LaunchDetached;
    return std::exchange(CurrentLauncher(), std::move(launcher));
}
