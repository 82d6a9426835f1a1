#include "platform/lock_file.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A lock file holds a process number, two names and two identities: far less
// than this. Anything larger at a lock's path is no lock file.
constexpr off_t kLargestLockFile = 4096;
// How old a lock file must be before it counts as stale, whatever its text
// says, unless its flock is held: QLockFile's default.
constexpr qint64 kStaleLockMs = 30000;
// Removed stale locks after which a lock is waited for like a held one.
constexpr int kMostRemovals = 8;

bool IsLockFileEntry(const struct stat& st) { return S_ISREG(st.st_mode) && st.st_size <= kLargestLockFile; }

qint64 AgeMs(const struct stat& st) {
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 age = (qint64(now.tv_sec) - st.st_mtim.tv_sec) * 1000 + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
    return age < 0 ? -age : age;
}

// Makes a new lock file at the path, never opening anything that stands
// there, locks it and writes this process's text into it. The descriptor, or
// -1 with errno set: EEXIST when something stands at the path; EAGAIN when a
// sibling removing a stale lock took the new file away at once.
int CreateLockFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    // As with QLockFile, the file's being there is the lock, and its flock
    // tells a remover of stale locks that its holder lives; a file system
    // without flock leaves only the file.
    const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    if (!taken || !NamesOpenFile(AT_FDCWD, path.constData(), fd)) {
        ::close(fd);
        errno = EAGAIN;
        return -1;
    }
    if (!WriteAllBytes(fd, LockFileText())) {
        const int saved = errno;
        RemoveHeldLockFile(AT_FDCWD, path.constData(), fd);
        errno = saved;
        return -1;
    }
    return fd;
}

// The file name of a program, from the path of its executable as the system
// gives it ("... (deleted)" once the file has been replaced).
QByteArray ProgramName(QByteArray exe) {
    if (exe.endsWith(" (deleted)")) exe.chop(10);
    return exe.mid(exe.lastIndexOf('/') + 1);
}

// The path of the executable that process pid runs; empty when it cannot be
// read (the process has ended, or it is another user's).
QByteArray ExecutableOf(const QByteArray& pid) {
    QByteArray exe(4096, '\0');
    const ssize_t n = ::readlink(("/proc/" + pid + "/exe").constData(), exe.data(), size_t(exe.size()));
    exe.resize(n > 0 ? n : 0);
    return exe;
}

// True while process pid runs the program named: its number may have been
// given to another program since the lock was written.
bool RunsProgram(qint64 pid, const QByteArray& program) {
    if (pid > std::numeric_limits<pid_t>::max()) return false;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) return false;
    const QByteArray exe = ExecutableOf(QByteArray::number(pid));
    if (exe.isEmpty()) {
        // A process that has just ended, or another user's: not the holder.
        // Only where the system keeps no record of processes' programs is a
        // process that exists taken for the holder.
        struct stat st {};
        return ::lstat("/proc/self/exe", &st) != 0;
    }
    return ProgramName(exe) == program.mid(program.lastIndexOf('/') + 1);
}

// What a lock file's text says of its holder.
enum class Holder {
    Running,  // a process of this host and boot that still runs the program named
    Ended,    // a process of this host that has ended or now runs another program,
              // or one of an earlier boot
    Unknown,  // another host's, or no process named (a text not yet written
              // whole): only the file's age tells
};

Holder JudgeHolder(const QByteArray& text) {
    // One to a line: the process number, the program's file name, the host's
    // name, the machine's and the boot's identities (the last two may be
    // missing). Only lines ended by their line break count.
    const QByteArrayList lines = text.split('\n');
    bool ok = false;
    const qint64 pid = lines.size() > 2 ? lines[0].toLongLong(&ok) : 0;
    if (!ok || pid <= 0) return Holder::Unknown;
    const QByteArray host = lines.value(2);
    const QByteArray hostId = lines.size() > 4 ? lines[3] : QByteArray();
    bool sameHost = host.isEmpty() || host == QSysInfo::machineHostName().toUtf8();
    const QByteArray ourHostId = QSysInfo::machineUniqueId();
    if (!hostId.isEmpty() && !ourHostId.isEmpty()) sameHost = hostId == ourHostId;
    if (!sameHost) return Holder::Unknown;
    const QByteArray bootId = lines.size() > 5 ? lines[4] : QByteArray();
    if (!bootId.isEmpty() && bootId != QSysInfo::bootUniqueId()) return Holder::Ended;
    return RunsProgram(pid, lines[1]) ? Holder::Running : Holder::Ended;
}

