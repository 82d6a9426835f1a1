#include "platform/end_requests.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

constexpr int kSignalCount = int(sizeof kSignals / sizeof kSignals[0]);

// The pipe's ends; -1 while no watch exists. Read by the signal handler.
volatile sig_atomic_t g_writeEnd = -1;
int g_readEnd = -1;
// The actions the signals had before the watch, given back when it ends.
struct sigaction g_former[kSignalCount];
bool g_bWatched[kSignalCount] = {};

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

void CloseQuietly(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

EndRequestWatch::EndRequestWatch(std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {
    if (g_readEnd >= 0) return;  // another watch is active
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_readEnd = fds[0];
    g_writeEnd = fds[1];

    struct sigaction action = {};
    action.sa_handler = NoteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kSignalCount; ++i) {
        g_bWatched[i] = false;
        if (sigaction(kSignals[i], nullptr, &g_former[i]) != 0) continue;
        // A signal ignored from the start (nohup, a background job's SIGINT)
        // stays ignored.
        if (g_former[i].sa_handler == SIG_IGN) continue;
        g_bWatched[i] = sigaction(kSignals[i], &action, nullptr) == 0;
    }

    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
}

EndRequestWatch::~EndRequestWatch() {
    if (!m_notifier) return;
    for (int i = 0; i < kSignalCount; ++i)
        if (g_bWatched[i]) sigaction(kSignals[i], &g_former[i], nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    int writeEnd = g_writeEnd;
    g_writeEnd = -1;
    CloseQuietly(writeEnd);
    CloseQuietly(g_readEnd);
}

void EndRequestWatch::drain() {
    char buffer[64];
    bool bRequested = false;
    while (::read(g_readEnd, buffer, sizeof buffer) > 0) bRequested = true;
    if (bRequested && m_onRequest) m_onRequest();
}
