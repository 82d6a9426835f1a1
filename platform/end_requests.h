#pragma once
// Requests from outside to end the program, brought onto the event loop: every
// signal that would otherwise end the process without a word, short of those
// that report a crash. Among them SIGTERM (a logout, a system shutdown,
// `kill`), SIGHUP (the terminal or the session went away), SIGINT (Ctrl+C in
// the terminal that started it), SIGQUIT (Ctrl+\), SIGUSR1, SIGUSR2, SIGALRM,
// SIGXCPU (the CPU time limit) and the real-time signals. Not among them:
// SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP and SIGSYS (a crash: the
// process ends as it would), SIGKILL and SIGSTOP (which no process can catch),
// SIGPIPE and SIGXFSZ (failed writes, see platform/process_settings.h).
// The signal handler only writes a byte to a pipe (all it may safely do); a
// socket notifier on the pipe's other end then calls the program back.
// Once taken, the signals stay taken, and the pipe open, to the end of the
// process: a request that comes after the program's watch has ended (its save
// done, the process on its way out) is heard by no one, and so cannot end the
// process by the signal's default action and change its exit status. The
// program takes them before anything else it does, so that a request during
// its start waits for the watch too.
#include <QObject>
#include <functional>

class QSocketNotifier;

// From now to the end of the process, these signals no longer end it by
// themselves: each is noted in the pipe, for the watch that exists or the
// first one to come. Only signals at their default action are taken: one
// ignored when they are taken (nohup) stays ignored, one with a handler of its
// own keeps it. Called again, it does nothing.
void TakeEndRequests();

class EndRequestWatch : public QObject {
public:
    // Takes the signals (TakeEndRequests) and, while the watch exists, runs
    // onRequest on the event loop, once for the requests that arrived since it
    // last ran. The first watch of the process also hears the requests noted
    // before it; a later one hears only those that come after it starts. One
    // watch at a time.
    explicit EndRequestWatch(std::function<void()> onRequest, QObject* parent = nullptr);
    ~EndRequestWatch() override;

private:
    void drain();

    std::function<void()> m_onRequest;
    QSocketNotifier* m_notifier = nullptr;
};
