#include "frame/startup.h"

#include "frame/geometry.h"
#include "frame/number_parsing.h"

qint16 giStartupDone = 0;
qint32 glStartCreatureID = 0;

QStringList ArgumentsAsGiven(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc && argv[i]; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString CommandLineText(const QStringList& arguments) { return arguments.mid(1).join(QLatin1Char(' ')); }

bool Main(const QString& commandLine, const StartupSteps& steps) {
    if (steps.anotherInstanceRunning && steps.anotherInstanceRunning()) return false;
    InitTwipsPerPixel();
    giStartupDone = 0;
    if (!commandLine.isEmpty()) {
        glStartCreatureID = ReadStartCreatureID(commandLine);
    } else if (steps.showSplashModal) {
        steps.showSplashModal();
        if (steps.endRequested && steps.endRequested()) return false;
    }
    giStartupDone = 1;
    if (steps.showMainWindow) steps.showMainWindow();
    return true;
}
