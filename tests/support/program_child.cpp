#include "support/program_child.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <sys/types.h>
#include <cstdio>
#include <cstdlib>

#include "frame/geometry.h"
#include "frame/splash.h"
#include "frame/startup.h"
#include "mainwindow/program_start.h"
#include "platform/msgbox.h"

namespace {
const char* const kActVariable = "OV_PROGRAM_CHILD";
const char* const kFolderVariable = "OV_PROGRAM_CHILD_FOLDER";

void Say(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void SayPlace(const QString& name, const QWidget* control) {
    const QPoint centre = control->mapToGlobal(control->rect().center());
    Say(QStringLiteral("place %1 %2,%3").arg(name).arg(centre.x()).arg(centre.y()));
}

// The window as the start left it, for a user at the display.
void ReportPlaces(frmMain& w) {
    if (!QTest::qWaitForWindowExposed(&w) || !QTest::qWaitForWindowActive(&w, 5000)) Say(QStringLiteral("the window is not active"));
    SayPlace(QStringLiteral("box0"), w.txtStatText[0]);
    SayPlace(QStringLiteral("box1"), w.txtStatText[1]);
    SayPlace(QStringLiteral("help"), w.imgHelp);
    // The start-up is done: a splash window made now is the about box, centred
    // on the screen as the Help button's opens.
    frmSplash about(QString(), &w);
    about.centreOnScreen();
    SayPlace(QStringLiteral("cancel"), about.imgCancel);
    Say(QStringLiteral("placed"));
}
}  // namespace

ProgramChild::ProgramChild(const QString& programDir)
    : m_programDir(programDir), m_env(QProcessEnvironment::systemEnvironment()) {
    QDir().mkpath(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    m_env.insert(QString::fromLatin1(kFolderVariable), m_programDir);
    // Whatever the screen settings of the child are, the program makes its own.
    m_env.remove(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"));
}

bool ProgramChild::start(ProgramChildAct act, const QStringList& arguments) {
    m_process = std::make_unique<QProcess>();
    QProcessEnvironment env = m_env;
    const char* const acts[] = {"report", "type", "exit", "frame", "places"};
    env.insert(QString::fromLatin1(kActVariable), QString::fromLatin1(acts[int(act)]));
    m_process->setProcessEnvironment(env);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    const std::function<void()> modifier = m_modifier;
    m_process->setChildProcessModifier([modifier] {
        // The child starts with the signals' default actions, whatever this
        // process (or whoever started the tests) ignores.
        for (int sig = 1; sig < NSIG; ++sig)
            if (sig != SIGKILL && sig != SIGSTOP) std::signal(sig, SIG_DFL);
        if (modifier) modifier();
    });
    m_process->start(m_program.isEmpty() ? QCoreApplication::applicationFilePath() : m_program, arguments);
    return m_process->waitForStarted(10000);
}

QString ProgramChild::output() {
    if (m_process) m_output += QString::fromUtf8(m_process->readAll());
    return m_output;
}

bool ProgramChild::waitForLine(const QString& line, int msecs) {
    QElapsedTimer timer;
    timer.start();
    while (!output().split(QLatin1Char('\n')).contains(line)) {
        if (m_process->state() != QProcess::Running || timer.elapsed() > msecs) return false;
        m_process->waitForReadyRead(100);
    }
    return true;
}

bool ProgramChild::waitForEnd(int msecs) {
    const bool ended = m_process->state() == QProcess::NotRunning || m_process->waitForFinished(msecs);
    output();
    return ended;
}

bool ProgramChild::signal(int sig) {
    // Never a process number of 0 or less: kill() would send it to a whole group.
    if (!m_process || m_process->state() != QProcess::Running || m_process->processId() <= 0) return false;
    return ::kill(pid_t(m_process->processId()), sig) == 0;
}

// ---------------------------------------------------------------- the child

bool IsProgramChild() { return qEnvironmentVariableIsSet(kActVariable); }

int RunProgramChild(int argc, char** argv) {
    const QString act = qEnvironmentVariable(kActVariable);
    SetMsgBoxHandler([](const QString& prompt, const QString& title) { Say(QStringLiteral("box: ") + title + QStringLiteral(": ") + prompt); });
    return RunProgram(argc, argv, qEnvironmentVariable(kFolderVariable), [act](frmMain& w) {
        if (act == QLatin1String("places")) {
            ReportPlaces(w);
            return;
        }
        w.activateWindow();
        if (!QTest::qWaitForWindowExposed(&w) || !QTest::qWaitForWindowActive(&w)) Say(QStringLiteral("the window did not come up"));
        if (act == QLatin1String("report")) {
            Say(QStringLiteral("start creature %1").arg(glStartCreatureID));
            Say(QStringLiteral("direction ") +
                (QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr")));
            Say(QStringLiteral("twips per pixel %1/%2").arg(glTwipsPerPixelX).arg(glTwipsPerPixelY));
            Say(QStringLiteral("client %1x%2").arg(w.width()).arg(w.height()));
            Say(QStringLiteral("pixel ratio %1").arg(w.devicePixelRatioF()));
            Say(QStringLiteral("font points %1 %2 %3 %4")
                    .arg(w.txtStatText[0]->font().pointSize())
                    .arg(w.lblStatLabel[0]->font().pointSize())
                    .arg(w.lblName->font().pointSize())
                    .arg(w.lblNoPicAvail->font().pointSize()));
            QTimer::singleShot(0, &w, [&w] { w.close(); });
            return;
        }
        if (act == QLatin1String("frame")) {
            QWindow* window = w.windowHandle();
            const QRect avail = w.screen()->availableGeometry();
            const auto rect = [](const QRect& r) { return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); };
            const auto centred = [&] {
                const QRect frame = window->frameGeometry();
                return window->frameMargins().isNull() ||
                       (std::abs(frame.x() - (avail.x() + (avail.width() - frame.width()) / 2)) <= 2 &&
                        std::abs(frame.y() - (avail.y() + (avail.height() - frame.height()) / 2)) <= 2);
            };
            if (!QTest::qWaitFor(centred, 10000)) Say(QStringLiteral("the frame is not centred"));
            Say(QStringLiteral("frame ") + rect(window->frameGeometry()));
            Say(QStringLiteral("available ") + rect(avail));
            QTimer::singleShot(0, &w, [&w] { w.close(); });
            return;
        }
        w.txtStatText[0]->setFocus();
        QApplication::processEvents();
        QWidget* box = QApplication::focusWidget();
        if (box) QTest::keyClicks(box, QString::fromLatin1(kChildTypedText));
        Say(w.m_bStatChanged ? QStringLiteral("typed") : QStringLiteral("typing did not reach the box"));
        if (act == QLatin1String("exit")) QTimer::singleShot(0, [] { std::exit(1); });
    });
}
