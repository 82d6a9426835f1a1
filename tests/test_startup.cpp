// The program's start and end: the order of Main's steps with the command
// line; the running program as a process of its own, with its command line as
// typed, its layout at 96 and 120 dpi, its place on an X server with and
// without a window manager, its saves as a user's clicks move the focus there
// after the start and after a modal window, its save when a signal or an exit()
// ends it and under a file-size limit, its refusal of a folder it cannot name;
// a second real instance that ends at once while the first runs, copies
// started at once over whatever stands at the lock's path, and the end-signal
// watch's pipe, which outlives the watch.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <pwd.h>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include "frame/geometry.h"
#include "frame/startup.h"
#include "platform/end_requests.h"
#include "platform/lock_file.h"
#include "store/creature_record.h"
#include "support/program_child.h"
#include "support/program_folder.h"

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

// ---------------------------------------------------------------- the running program

namespace {

// A program folder with one creature in one category; its ID is the start creature.
struct OneCreatureFolder {
    ProgramFolder folder;
    qint64 creature = 0;
    OneCreatureFolder() {
        creature = folder.AddCreature(folder.AddCategory(QStringLiteral("Beasts")), QStringLiteral("Dusk Fox"));
        folder.Exec(QStringLiteral("UPDATE Creatures SET Field0 = 'Small' WHERE IDCreature = ?1"), {creature});
    }
    QString field0() const {
        return folder.Scalar(QStringLiteral("SELECT Field0 FROM Creatures WHERE IDCreature = ?1"), {creature}).toString();
    }
};

QStringList Lines(const QString& output) { return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

// A child modifier: no file of the child may grow at all, as on a full disk.
void NoFileMayGrow() {
    rlimit none{};
    getrlimit(RLIMIT_FSIZE, &none);
    none.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &none);
}

}  // namespace

TEST(ProgramProcess, TheCommandLineIsTheProgramsAloneQtTakesNoneOfIt) {
    OneCreatureFolder f;
    ProgramChild child(f.folder.dir());
    // Qt's own options among the arguments are the program's text: Qt neither
    // removes them nor acts on them (no mirrored window).
    ASSERT_TRUE(child.start(ProgramChildAct::Report, {QString::number(f.creature), "-reverse", "-name", "x", "-style",
                                                       "fusion", "-session", "s"}));
    ASSERT_TRUE(child.waitForEnd()) << child.output().toStdString();
    const QStringList lines = Lines(child.output());
    EXPECT_TRUE(lines.contains(QStringLiteral("start creature %1").arg(f.creature))) << child.output().toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("direction ltr"))) << child.output().toStdString();
    EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.process().exitCode(), 0);
}

TEST(ProgramProcess, TheWindowsPixelsAndFontPointsAt96And120Dpi) {
    // The pixel rectangles stay; the fonts follow the twips per pixel; Qt
    // scales nothing on top.
    const struct {
        const char* dpi;
        const char* twips;
        const char* points;  // of the 11, 12, 15 and 24 pixel fonts
    } screens[] = {{"96", "15/15", "8 9 11 18"}, {"120", "12/12", "7 7 9 14"}};
    OneCreatureFolder f;
    for (const auto& screen : screens) {
        ProgramChild child(f.folder.dir());
        child.environment().insert(QStringLiteral("QT_FONT_DPI"), QString::fromLatin1(screen.dpi));
        ASSERT_TRUE(child.start(ProgramChildAct::Report, {QStringLiteral("0")}));
        ASSERT_TRUE(child.waitForEnd()) << child.output().toStdString();
        const QStringList lines = Lines(child.output());
        for (const QString& expected : {QStringLiteral("twips per pixel ") + screen.twips, QStringLiteral("client 638x455"),
                                        QStringLiteral("pixel ratio 1"), QStringLiteral("font points ") + screen.points})
            EXPECT_TRUE(lines.contains(expected)) << screen.dpi << " dpi: no \"" << expected.toStdString() << "\" in\n"
                                                  << child.output().toStdString();
    }
}

namespace {

// An X server of its own (Xvfb, 1024 x 768 at 96 dpi, on a free display
// number) and, once asked, openbox managing its windows; both end with it.
class VirtualDisplay {
public:
    ~VirtualDisplay() {
        Stop(m_windowManager);
        Stop(m_server);
    }

