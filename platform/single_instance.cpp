#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "platform/lock_file.h"

namespace {

const char kLockName[] = "ostravell.lock";

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// ---------------------------------------------------------------- the name

enum class Name {
    Held,         // bound by this process
    InUse,        // held by a process of this user: another instance
    Unavailable,  // held by another user's process or one that does not answer, or no socket
};

// The name of the instance lock of this user in this runtime folder.
QByteArray InstanceName(const QString& dir) {
    QString folder = QFileInfo(dir).canonicalFilePath();
    if (folder.isEmpty()) folder = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    return QByteArray(kLockName) + '/' + QByteArray::number(qulonglong(::geteuid())) + '/' +
           QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex().left(32);
}

enum class Holder { ThisUser, OtherUser, NoAnswer };

// Asks the socket that holds the name whose it is: a connection tells the
// user its holder had when it began listening.
Holder AskHolder(const sockaddr_un& address, socklen_t length) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) return Holder::NoAnswer;
    Holder holder = Holder::NoAnswer;
    // Between a holder's bind and its listen, or once the name is gone, the
    // connection is refused; with the holder's queue full it would wait.
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        ucred credentials {};
        socklen_t size = sizeof credentials;
        if (::getsockopt(s, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0)
            holder = credentials.uid == ::geteuid() ? Holder::ThisUser : Holder::OtherUser;
    }
    ::close(s);
    return holder;
}

Name TakeName(const QByteArray& name, int& held) {
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) + 1 > sizeof address.sun_path) return Name::Unavailable;
    // A first byte of zero puts the name in the abstract namespace: no file.
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (s < 0) return Name::Unavailable;
        if (::bind(s, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
            if (::listen(s, SOMAXCONN) != 0) {
                ::close(s);
                return Name::Unavailable;
            }
            held = s;
            return Name::Held;
        }
        const int error = errno;
        ::close(s);
        if (error != EADDRINUSE) return Name::Unavailable;
        switch (AskHolder(address, length)) {
        case Holder::ThisUser: return Name::InUse;
        case Holder::OtherUser: return Name::Unavailable;
        case Holder::NoAnswer: break;  // ask again, or bind if it is gone
        }
        Pause(4);
    }
    return Name::Unavailable;
}

// ---------------------------------------------------------------- the file

enum class File {
    Held,         // locked by this process, and named by the lock's path
    Busy,         // the file at the path is locked by another process
    Unavailable,  // no lock can be had at the path
};

// Removes the entry at the lock's path when it is no regular file: the entry
// itself, never what a link names; a folder only when it is empty. Done
// holding the runtime folder's flock, and judged again under it, so that no
// two starts remove at once: the entry removed is the one judged, as nothing
// but a removal can take an entry's place at the path. False when it stays.
bool RemoveNonFile(int dirFd) {
    QElapsedTimer timer;
    timer.start();
    while (::flock(dirFd, LOCK_EX | LOCK_NB) != 0) {
        // Another start holds it for a moment; anything longer is no start of ours.
        if ((errno != EWOULDBLOCK && errno != EINTR) || timer.elapsed() > 1000) return false;
        Pause(2);
    }
    bool removed = true;
    struct stat st {};
    if (::fstatat(dirFd, kLockName, &st, AT_SYMLINK_NOFOLLOW) != 0) removed = errno == ENOENT;
    else if (!S_ISREG(st.st_mode)) removed = ::unlinkat(dirFd, kLockName, S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) == 0;
    ::flock(dirFd, LOCK_UN);
    return removed;
}

