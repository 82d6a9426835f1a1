// Entry point shared by every test executable: an offscreen QApplication, a
// private settings and runtime folder per process, and message boxes recorded
// instead of shown. Started as a program child (support/program_child.h), it
// runs the program itself instead.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "platform/process_settings.h"
#include "support/msgbox_recorder.h"
#include "support/program_child.h"

int main(int argc, char** argv) {
    if (IsProgramChild()) return RunProgramChild(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8());
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The same settings as the program's (Qt's scaling of windows off among them).
    PrepareProcess();
    QApplication app(argc, argv);
    RestoreEnvironmentAfterPreparing();
    ::testing::InitGoogleTest(&argc, argv);
    MsgBoxRecorder::installDefault();
    return RUN_ALL_TESTS();
}
