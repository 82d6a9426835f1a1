#include "frame/startup.h"

#include <csignal>
#include <optional>

#include "frame/geometry.h"
#include "frame/number_parsing.h"

qint16 giStartupDone = 0;
qint32 glStartCreatureID = 0;

namespace {
// The environment variables by which Qt scales windows, with the values they
// had before PrepareProcess (none: unset).
struct SavedVariable {
    const char* name;
    std::optional<QByteArray> value;
};
SavedVariable g_saved[] = {
    {"QT_ENABLE_HIGHDPI_SCALING", std::nullopt},
    {"QT_SCALE_FACTOR", std::nullopt},
    {"QT_SCREEN_SCALE_FACTORS", std::nullopt},
};
bool g_bPrepared = false;
}  // namespace

void PrepareProcess() {
    if (!g_bPrepared) {
        for (SavedVariable& v : g_saved)
            v.value = qEnvironmentVariableIsSet(v.name) ? std::optional<QByteArray>(qgetenv(v.name)) : std::nullopt;
        g_bPrepared = true;
    }
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    std::signal(SIGXFSZ, SIG_IGN);
}

void RestoreEnvironmentAfterPreparing() {
    if (!g_bPrepared) return;
    for (const SavedVariable& v : g_saved) {
        if (v.value) qputenv(v.name, *v.value);
        else qunsetenv(v.name);
    }
}

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