// In a folder that others may write (the shared temporary folder, where the
// lock falls back to when the user has no runtime folder of their own), only
// what this user owns can be this user's lock: another user's file there
// says nothing of this user's instances.
bool OthersMayWrite(int dirFd) {
    struct stat st {};
    return ::fstat(dirFd, &st) == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

File TakeFile(int dirFd, bool ownOnly, int& held) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        struct stat st {};
        if (::fstatat(dirFd, kLockName, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) {
            if (!RemoveNonFile(dirFd)) return File::Unavailable;
            continue;
        }
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        int fd = ::openat(dirFd, kLockName, O_RDWR | O_CREAT | flags, 0600);
        // A file this user may not write can still be locked.
        if (fd < 0 && errno == EACCES) fd = ::openat(dirFd, kLockName, O_RDONLY | flags);
        if (fd < 0) {
            if (errno == EINTR) continue;
            // Something other than a file took the path's place since the
            // look (a link: ELOOP; a folder: EISDIR; a socket: ENXIO).
            if (::fstatat(dirFd, kLockName, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) continue;
            return File::Unavailable;  // the folder cannot be written, the disk is full
        }
        // Judged by what was opened: a pipe put there since the look is removed next round.
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            continue;
        }
        if (ownOnly && st.st_uid != ::geteuid()) {
            ::close(fd);
            return File::Unavailable;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            const bool named = NamesOpenFile(dirFd, kLockName, fd);
            ::close(fd);
            if (error == EWOULDBLOCK && named) return File::Busy;
            if (error == EWOULDBLOCK || error == EINTR) continue;  // its holder has just removed it
            return File::Unavailable;                               // no flock on this file system
        }
        // The lock must be on the file the path names, not on one removed
        // (by its holder's end) or replaced since it was opened.
        if (!NamesOpenFile(dirFd, kLockName, fd)) {
            ::close(fd);
            continue;
        }
        // Held: the text is this process's from now on. A file with other
        // names (hard links) is locked as it is.
        // A full disk leaves the text out: the flock is the lock, the text only says whose.
        if (st.st_nlink == 1 && ::ftruncate(fd, 0) == 0) WriteAllBytes(fd, LockFileText());
        held = fd;
        return File::Held;
    }
    return File::Unavailable;
}

// ---------------------------------------------------------------- the lock

struct InstanceLock {
    bool held = false;
    int nameFd = -1;
    int dirFd = -1;
    int fileFd = -1;
    // Takes the connections of starts that asked whose the name is: they
    // would otherwise fill the socket's queue, and a start could ask no more.
    QPointer<QSocketNotifier> answerer;

    // Gives everything up; at the process's end (withQt false) no Qt object
    // is touched any more.
    void release(bool withQt) {
        if (withQt) delete answerer.data();
        if (fileFd >= 0) RemoveHeldLockFile(dirFd, kLockName, fileFd);
        if (dirFd >= 0) ::close(dirFd);
        if (nameFd >= 0) ::close(nameFd);
        fileFd = dirFd = nameFd = -1;
        held = false;
    }
    ~InstanceLock() { release(false); }
};

InstanceLock& Lock() {
    static InstanceLock lock;  // given up, and its file removed, when the process ends
    return lock;
}

void AnswerAskers(InstanceLock& lock) {
    if (lock.nameFd < 0 || !QCoreApplication::instance()) return;
    auto* answerer = new QSocketNotifier(lock.nameFd, QSocketNotifier::Read, QCoreApplication::instance());
    const int fd = lock.nameFd;
    QObject::connect(answerer, &QSocketNotifier::activated, answerer, [fd] {
        for (int s; (s = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) ::close(s);
    });
    lock.answerer = answerer;
}

}  // namespace

bool AnotherInstanceRunning() {
    InstanceLock& lock = Lock();
    if (lock.held) return false;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);

    const Name name = TakeName(InstanceName(dir), lock.nameFd);
    if (name == Name::InUse) return true;

    File file = File::Unavailable;
    lock.dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock.dirFd >= 0) {
        const bool shared = OthersMayWrite(lock.dirFd);
        file = TakeFile(lock.dirFd, shared, lock.fileFd);
        // In a shared folder another user may hold a flock on this user's
        // file too; only a process of this user can be another instance, and
        // the name, which asks its holder's user, says whether one runs.
        if (shared && file == File::Busy && name == Name::Held) file = File::Unavailable;
    }
    if (file == File::Busy || (file == File::Unavailable && name != Name::Held)) {
        lock.release(true);
        return true;
    }
    if (file != File::Held && lock.dirFd >= 0) {
        ::close(lock.dirFd);
        lock.dirFd = -1;
    }
    lock.held = true;
    AnswerAskers(lock);
    return false;
}

void ReleaseInstanceLock() { Lock().release(true); }