    // Empty when the server is up, else why not.
    QString start() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) return QStringLiteral("Xvfb is not installed");
        m_server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-dpi", "96", "-nolisten", "tcp", "-noreset"});
        // The server writes its display number once it takes connections.
        QByteArray number;
        while (!number.endsWith('\n') && m_server.waitForReadyRead(10000)) number += m_server.readAllStandardOutput();
        if (!number.endsWith('\n')) return QStringLiteral("Xvfb did not start");
        m_sName = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        return {};
    }

    QString startWindowManager() {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty()) return QStringLiteral("openbox is not installed");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_sName);
        for (const char* place : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            env.insert(QString::fromLatin1(place), m_home.filePath(QString::fromLatin1(place)));
        m_windowManager.setProcessEnvironment(env);
        // The start-up command runs once openbox manages the screen.
        m_windowManager.start(openbox, {"--sm-disable", "--startup", "echo managing"});
        QByteArray said;
        while (!said.contains("managing\n") && m_windowManager.waitForReadyRead(10000)) said += m_windowManager.readAllStandardOutput();
        return said.contains("managing\n") ? QString() : QStringLiteral("openbox did not start");
    }

    // The display's name, ":N".
    QString name() const { return m_sName; }

    // Makes the child a client of this server.
    void use(ProgramChild& child) const {
        child.environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        child.environment().insert(QStringLiteral("DISPLAY"), m_sName);
        child.environment().remove(QStringLiteral("WAYLAND_DISPLAY"));
    }

private:
    static void Stop(QProcess& p) {
        if (p.state() == QProcess::NotRunning) return;
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }

    QTemporaryDir m_home;
    QProcess m_server;
    QProcess m_windowManager;
    QString m_sName;
};

// The child's report of its frame: "frame X,Y WxH" and "available X,Y WxH".
struct FrameReport {
    QRect frame, available;
};

std::optional<FrameReport> ReportedFrame(const QString& output) {
    const QRegularExpression pattern(QStringLiteral("^(frame|available) (-?\\d+),(-?\\d+) (\\d+)x(\\d+)$"),
                                     QRegularExpression::MultilineOption);
    FrameReport report;
    int found = 0;
    for (auto it = pattern.globalMatch(output); it.hasNext(); ++found) {
        const QRegularExpressionMatch m = it.next();
        const QRect r(m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(), m.captured(5).toInt());
        (m.captured(1) == QLatin1String("frame") ? report.frame : report.available) = r;
    }
    if (found != 2) return std::nullopt;
    return report;
}

}  // namespace

