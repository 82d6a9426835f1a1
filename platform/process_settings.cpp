#include "platform/process_settings.h"

#include <QByteArray>
#include <QtGlobal>

#include <csignal>
#include <optional>

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

// Does nothing: the signal then only makes the write that raised it fail.
// Unlike an ignored signal, a handled one is not handed on to the programs
// this one starts (the viewer of the help text).
extern "C" void WriteFailed(int) {}
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
    struct sigaction writeFailed = {};
    writeFailed.sa_handler = WriteFailed;
    sigemptyset(&writeFailed.sa_mask);
    writeFailed.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &writeFailed, nullptr);
}

void RestoreEnvironmentAfterPreparing() {
    if (!g_bPrepared) return;
    for (const SavedVariable& v : g_saved) {
        if (v.value) qputenv(v.name, *v.value);
        else qunsetenv(v.name);
    }
}