// Whether the lock file open at fd is stale by its text and its age: its
// holder has ended, or it is older than any holding. Whether its flock is
// held is not asked here.
bool IsStale(int fd) {
    struct stat st {};
    char text[kLargestLockFile];
    if (::fstat(fd, &st) != 0) return false;
    const ssize_t n = ::pread(fd, text, sizeof text, 0);
    return n >= 0 && (JudgeHolder(QByteArray(text, n)) == Holder::Ended || AgeMs(st) > kStaleLockMs);
}

enum class Existing {
    Gone,       // nothing stands at the path any more: try again at once
    Held,       // a lock that may have a holder: wait
    Removed,    // a stale lock, removed: try again at once
    NotALock,   // anything else: no lock can be had there
};

// Judges what stands at the path, without following a link or waiting on
// what is opened, and removes it when it is a stale lock. The ".rmlock" lock
// guarding a removal is itself removed directly when stale (withGuard false).
Existing JudgeExisting(const QByteArray& path, bool withGuard) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return errno == ENOENT ? Existing::Gone : Existing::NotALock;
    // A first look by name keeps the open from reaching a device at all.
    if (!IsLockFileEntry(st)) return Existing::NotALock;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return Existing::Gone;
        // Out of descriptors or memory for now: judged on the next round.
        if (errno == EMFILE || errno == ENFILE || errno == ENOMEM || errno == EINTR) return Existing::Held;
        return Existing::NotALock;
    }

    Existing result = Existing::Held;
    // Judged by what was opened: a swap after the look changes nothing. A
    // held flock says that the holder lives, whatever the text says; a file
    // whose holder has not yet locked it is young and names no process.
    if (::fstat(fd, &st) != 0 || !IsLockFileEntry(st)) {
        result = Existing::NotALock;
    } else if (IsStale(fd) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const QByteArray guardPath = path + ".rmlock";
        const int guard = withGuard ? CreateLockFile(guardPath) : -1;
        if (!withGuard || guard >= 0) {
            // Judged again under the guard: removed only while the path still
            // names the stale file (a sibling may have removed it and made
            // its own lock since).
            if (!NamesOpenFile(AT_FDCWD, path.constData(), fd)) result = Existing::Gone;
            else if (IsStale(fd) && ::unlink(path.constData()) == 0) result = Existing::Removed;
            if (guard >= 0) RemoveHeldLockFile(AT_FDCWD, guardPath.constData(), guard);
        } else if (errno == EEXIST) {
            // Another remover is at work, or one left its guard behind
            // when it died: a stale guard goes, and this round waits.
            JudgeExisting(guardPath, false);
        }
    }
    ::close(fd);
    return result;
}

// Errors in making a lock file that say no lock can stand at the path: a
// sibling's settings library meets them just the same there, and then
// leaves the file it guards unwritten.
bool NoLockCanStand(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:         // the folder cannot be written
    case ENOSPC:
    case EDQUOT:        // the disk, or the user's share of it, is full
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:         // no folder of that name
        return true;
    default:
        return false;
    }
}

}  // namespace

bool NamesOpenFile(int dirFd, const char* name, int fd) {
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void RemoveHeldLockFile(int dirFd, const char* name, int fd) {
    if (NamesOpenFile(dirFd, name, fd)) ::unlinkat(dirFd, name, 0);
    ::close(fd);
}

bool WriteAllBytes(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray LockFileText() {
    return QByteArray::number(qint64(::getpid())) + '\n' + ProgramName(ExecutableOf("self")) + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n' +
           QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
}

SiblingLockFile::SiblingLockFile(const QString& path) : m_path(QFile::encodeName(path)) {}

SiblingLockFile::~SiblingLockFile() { unlock(); }

SiblingLockFile::Result SiblingLockFile::tryLock(int timeoutMs) {
    if (m_fd >= 0) return Result::Locked;
    QElapsedTimer timer;
    timer.start();
    int removals = 0;
    int sleepMs = 10;
    for (;;) {
        const int fd = CreateLockFile(m_path);
        if (fd >= 0) {
            m_fd = fd;
            return Result::Locked;
        }
        if (errno == EEXIST) {
            switch (JudgeExisting(m_path, true)) {
            case Existing::NotALock: return Result::NeverHere;
            case Existing::Gone:
            case Existing::Removed:
                if (++removals <= kMostRemovals) continue;
                break;
            case Existing::Held: break;
            }
        } else if (NoLockCanStand(errno)) {
            return Result::NeverHere;
        }
        // Anything else (a sibling took the path first, out of descriptors
        // for now) is tried again until the time is up.
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0) return Result::Held;
        std::this_thread::sleep_for(std::chrono::milliseconds(qMin<qint64>(sleepMs, left)));
        sleepMs = qMin(sleepMs * 2, 200);
    }
}

void SiblingLockFile::unlock() {
    if (m_fd < 0) return;
    RemoveHeldLockFile(AT_FDCWD, m_path.constData(), m_fd);
    m_fd = -1;
}