TEST(ProgramProcess, OnAnXServerTheWindowIsCentredAsItsWindowManagerFramesIt) {
    VirtualDisplay display;
    if (const QString why = display.start(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    OneCreatureFolder f;
    // Runs the program on the display and returns the frame it reports.
    auto frameShown = [&]() -> std::optional<FrameReport> {
        ProgramChild child(f.folder.dir());
        display.use(child);
        EXPECT_TRUE(child.start(ProgramChildAct::ReportFrame, {QString::number(f.creature)}));
        EXPECT_TRUE(child.waitForEnd()) << child.output().toStdString();
        const std::optional<FrameReport> report = ReportedFrame(child.output());
        EXPECT_TRUE(report) << child.output().toStdString();
        return report;
    };
    // Without a window manager the window has no frame: it stands where the
    // outer rectangle it expected, 644 x 480, is centred.
    {
        const std::optional<FrameReport> report = frameShown();
        ASSERT_TRUE(report);
        EXPECT_EQ(report->available, QRect(0, 0, 1024, 768));
        EXPECT_EQ(report->frame, QRect(190, 144, 638, 455));
    }
    // Under openbox, whatever frame it draws is centred.
    if (const QString why = display.startWindowManager(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    const std::optional<FrameReport> report = frameShown();
    ASSERT_TRUE(report);
    const QRect& frame = report->frame;
    const QRect& avail = report->available;
    EXPECT_GT(frame.height(), 455) << "openbox drew no caption";
    EXPECT_LE(std::abs(frame.x() - (avail.x() + (avail.width() - frame.width()) / 2)), 2) << frame.x();
    EXPECT_LE(std::abs(frame.y() - (avail.y() + (avail.height() - frame.height()) / 2)), 2) << frame.y();
}

namespace {

// A user's hands at an X server: the pointer and the keys pressed through the
// server's XTEST extension, so that the program gets them as from the devices
// themselves, with the server's own focus rules and timestamps.
class HandsAtDisplay {
public:
    explicit HandsAtDisplay(const QString& display) {
        m_c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(m_c)) {
            m_sProblem = QStringLiteral("no connection to ") + display;
            return;
        }
        const xcb_setup_t* setup = xcb_get_setup(m_c);
        m_root = xcb_setup_roots_iterator(setup).data->root;
        const char name[] = "XTEST";
        xcb_query_extension_reply_t* ext =
            xcb_query_extension_reply(m_c, xcb_query_extension(m_c, sizeof name - 1, name), nullptr);
        if (!ext || !ext->present) m_sProblem = QStringLiteral("the X server has no XTEST extension");
        std::free(ext);
        // Each character's key: the one whose first symbol it is (Latin-1 symbols are their codes).
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map =
            xcb_get_keyboard_mapping_reply(m_c, xcb_get_keyboard_mapping(m_c, setup->min_keycode, uint8_t(count)), nullptr);
        if (map && map->keysyms_per_keycode > 0) {
            const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
            for (int k = count - 1; k >= 0; --k) m_keys[syms[k * map->keysyms_per_keycode]] = uint8_t(setup->min_keycode + k);
        }
        std::free(map);
    }
    ~HandsAtDisplay() { xcb_disconnect(m_c); }

    // Empty when the hands can act, else why not.
    QString problem() const { return m_sProblem; }

    void moveTo(QPoint at) { fake(XCB_MOTION_NOTIFY, 0, at); }
    // A click of the left button there.
    void click(QPoint at) {
        moveTo(at);
        fake(XCB_BUTTON_PRESS, 1);
        fake(XCB_BUTTON_RELEASE, 1);
    }
    // Types lowercase letters and blanks, each key pressed and released.
    void type(const QString& text) {
        for (const QChar ch : text) {
            const auto key = m_keys.find(xcb_keysym_t(ch.unicode()));
            ASSERT_NE(key, m_keys.end()) << "no key for " << ch.toLatin1();
            fake(XCB_KEY_PRESS, key->second);
            fake(XCB_KEY_RELEASE, key->second);
        }
    }

    // The windows shown on the screen: the root's mapped children (none of a
    // single pixel, which a window manager keeps for itself).
    std::vector<QRect> shownWindows() {
        std::vector<QRect> shown;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, m_root), nullptr);
        if (!tree) return shown;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_window_attributes_reply_t* attributes =
                xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, children[i]), nullptr);
            xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, children[i]), nullptr);
            if (attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE && geometry->width > 1)
                shown.emplace_back(geometry->x, geometry->y, geometry->width, geometry->height);
            std::free(attributes);
            std::free(geometry);
        }
        std::free(tree);
        return shown;
    }

private:
    // XTEST's FakeInput request: an event as a device makes it, at the server's time.
    struct FakeInput {
        uint8_t majorOpcode, minorOpcode;
        uint16_t length;
        uint8_t type, detail, pad0[2];
        uint32_t time, root;
        uint8_t pad1[8];
        int16_t rootX, rootY;
        uint8_t pad2[7], deviceId;
    };
    static_assert(sizeof(FakeInput) == 36);

    void fake(uint8_t type, uint8_t detail, QPoint at = {}) {
        static xcb_extension_t xtest = {"XTEST", 0};
        static const xcb_protocol_request_t request = {/*count*/ 2, &xtest, /*FakeInput*/ 2, /*isvoid*/ 1};
        FakeInput input{};
        input.type = type;
        input.detail = detail;
        input.root = m_root;
        input.rootX = int16_t(at.x());
        input.rootY = int16_t(at.y());
        iovec parts[4] = {};  // the first two are the library's own
        parts[2].iov_base = &input;
        parts[2].iov_len = sizeof input;
        xcb_send_request(m_c, 0, parts + 2, &request);
        // A round trip: the server has handled the event before the next.
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        // A hand's pace: every event has a timestamp of its own.
        QTest::qSleep(10);
    }

    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    std::map<xcb_keysym_t, uint8_t> m_keys;
    QString m_sProblem;
};

// The child's "place NAME X,Y" lines.
std::map<QString, QPoint> ReportedPlaces(const QString& output) {
    std::map<QString, QPoint> places;
    const QRegularExpression pattern(QStringLiteral("^place (\\w+) (-?\\d+),(-?\\d+)$"), QRegularExpression::MultilineOption);
    for (auto it = pattern.globalMatch(output); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        places[m.captured(1)] = QPoint(m.captured(2).toInt(), m.captured(3).toInt());
    }
    return places;
}

}  // namespace

