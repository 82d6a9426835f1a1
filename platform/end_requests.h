#pragma once
// Requests from outside to end the program, brought onto the event loop:
// SIGTERM (a logout, a system shutdown, `kill`), SIGHUP (the terminal or the
// session went away) and SIGINT (Ctrl+C in the terminal that started it).
// The signal handler only writes a byte to a pipe (all it may safely do); a
// socket notifier on the pipe's other end then calls the program back.
#include <QObject>
#include <functional>

class QSocketNotifier;

class EndRequestWatch : public QObject {
public:
    // While the watch exists these signals no longer end the process by
    // themselves: onRequest runs on the event loop instead, once for the
    // signals that arrived since it last ran. A signal ignored when the watch
    // starts (nohup) stays ignored. Destroying the watch gives the signals
    // their former actions back. One watch at a time.
    explicit EndRequestWatch(std::function<void()> onRequest, QObject* parent = nullptr);
    ~EndRequestWatch() override;

private:
    void drain();

    std::function<void()> m_onRequest;
    QSocketNotifier* m_notifier = nullptr;
};
