// cmake --install: a complete program folder that runs wherever it is moved,
// and an install over a folder in use that keeps the user's data.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "support/file_access.h"

namespace {

const QStringList kFolderFiles{"OVHelp.txt", "Ostravell.cfg", "Ostravell.mdb", "ostravell"};

void Install(const QString& folder) {
    QProcess run;
    run.start(QStringLiteral(OV_CMAKE_COMMAND),
              {QStringLiteral("--install"), QStringLiteral(OV_BINARY_DIR), QStringLiteral("--prefix"), folder});
    ASSERT_TRUE(run.waitForFinished(120000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
}

QStringList Files(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

TEST(Install, LaysOutAProgramFolderThatRunsWhereverItIsMoved) {
    QTemporaryDir top;
    const QString folder = top.filePath(QStringLiteral("Ostravell"));
    Install(folder);
    ASSERT_EQ(Files(folder), kFolderFiles);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/ostravell")).isExecutable());
    EXPECT_EQ(ReadBytes(folder + QStringLiteral("/Ostravell.mdb")),
              ReadBytes(QStringLiteral(OV_BINARY_DIR "/sample/Ostravell.mdb")));
    EXPECT_EQ(ReadBytes(folder + QStringLiteral("/Ostravell.cfg")),
              ReadBytes(QStringLiteral(OV_SOURCE_DIR "/data/Ostravell.cfg")));

    // Moved elsewhere, under a name with a blank, it starts and keeps running
    // on its own files, and leaves them as they were.
    const QString moved = top.filePath(QStringLiteral("Games/My Ostravell"));
    ASSERT_TRUE(QDir().mkpath(top.filePath(QStringLiteral("Games"))));
    ASSERT_TRUE(QDir().rename(folder, moved));
    const QByteArray database = ReadBytes(moved + QStringLiteral("/Ostravell.mdb"));
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime.path());
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(top.path());
    program.start(moved + QStringLiteral("/ostravell"), {QStringLiteral("1")});
    ASSERT_TRUE(program.waitForStarted(10000));
    EXPECT_FALSE(program.waitForFinished(3000)) << "the installed program ended at once: "
                                                << program.readAllStandardError().toStdString();
    program.kill();
    program.waitForFinished(10000);
    EXPECT_EQ(Files(moved), kFolderFiles);
    EXPECT_EQ(ReadBytes(moved + QStringLiteral("/Ostravell.mdb")), database);
}

TEST(Install, AnInstallOverAFolderInUseKeepsTheUsersData) {
    QTemporaryDir top;
    const QString folder = top.filePath(QStringLiteral("Ostravell"));
    Install(folder);
    const QByteArray usersDatabase = "the user's years of campaign notes";
    const QByteArray usersLabels = "\"Field0=Height\"\r\n";
    WriteBytes(folder + QStringLiteral("/Ostravell.mdb"), usersDatabase);
    WriteBytes(folder + QStringLiteral("/Ostravell.cfg"), usersLabels);
    WriteBytes(folder + QStringLiteral("/OVHelp.txt"), "old help");

    Install(folder);
    EXPECT_EQ(ReadBytes(folder + QStringLiteral("/Ostravell.mdb")), usersDatabase);
    EXPECT_EQ(ReadBytes(folder + QStringLiteral("/Ostravell.cfg")), usersLabels);
    // The help text is the program's own and is brought up to date.
    EXPECT_EQ(ReadBytes(folder + QStringLiteral("/OVHelp.txt")), ReadBytes(QStringLiteral(OV_SOURCE_DIR "/data/OVHelp.txt")));
}

}  // namespace