TEST(ProgramProcess, OnAnXServerWithOrWithoutAWindowManagerTheFocusLeavingABoxSavesItAfterTheStartAndAfterAModalWindow) {
    // Without a window manager nobody but the program activates its window:
    // unless it does so after the splash and after every modal window, the
    // boxes never hear the focus leave them, and a click on another box saves
    // nothing. Under a window manager the same clicks save the same way.
    VirtualDisplay display;
    if (const QString why = display.start(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    HandsAtDisplay hands(display.name());
    if (!hands.problem().isEmpty()) GTEST_SKIP() << hands.problem().toStdString();
    const auto aUsersSession = [&](const char* desktop) {
        OneCreatureFolder f;
        ProgramChild child(f.folder.dir());
        display.use(child);
        const auto shownCount = [&](size_t count) {
            return QTest::qWaitFor([&] { return hands.shownWindows().size() == count; }, 10000);
        };
        const auto saved = [&](const QString& text) { return QTest::qWaitFor([&] { return f.field0() == text; }, 5000); };
        // An empty command line: the splash first, which a click closes.
        ASSERT_TRUE(child.start(ProgramChildAct::ReportPlaces, {}));
        ASSERT_TRUE(shownCount(1)) << desktop << ": " << child.output().toStdString();
        hands.click(hands.shownWindows().front().center());
        ASSERT_TRUE(child.waitForLine(QStringLiteral("placed"))) << desktop << ": " << child.output().toStdString();
        const std::map<QString, QPoint> places = ReportedPlaces(child.output());
        ASSERT_EQ(places.size(), 4u) << desktop << ": " << child.output().toStdString();

        // The first box has the focus from the start: typing there, then a
        // click on the second box.
        hands.type(QStringLiteral("typed at the start"));
        hands.click(places.at(QStringLiteral("box1")));
        EXPECT_TRUE(saved(QStringLiteral("typed at the start"))) << desktop << ", after the start: " << f.field0().toStdString();

        // In the first box again: Help, Cancel on the about box, typing, a
        // click on the second box.
        hands.click(places.at(QStringLiteral("box0")));
        hands.moveTo(places.at(QStringLiteral("help")) - QPoint(10, 10));
        hands.click(places.at(QStringLiteral("help")));
        ASSERT_TRUE(shownCount(2)) << desktop << ": no about box";
        hands.click(places.at(QStringLiteral("cancel")));
        ASSERT_TRUE(shownCount(1)) << desktop << ": the about box is still up";
        hands.type(QStringLiteral("after the about box"));
        hands.click(places.at(QStringLiteral("box1")));
        EXPECT_TRUE(saved(QStringLiteral("after the about box"))) << desktop << ", after the about box: " << f.field0().toStdString();

        ASSERT_TRUE(child.signal(SIGTERM));
        ASSERT_TRUE(child.waitForEnd()) << child.output().toStdString();
        EXPECT_EQ(child.process().exitCode(), 0);
        EXPECT_FALSE(child.output().contains(QStringLiteral("not active"))) << desktop << ": " << child.output().toStdString();
    };
    aUsersSession("no window manager");
    if (const QString why = display.startWindowManager(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    aUsersSession("openbox");
}

namespace {
// True once the process has exited (a zombie not yet waited for, or gone).
bool HasExited(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end < 0 || line.mid(end + 2, 1) == "Z";
}
}  // namespace

TEST(ProgramProcess, EndSignalsHoweverManyComeSaveTheTypingAsTheWindowsCloseDoesThenEndWithStatusZero) {
    // A logout, a closed terminal, and signals that end a process without a
    // word unless it takes them: Ctrl+\, a user's signal, an alarm, a
    // real-time signal. Each comes again and again until the child has
    // exited, as from a session manager that repeats its request: every
    // request after the first is the end already under way.
    for (const int sig : {SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGRTMIN}) {
        OneCreatureFolder f;
        ProgramChild child(f.folder.dir());
        ASSERT_TRUE(child.start(ProgramChildAct::TypeAndWait, {QString::number(f.creature)}));
        ASSERT_TRUE(child.waitForLine(QStringLiteral("typed"))) << child.output().toStdString();
        EXPECT_EQ(f.field0(), "Small") << "the typing is not saved yet";
        // Sent from here, not through the event loop, so that the stream goes
        // on while the child ends, up to the moment it has exited.
        const pid_t pid = pid_t(child.process().processId());
        int sent = 0;
        QElapsedTimer timer;
        timer.start();
        while (!HasExited(pid) && timer.elapsed() < 20000 && ::kill(pid, sig) == 0) {
            ++sent;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        EXPECT_GT(sent, 1) << "signal " << sig;
        ASSERT_TRUE(child.waitForEnd()) << "signal " << sig;
        EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit) << "signal " << sig;
        EXPECT_EQ(child.process().exitCode(), 0) << "signal " << sig;
        EXPECT_EQ(f.field0(), QString::fromLatin1(kChildTypedText)) << "signal " << sig;
        EXPECT_FALSE(child.output().contains(QStringLiteral("box:"))) << child.output().toStdString();
        // A normal end takes its lock file away.
        EXPECT_EQ(QDir(child.runtimeDir()).entryList(QDir::Files), QStringList()) << "signal " << sig;
    }
}

namespace {
// The process's open descriptors (not the one that listed them).
std::set<int> OpenDescriptors() {
    std::set<int> fds;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) fds.insert(std::stoi(entry.path().filename()));
    std::erase_if(fds, [](int fd) { return ::fcntl(fd, F_GETFD) == -1; });
    return fds;
}
}  // namespace

TEST(EndRequests, ThePipeOutlivesTheWatchALaterWatchHearsOnlyItsOwnSignalsAndNoneEndsTheProcessAfterIt) {
    std::signal(SIGUSR1, SIG_DFL);
    const std::set<int> before = OpenDescriptors();
    int requests = 0;
    auto watch = std::make_unique<EndRequestWatch>([&requests] { ++requests; });
    std::set<int> watchFds;
    for (const int fd : OpenDescriptors())
        if (!before.contains(fd)) watchFds.insert(fd);
    struct sigaction taken = {};
    ASSERT_EQ(sigaction(SIGUSR1, nullptr, &taken), 0);
    ASSERT_NE(taken.sa_handler, SIG_DFL);
    ASSERT_NE(taken.sa_handler, SIG_IGN);

    // A handler may still be running on another thread when the watch ends,
    // and write its byte after it: the watch's pipe stays open, so no file
    // opened later takes a number that byte could go to.
    watch.reset();
    ASSERT_FALSE(watchFds.empty());
    for (const int fd : watchFds) EXPECT_NE(::fcntl(fd, F_GETFD), -1) << "descriptor " << fd << " was closed";
    taken.sa_handler(SIGUSR1);

    // A later watch hears its own signals, and not that late one.
    watch = std::make_unique<EndRequestWatch>([&requests] { ++requests; });
    QCoreApplication::processEvents();
    EXPECT_EQ(requests, 0);
    ASSERT_EQ(::raise(SIGUSR1), 0);
    EXPECT_TRUE(QTest::qWaitFor([&requests] { return requests > 0; }, 5000));
    EXPECT_EQ(requests, 1);
    // Once the watch has ended, a request is heard by no one and ends nothing:
    // the process is on its way out, with the status it chose.
    watch.reset();
    ASSERT_EQ(::raise(SIGUSR1), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(requests, 1);
}

TEST(ProgramProcess, AnExitWhileTheWindowIsUpSavesTheTypingFirstWithItsErrorOnStandardError) {
    // Qt calls exit(1) when the display goes away: the typing is saved, the
    // status stays Qt's, the lock file goes.
    {
        OneCreatureFolder f;
        ProgramChild child(f.folder.dir());
        ASSERT_TRUE(child.start(ProgramChildAct::TypeAndExit, {QString::number(f.creature)}));
        ASSERT_TRUE(child.waitForEnd()) << child.output().toStdString();
        EXPECT_TRUE(Lines(child.output()).contains(QStringLiteral("typed"))) << child.output().toStdString();
        EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.process().exitCode(), 1);
        EXPECT_EQ(f.field0(), QString::fromLatin1(kChildTypedText));
        EXPECT_FALSE(child.output().contains(QStringLiteral("box:"))) << child.output().toStdString();
        EXPECT_EQ(QDir(child.runtimeDir()).entryList(QDir::Files), QStringList());
    }
    // The save fails (no file may grow): no box can be shown any more, so its
    // error goes to standard error.
    {
        OneCreatureFolder f;
        const QByteArray before = f.folder.DatabaseBytes();
        ProgramChild child(f.folder.dir());
        child.setChildModifier(NoFileMayGrow);
        ASSERT_TRUE(child.start(ProgramChildAct::TypeAndExit, {QString::number(f.creature)}));
        ASSERT_TRUE(child.waitForEnd()) << child.output().toStdString();
        EXPECT_EQ(child.process().exitCode(), 1);
        EXPECT_TRUE(child.output().contains(QStringLiteral("Ostravell: ") + QString::fromLatin1(kTitleSaveCreatureInfo) +
                                            QStringLiteral(": Error: ")))
            << child.output().toStdString();
        EXPECT_FALSE(child.output().contains(QStringLiteral("box:"))) << child.output().toStdString();
        EXPECT_EQ(f.folder.DatabaseBytes(), before);
    }
}

TEST(ProgramProcess, UnderAFileSizeLimitAWriteFailsWithItsErrorBoxInsteadOfAKill) {
    OneCreatureFolder f;
    const QByteArray before = f.folder.DatabaseBytes();
    ProgramChild child(f.folder.dir());
    // No file may grow at all: the lock file stays empty, its flock the
    // lock all the same.
    child.setChildModifier(NoFileMayGrow);
    ASSERT_TRUE(child.start(ProgramChildAct::TypeAndWait, {QString::number(f.creature)}));
    ASSERT_TRUE(child.waitForLine(QStringLiteral("typed"))) << child.output().toStdString();
    ASSERT_TRUE(child.signal(SIGTERM));
    ASSERT_TRUE(child.waitForEnd());
    EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit) << child.output().toStdString();
    EXPECT_EQ(child.process().exitCode(), 0);
    EXPECT_TRUE(child.output().contains(QStringLiteral("box: ") + QString::fromLatin1(kTitleSaveCreatureInfo) +
                                        QStringLiteral(": Error: ")))
        << child.output().toStdString();
    EXPECT_EQ(f.folder.DatabaseBytes(), before);
}

TEST(ProgramProcess, AFolderWhoseNameIsNotUtf8IsNamedInAnErrorAndNothingElseHappens) {
    // A copy of this executable in a folder named "caf" and the byte 0xE9
    // (Latin-1 for an accented e), started through a link of a plain name:
    // the program's folder is the copy's, whose name no text can hold.
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const std::filesystem::path root(QFile::encodeName(base.path()).toStdString());
    const std::filesystem::path folder = root / std::string("caf\xe9");
    const std::filesystem::path self(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
    std::filesystem::create_directory(folder);
    // Qt cannot name the folder to remove it.
    struct RemovedAtEnd {
        std::filesystem::path path;
        ~RemovedAtEnd() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removedAtEnd{folder};
    ASSERT_TRUE(std::filesystem::copy_file(self, folder / self.filename()));
    std::filesystem::create_symlink(folder / self.filename(), root / "start");

    ProgramChild child{QString()};
    child.setProgram(base.filePath(QStringLiteral("start")));
    ASSERT_TRUE(child.start(ProgramChildAct::TypeAndWait, {QStringLiteral("1")}));
    ASSERT_TRUE(child.waitForEnd()) << child.output().toStdString();
    EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.process().exitCode(), 1);
    // One box, naming the folder with the byte shown by its code; no window,
    // no database, label or lock file looked for anywhere.
    const QStringList boxes = Lines(child.output()).filter(QStringLiteral("box: "));
    ASSERT_EQ(boxes.size(), 1) << child.output().toStdString();
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("box: Ostravell: "))) << boxes[0].toStdString();
    EXPECT_TRUE(child.output().contains(QFile::decodeName(QByteArray::fromStdString(root.native())) +
                                        QStringLiteral("/caf\\xE9\n")))
        << child.output().toStdString();
    EXPECT_FALSE(child.output().contains(QStringLiteral("typed")));
    EXPECT_EQ(QDir(child.runtimeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
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
    // A tempDir names the temporary folder, with no runtime folder given.
    std::unique_ptr<QProcess> start(const QStringList& args, const QString& tempDir = QString()) const {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (tempDir.isEmpty()) {
            env.insert("XDG_RUNTIME_DIR", runtimeDir());
        } else {
            env.remove("XDG_RUNTIME_DIR");
            env.insert("TMPDIR", tempDir);
        }
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

namespace {

// Starts an instance and waits until the lock file is a regular file that
// names it; the instance is returned running.
std::unique_ptr<QProcess> StartHoldingTheLock(const ProgramCopy& copy, const QString& lock) {
    auto p = copy.start({"1"});
    EXPECT_TRUE(p->waitForStarted(10000));
    bool bHeld = false;
    for (int i = 0; i < 200 && !bHeld && p->state() == QProcess::Running; ++i) {
        const QFileInfo entry(lock);
        QFile f(lock);
        bHeld = !entry.isSymLink() && entry.isFile() && f.open(QIODevice::ReadOnly) &&
                f.readLine().trimmed() == QByteArray::number(p->processId());
        if (!bHeld) QTest::qWait(50);
    }
    EXPECT_TRUE(bHeld) << p->readAll().toStdString();
    return p;
}

// Ends an instance as a logout does; its normal end removes its lock file
// (when a lock path is given, nothing may be left there).
void EndByTerm(QProcess& p, const QString& lock) {
    ASSERT_EQ(p.state(), QProcess::Running);
    ASSERT_GT(p.processId(), 0);
    ASSERT_EQ(::kill(pid_t(p.processId()), SIGTERM), 0);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    if (!lock.isEmpty()) {
        EXPECT_FALSE(QFileInfo::exists(lock) || QFileInfo(lock).isSymLink());
    }
}

// Starts that many instances at once.
std::vector<std::unique_ptr<QProcess>> StartAtOnce(const ProgramCopy& copy, int count) {
    std::vector<std::unique_ptr<QProcess>> started;
    for (int i = 0; i < count; ++i) started.push_back(copy.start({"1"}));
    for (auto& p : started) EXPECT_TRUE(p->waitForStarted(10000));
    return started;
}

// The instances that run: those still running once all others have ended (a
// second start ends at once) and a moment more.
std::vector<QProcess*> StillRunning(std::vector<std::unique_ptr<QProcess>>& started) {
    auto running = [&] {
        std::vector<QProcess*> result;
        for (auto& p : started)
            if (p->state() != QProcess::NotRunning) result.push_back(p.get());
        return result;
    };
    QElapsedTimer timer;
    timer.start();
    while (running().size() > 1 && timer.elapsed() < 20000) QTest::qWait(50);
    QTest::qWait(1000);
    for (auto& p : started)
        if (p->state() == QProcess::NotRunning) {
            EXPECT_EQ(p->exitCode(), 0);
        }
    return running();
}

// Leaves a Unix socket's file at the path, as a program that ended without
// removing it does.
bool MakeSocketFile(const QString& path) {
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool bMade = s >= 0 && ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (s >= 0) ::close(s);
    return bMade;
}

// Gives the entry at path itself (a link is not followed) a modification time
// that many seconds ago.
bool MakeOld(const QString& path, int seconds) {
    timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace

TEST(SingleInstance, ALinkAPipeOrASocketAtTheLockIsRemovedAtOnceWithoutTouchingATarget) {
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    const QString lock = copy.runtimeDir() + QStringLiteral("/ostravell.lock");
    QTemporaryDir elsewhere;
    const QString missing = elsewhere.filePath(QStringLiteral("missing"));
    const QString target = elsewhere.filePath(QStringLiteral("target"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a lock\n");
    }

    // None of them is a lock, however new: a link that points nowhere, a link
    // to a file (whatever the file holds), a pipe (never read), a
    // socket.
    const std::function<bool()> makers[] = {
        [&] { return QFile::link(missing, lock); },
        [&] { return QFile::link(target, lock); },
        [&] { return ::mkfifo(QFile::encodeName(lock).constData(), 0600) == 0; },
        [&] { return MakeSocketFile(lock); },
    };
    for (const auto& make : makers) {
        ASSERT_TRUE(make());
        auto next = StartHoldingTheLock(copy, lock);
        EndByTerm(*next, lock);
        QFile::remove(lock);
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "not a lock\n");
}

TEST(SingleInstance, CopiesStartedAtOnceOverWhateverStandsAtTheLockRunOneAtATime) {
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    const QString lock = copy.runtimeDir() + QStringLiteral("/ostravell.lock");
    const QString inFolder = lock + QStringLiteral("/kept");
    auto writeFile = [&](const QByteArray& text) {
        QFile f(lock);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    };
    const struct {
        const char* what;
        std::function<bool()> make;
        bool bKept;  // a folder that cannot be removed: the copies run on the name alone
    } cases[] = {
        // A crash between making the file and writing it leaves it empty.
        {"an empty file an hour old", [&] { return writeFile({}) && MakeOld(lock, 3600); }, false},
        // QLockFile's text (from before Qt 5.10) for a process of another host.
        {"a file naming another host's process", [&] { return writeFile("4242\nostravell\nelsewhere.invalid\n"); }, false},
        // QLockFile's text for this test process: living, and not the program.
        {"a file naming a living process that is not the program", [&] { return writeFile(LockFileText()); }, false},
        {"an empty folder an hour old", [&] { return QDir().mkdir(lock) && MakeOld(lock, 3600); }, false},
        {"a folder with a file in it",
         [&] {
             QFile f(inFolder);
             return QDir().mkdir(lock) && f.open(QIODevice::WriteOnly) && f.write("x") == 1 && MakeOld(lock, 3600);
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make());
        // Four at once, then, once the one that runs has ended, three at once.
        for (const int copies : {4, 3}) {
            auto started = StartAtOnce(copy, copies);
            std::vector<QProcess*> running = StillRunning(started);
            EXPECT_EQ(running.size(), 1u) << copies << " started";
            if (running.size() != 1) {
                for (auto& p : started) {
                    p->kill();
                    p->waitForFinished(10000);
                }
                break;
            }
            QProcess& survivor = *running[0];
            if (c.bKept) {
                EXPECT_TRUE(QFileInfo(inFolder).isFile());
            } else {
                // The lock file is the survivor's: none removed it.
                QFile f(lock);
                EXPECT_TRUE(QFileInfo(lock).isFile() && !QFileInfo(lock).isSymLink());
                EXPECT_TRUE(f.open(QIODevice::ReadOnly));
                EXPECT_EQ(f.readLine().trimmed(), QByteArray::number(survivor.processId()));
            }
            // The ended copies gave up nothing of the survivor's: a later start still ends.
            auto later = copy.start({"1"});
            ASSERT_TRUE(later->waitForFinished(20000));
            EXPECT_EQ(later->exitCode(), 0);
            EndByTerm(survivor, c.bKept ? QString() : lock);
        }
        if (c.bKept) {
            EXPECT_TRUE(QFileInfo(inFolder).isFile());
        }
        QFile::remove(lock);
        QDir(lock).removeRecursively();
    }
}

TEST(SingleInstance, AnInstanceWhoseLockFileIsReplacedStillKeepsEveryOtherStartOut) {
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    const QString lock = copy.runtimeDir() + QStringLiteral("/ostravell.lock");
    auto first = StartHoldingTheLock(copy, lock);

    // Its file moved away and a folder that cannot be removed put in its
    // place: no later start can lock anything at the path, and none runs.
    const QString moved = copy.runtimeDir() + QStringLiteral("/moved");
    ASSERT_TRUE(QFile::rename(lock, moved));
    ASSERT_TRUE(QDir().mkdir(lock));
    {
        QFile f(lock + QStringLiteral("/kept"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    auto started = StartAtOnce(copy, 3);
    for (auto& p : started) {
        ASSERT_TRUE(p->waitForFinished(20000));
        EXPECT_EQ(p->exitCode(), 0);
    }
    EXPECT_EQ(first->state(), QProcess::Running);

    // Its end removes nothing that the lock's path now names.
    EndByTerm(*first, QString());
    EXPECT_TRUE(QFileInfo(lock + QStringLiteral("/kept")).isFile());
    EXPECT_TRUE(QFileInfo(moved).isFile());
}

TEST(SingleInstance, AnotherUsersLockInTheSharedTemporaryFolderKeepsNoStartOfThisUserOut) {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
    const uid_t other = 65534;  // nobody
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    // A shared temporary folder where another user made the runtime folder of
    // this user's name, which Qt then refuses: the lock stands in the shared
    // folder itself.
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(base.path()).constData(), 0755), 0);
    const QString shared = base.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    const QByteArray runtime = QFile::encodeName(shared) + "/runtime-" + ::getpwuid(::geteuid())->pw_name;
    ASSERT_EQ(::mkdir(runtime.constData(), 0700), 0);
    ASSERT_EQ(::chown(runtime.constData(), other, other), 0);

    // The other user's process keeps a flock on ostravell.lock there: a file
    // it made, then this user's own (readable by all, as an earlier version's
    // lock library made it).
    const QByteArray lock = QFile::encodeName(shared) + "/ostravell.lock";
    for (const bool ownFile : {false, true}) {
        ::unlink(lock.constData());
        if (ownFile) {
            const int fd = ::open(lock.constData(), O_RDWR | O_CREAT | O_EXCL, 0644);
            ASSERT_GE(fd, 0);
            ::fchmod(fd, 0644);
            ::close(fd);
        }
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t holder = ::fork();
        ASSERT_GE(holder, 0);
        if (holder == 0) {
            if (::setgid(other) != 0 || ::setuid(other) != 0) ::_exit(1);
            const int fd = ::open(lock.constData(), ownFile ? O_RDONLY : O_RDWR | O_CREAT, 0644);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "x", 1) != 1) ::_exit(1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        const bool held = ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        if (held) {
            auto first = copy.start({"1"}, shared);
            ASSERT_TRUE(first->waitForStarted(10000));
            EXPECT_FALSE(first->waitForFinished(3000)) << ownFile << first->readAll().toStdString();
            // A second start of this user still ends.
            auto second = copy.start({"1"}, shared);
            EXPECT_TRUE(second->waitForFinished(20000));
            EXPECT_EQ(second->exitCode(), 0);
            EXPECT_EQ(first->state(), QProcess::Running) << ownFile;
            first->kill();
            first->waitForFinished(10000);
        }
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        ASSERT_TRUE(held) << "the other user's process could not lock the file";
    }
}
