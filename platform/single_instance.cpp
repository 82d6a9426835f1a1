#include "platform/single_instance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <ctime>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::unique_ptr<QLockFile>& HeldLock() {
    static std::unique_ptr<QLockFile> lock;  // unlocked, and its file removed, when the process ends
    return lock;
}

// A lock file of ours holds a process number, a program name, a host name and
// a little more: far less than this.
constexpr off_t kLargestLockFile = 4096;

// A regular file that does not tell which process holds it (empty, cut
// short, unreadable, far too large): broken.
bool NamesAProcess(const QString& path, const struct stat& st) {
    if (st.st_size > kLargestLockFile) return false;
    qint64 pid = 0;
    QString hostname, appname;
    return QLockFile(path).getLockInfo(&pid, &hostname, &appname);
}

enum class Entry {
    Absent,   // nothing there, or a file that names a process: the lock decides
    Young,    // broken and made moments ago: perhaps an instance that is just starting
    Removed,  // broken and old: removed
    Kept,     // broken and old, but it cannot be removed
};

// Judges what stands at the lock's path by the entry itself, never by what a
// symbolic link points to: only a regular file can be a lock of ours, and
// anything else (a link, a pipe, a folder, a device) is broken. A broken entry
// old enough not to belong to an instance that is just writing it is removed
// (a link goes, never its target).
Entry JudgeEntry(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) return Entry::Absent;
    if (S_ISREG(st.st_mode) && NamesAProcess(path, st)) return Entry::Absent;
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ageMs = (qint64(now.tv_sec) - st.st_mtim.tv_sec) * 1000 + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
    if (ageMs >= 0 && ageMs < qint64(kBrokenLockAgeSeconds) * 1000) return Entry::Young;
    return ::unlink(name.constData()) == 0 || errno == ENOENT ? Entry::Removed : Entry::Kept;
}

}  // namespace

bool AnotherInstanceRunning() {
    if (HeldLock()) return false;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/ostravell.lock");

    switch (JudgeEntry(path)) {
    case Entry::Young: return true;
    // A broken entry that cannot be removed cannot be replaced by a lock of
    // ours either: the program runs without a lock.
    case Entry::Kept: return false;
    case Entry::Absent:
    case Entry::Removed: break;
    }

    auto candidate = std::make_unique<QLockFile>(path);
    candidate->setStaleLockTime(0);  // a readable lock is stale only when its process is gone
    if (candidate->tryLock(0)) {
        HeldLock() = std::move(candidate);
        return false;
    }
    // Held by a living instance.
    if (candidate->error() == QLockFile::LockFailedError) return true;
    // No lock can be made here: the program runs without one.
    return false;
}

void ReleaseInstanceLock() { HeldLock().reset(); }
