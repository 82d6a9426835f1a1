#include "platform/end_requests.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Every signal whose default action ends the process, but those that report
// a fault of the program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
// SIGTRAP, SIGSYS: a crash, where nothing can be trusted to save) and SIGPIPE
// and SIGXFSZ, which the process settings turn into failed writes.
bool IsEndRequest(int sig) {
    switch (sig) {
    case SIGHUP:
    case SIGINT:
    case SIGQUIT:
    case SIGUSR1:
    case SIGUSR2:
    case SIGALRM:
    case SIGTERM:
    case SIGXCPU:
    case SIGVTALRM:
    case SIGPROF:
    case SIGIO:
#ifdef SIGSTKFLT
    case SIGSTKFLT:
#endif
#ifdef SIGPWR
    case SIGPWR:
#endif
        return true;
    default:
        return sig >= SIGRTMIN && sig <= SIGRTMAX;
    }
}

// The pipe's ends, made when the signals are taken and kept open to the end
// of the process: a handler may run on any thread at any moment, also while a
// watch ends or after it, and its byte must land in this pipe, never in
// whatever file a later open() gives the same number. The write end is set
// before any handler is installed. The signals are taken once the pipe exists.
volatile sig_atomic_t g_writeEnd = -1;
int g_readEnd = -1;
bool g_bActive = false;     // a watch exists
bool g_bEverWatched = false;  // a watch has existed

extern "C" void NoteEndRequest(int) {
    const int savedErrno = errno;
    const int fd = g_writeEnd;
    if (fd >= 0) {
        const char byte = 1;
        // A full pipe already holds a request: nothing is lost by a failed write.
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

// Empties the pipe; true when it held anything.
bool DrainPipe() {
    char buffer[64];
    bool bAny = false;
    while (::read(g_readEnd, buffer, sizeof buffer) > 0) bAny = true;
    return bAny;
}

}  // namespace

void TakeEndRequests() {
    if (g_readEnd >= 0) return;
    int fds[2];
    // Without a pipe nothing could be noted: the signals keep their actions.
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_readEnd = fds[0];
    g_writeEnd = fds[1];

    struct sigaction action = {};
    action.sa_handler = NoteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction former = {};
        if (!IsEndRequest(sig) || sigaction(sig, nullptr, &former) != 0) continue;
        // Only a signal that would end the process is taken: one ignored from
        // the start (nohup, a background job's SIGINT) stays ignored, and one
        // that something else already handles (a profiler's SIGPROF) keeps
        // its handler.
        if (former.sa_handler == SIG_DFL) sigaction(sig, &action, nullptr);
    }
}

EndRequestWatch::EndRequestWatch(std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {
    if (g_bActive) return;  // another watch is active
    TakeEndRequests();
    if (g_readEnd < 0) return;  // no pipe could be made
    // Requests noted after a former watch ended were that run's, on its way
    // out; those noted before the first watch are the start's own.
    if (g_bEverWatched) DrainPipe();
    g_bActive = true;
    g_bEverWatched = true;
    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    // Requests already noted are heard as soon as the event loop runs.
}

EndRequestWatch::~EndRequestWatch() {
    if (!m_notifier) return;
    delete m_notifier;
    m_notifier = nullptr;
    // The signals stay taken and the pipe open (see above).
    g_bActive = false;
}

void EndRequestWatch::drain() {
    if (DrainPipe() && m_onRequest) m_onRequest();
}
