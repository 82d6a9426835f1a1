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
// socket notifier on the pipe's other end then calls the program back. The
// pipe is made once and stays open to the end of the process, so a handler
// still running when a watch ends writes into it and into nothing else.
#include <QObject>
#include <functional>

class QSocketNotifier;

class EndRequestWatch : public QObject {
public:
    // While the watch exists these signals no longer end the process by
    // themselves: onRequest runs on the event loop instead, once for the
    // signals that arrived since it last ran. Only signals at their default
    // action are taken: one ignored when the watch starts (nohup) stays
    // ignored, one with a handler of its own keeps it. Destroying the watch
    // gives the signals their former actions back. One watch at a time.
    explicit EndRequestWatch(std::function<void()> onRequest, QObject* parent = nullptr);
    ~EndRequestWatch() override;

private:
    void drain();

    std::function<void()> m_onRequest;
    QSocketNotifier* m_notifier = nullptr;
};
