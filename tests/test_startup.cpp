// The program's start: the order of Main's steps with the command line, and a
// second real instance that ends at once while the first runs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "frame/geometry.h"
#include "frame/startup.h"

namespace {

// Runs Main with recording steps; every step notes the start-up state it saw.
struct MainRun {
    std::vector<std::string> log;
    bool anotherInstance = false;
    bool result = false;

    explicit MainRun(const QString& commandLine, bool another = false) : anotherInstance(another) {
        glTwipsPerPixelX = glTwipsPerPixelY = 0;
        giStartupDone = -1;
        glStartCreatureID = 0;
        StartupSteps steps;
        steps.anotherInstanceRunning = [this] {
            log.push_back("instance test");
            return anotherInstance;
        };
        steps.showSplashModal = [this] {
            log.push_back("splash done=" + std::to_string(giStartupDone) + " tpp=" + std::to_string(glTwipsPerPixelY));
        };
        steps.showMainWindow = [this] {
            log.push_back("main window done=" + std::to_string(giStartupDone) + " id=" + std::to_string(glStartCreatureID) +
                          " tpp=" + std::to_string(glTwipsPerPixelX) + "/" + std::to_string(glTwipsPerPixelY));
        };
        result = Main(commandLine, steps);
    }
};

}  // namespace

TEST(MainOrder, EmptyCommandLineShowsTheSplashThenTheMainWindow) {
    MainRun run("");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.log, std::vector<std::string>({"instance test", "splash done=0 tpp=15", "main window done=1 id=0 tpp=15/15"}));
    EXPECT_EQ(giStartupDone, 1);
}

TEST(MainOrder, NumberOnTheCommandLineSkipsTheSplash) {
    MainRun run("123");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.log, std::vector<std::string>({"instance test", "main window done=1 id=123 tpp=15/15"}));
    EXPECT_EQ(glStartCreatureID, 123);
}

TEST(MainOrder, AnyNonEmptyCommandLineSkipsTheSplash) {
    const std::pair<QString, int> cases[] = {
        {"letters", 0}, {"-", 0}, {" ", 0}, {"  1 5", 15}, {"12.5", 12}, {"13.5", 14}, {"-7", -7}, {"99999999999", 0},
    };
    for (const auto& [commandLine, id] : cases) {
        MainRun run(commandLine);
        EXPECT_TRUE(run.result);
        EXPECT_EQ(run.log, std::vector<std::string>({"instance test", "main window done=1 id=" + std::to_string(id) + " tpp=15/15"}))
            << '"' << commandLine.toStdString() << '"';
    }
}

TEST(MainOrder, AnotherInstanceRunningDoesNothingAtAll) {
    for (const QString& commandLine : {QString(), QString("123")}) {
        MainRun run(commandLine, true);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.log, std::vector<std::string>({"instance test"}));
        EXPECT_EQ(glTwipsPerPixelX, 0);
        EXPECT_EQ(glTwipsPerPixelY, 0);
        EXPECT_EQ(giStartupDone, -1);
        EXPECT_EQ(glStartCreatureID, 0);
    }
}

TEST(CommandLine, TheArgumentsAfterTheProgramsNameJoinedByBlanks) {
    EXPECT_EQ(CommandLineText({"/opt/ov/ostravell"}), "");
    EXPECT_EQ(CommandLineText({}), "");
    EXPECT_EQ(CommandLineText({"ostravell", "123"}), "123");
    EXPECT_EQ(CommandLineText({"ostravell", "1", "5"}), "1 5");
    EXPECT_EQ(CommandLineText({"ostravell", "12 34", "x"}), "12 34 x");
    EXPECT_EQ(CommandLineText({"ostravell", ""}), "");
}

// ---------------------------------------------------------------- two real processes

namespace {

// A copy of the program's folder (the executable finds its files beside itself)
// and a runtime folder shared by the instances started from it.
class ProgramCopy {
public:
    ProgramCopy() {
        const QFileInfo program(QString::fromUtf8(OV_PROGRAM));
        const QDir source = program.absoluteDir();
        for (const QFileInfo& f : source.entryInfoList(QDir::Files)) {
            QFile::copy(f.absoluteFilePath(), m_dir.filePath(f.fileName()));
            QFile::setPermissions(m_dir.filePath(f.fileName()), f.permissions());
        }
        m_program = m_dir.filePath(program.fileName());
        QDir().mkpath(runtimeDir());
        QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QDir().mkpath(m_dir.filePath("config"));
    }
    bool ok() const { return m_dir.isValid() && QFileInfo(m_program).isExecutable(); }
    QString runtimeDir() const { return m_dir.filePath("runtime"); }

    // Starts an instance with the given arguments, offscreen.
    std::unique_ptr<QProcess> start(const QStringList& args) const {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtimeDir());
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(m_program, args);
        return p;
    }

    // Waits until a running instance has taken the runtime folder's lock.
    bool waitForLock(QProcess& p) const {
        for (int i = 0; i < 200 && p.state() == QProcess::Running; ++i) {
            if (!QDir(runtimeDir()).entryList(QDir::Files).isEmpty()) return true;
            QTest::qWait(50);
        }
        return false;
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
};

}  // namespace

TEST(SingleInstance, SecondInstanceEndsAtOnceWhileTheFirstRuns) {
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    auto first = copy.start({"1"});
    ASSERT_TRUE(first->waitForStarted(10000));
    ASSERT_TRUE(copy.waitForLock(*first)) << first->exitCode() << " " << first->errorString().toStdString() << " "
                                          << first->readAll().toStdString();

    auto second = copy.start({"1"});
    ASSERT_TRUE(second->waitForStarted(10000));
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);

    // An empty command line would show the splash: the second ends before it.
    auto third = copy.start({});
    ASSERT_TRUE(third->waitForStarted(10000));
    ASSERT_TRUE(third->waitForFinished(20000));
    EXPECT_EQ(third->exitCode(), 0);

    // The first goes on.
    EXPECT_FALSE(first->waitForFinished(500));
    EXPECT_EQ(first->state(), QProcess::Running);
    first->kill();
    first->waitForFinished(10000);
}

TEST(SingleInstance, LockOfACrashedRunIsTakenOver) {
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    auto crashed = copy.start({"1"});
    ASSERT_TRUE(crashed->waitForStarted(10000));
    ASSERT_TRUE(copy.waitForLock(*crashed));
    crashed->kill();  // no clean-up: the lock file stays behind
    ASSERT_TRUE(crashed->waitForFinished(10000));
    ASSERT_FALSE(QDir(copy.runtimeDir()).entryList(QDir::Files).isEmpty());

    auto next = copy.start({"1"});
    ASSERT_TRUE(next->waitForStarted(10000));
    // It runs instead of ending as a second instance would.
    EXPECT_FALSE(next->waitForFinished(3000)) << next->readAll().toStdString();
    EXPECT_EQ(next->state(), QProcess::Running);
    next->kill();
    next->waitForFinished(10000);
}
