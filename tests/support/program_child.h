#pragma once
// The running program in a process of its own, for what only a whole process
// shows: its command line, its screen settings, its end by a signal. The test
// executable starts itself again; its main then runs the program's own run
// (RunProgram, as the executable does) on a test's program folder, with its
// message boxes written to standard output instead of shown, and reports on
// standard output what the test asked it to.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// What the child does once the main window is up.
enum class ProgramChildAct {
    // Reports the start and the window ("start creature N", "direction ltr",
    // "twips per pixel X/Y", "client WxH", "pixel ratio R", "font points A B C
    // D" for the 11, 12, 15 and 24 pixel fonts), then closes the main window.
    Report,
    // Types kChildTypedText into the first statistic box, writes "typed", and
    // runs until something ends it.
    TypeAndWait,
    // Types as TypeAndWait does, then calls exit(1) from the event loop, as Qt
    // does when the display goes away.
    TypeAndExit,
    // Reports where the window stands on its screen, "frame X,Y WxH" (the
    // frame the window manager drew, the window itself when there is none)
    // and "available X,Y WxH" (the screen's available area), then closes the
    // main window. With a frame it first waits, at most 10 seconds, until the
    // frame is centred.
    ReportFrame,
    // Leaves the window to a user at the display as the start left it (it
    // neither activates the window nor moves the focus): once the window is
    // active, or has waited 5 seconds for it, reports where the controls stand
    // on the screen, "place NAME X,Y" (a control's centre), for box0 and box1
    // (the first two statistic boxes), help (the Help button, which shows once
    // the pointer is in the window's corner) and cancel (the about box's
    // Cancel, where the about box opens), writes "placed", and runs until
    // something ends it.
    ReportPlaces,
};

inline constexpr const char* kChildTypedText = "Typed by hand";

class ProgramChild {
public:
    // A child on that program folder, with its own settings and runtime
    // folders; an empty programDir runs it on its executable's own folder.
    explicit ProgramChild(const QString& programDir);

    QString runtimeDir() const { return m_home.filePath(QStringLiteral("runtime")); }
    QProcessEnvironment& environment() { return m_env; }
    // Runs in the child between fork and exec (resource limits); must be
    // async-signal-safe.
    void setChildModifier(std::function<void()> modifier) { m_modifier = std::move(modifier); }
    // Starts this executable instead of the running test executable (a copy
    // of it, or a link to a copy).
    void setProgram(const QString& path) { m_program = path; }

    // Starts the child with these arguments after the program's name.
    bool start(ProgramChildAct act, const QStringList& arguments);
    // Waits until the child's output holds that line; false when it ended or
    // did not write it within the time.
    bool waitForLine(const QString& line, int msecs = 30000);
    // Waits for the child's end; false when it has not ended within the time.
    bool waitForEnd(int msecs = 30000);
    // All the child wrote so far.
    QString output();
    QProcess& process() { return *m_process; }
    // Sends the running child a signal; false when it is not running.
    bool signal(int sig);

private:
    QTemporaryDir m_home;
    QString m_programDir;
    QString m_program;
    QProcessEnvironment m_env;
    std::function<void()> m_modifier;
    std::unique_ptr<QProcess> m_process;
    QString m_output;
};

// The test main's side: true when this process was started as a program child.
bool IsProgramChild();
// Runs the program as the child; returns its exit status.
int RunProgramChild(int argc, char** argv);
