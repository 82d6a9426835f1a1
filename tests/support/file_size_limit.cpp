#include "support/file_size_limit.h"

#include <csignal>
#include <sys/resource.h>

bool WithFileSizeLimit(long maxBytes, const std::function<void()>& fn) {
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0) return false;
    rlimit small = saved;
    small.rlim_cur = rlim_t(maxBytes);
    // A write past the limit then fails with an error instead of a signal.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
        std::signal(SIGXFSZ, oldHandler);
        return false;
    }
    fn();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return true;
}
