#include "platform/single_instance.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

namespace {

std::unique_ptr<QLockFile>& HeldLock() {
    static std::unique_ptr<QLockFile> lock;  // unlocked, and its file removed, when the process ends
    return lock;
}

// A lock file that does not tell which process holds it (empty, unreadable,
// no lock file at all but something else of that name): broken.
bool IsBroken(const QString& path) {
    qint64 pid = 0;
    QString hostname, appname;
    return !QLockFile(path).getLockInfo(&pid, &hostname, &appname);
}

enum class BrokenLock { None, Removed, Kept };

// Removes a broken lock file that is old enough not to belong to an instance
// that is just writing it.
BrokenLock RemoveBrokenLock(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return BrokenLock::None;
    if (!IsBroken(path)) return BrokenLock::None;
    const QDateTime modified = info.lastModified();
    const qint64 ageMs = modified.isValid() ? modified.msecsTo(QDateTime::currentDateTime()) : 0;
    if (ageMs >= 0 && ageMs < qint64(kBrokenLockAgeSeconds) * 1000) return BrokenLock::None;
    return QFile::remove(path) ? BrokenLock::Removed : BrokenLock::Kept;
}

}  // namespace

bool AnotherInstanceRunning() {
    if (HeldLock()) return false;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/ostravell.lock");

    // A broken lock that cannot be removed cannot be replaced by one of ours
    // either: the program runs without a lock.
    if (RemoveBrokenLock(path) == BrokenLock::Kept) return false;

    auto candidate = std::make_unique<QLockFile>(path);
    candidate->setStaleLockTime(0);  // a readable lock is stale only when its process is gone
    if (candidate->tryLock(0)) {
        HeldLock() = std::move(candidate);
        return false;
    }
    // Held by a living process, or broken and too young to be taken over.
    if (candidate->error() == QLockFile::LockFailedError) return true;
    // No lock can be made here: the program runs without one.
    return false;
}

void ReleaseInstanceLock() { HeldLock().reset(); }
