#pragma once
// Lock files in the form Qt's QLockFile makes them. A sibling program that
// writes its settings through Qt's settings library holds such a lock, at the
// settings file's name plus ".lock", while it rewrites the file; this program
// takes the same lock around its own rewrite of that file, without ever
// waiting on or reading without bound from whatever stands at the lock's path.
#include <QByteArray>
#include <QString>

// Shared by the program's lock files (this one and the instance lock). The
// entry `name` of the folder open at dirFd (AT_FDCWD: name is a path of its
// own) is judged by itself, never by what a symbolic link there names.
// True while that entry is the file open at fd.
bool NamesOpenFile(int dirFd, const char* name, int fd);
// Gives up a lock file held at fd: removes the entry only while it is still
// that file (its holder's end must never remove another's lock), then closes fd.
void RemoveHeldLockFile(int dirFd, const char* name, int fd);
// Writes all the bytes at fd; false when a write fails (a full disk).
bool WriteAllBytes(int fd, const QByteArray& bytes);

// The text of a lock file as QLockFile writes it for this process: its
// number, the file name of its executable, the host's name, the machine's and
// the boot's identities, one to a line. A sibling's QLockFile reads it to
// tell that the lock's holder still runs.
QByteArray LockFileText();

// A lock that a sibling's QLockFile at the same path respects, and that
// respects a sibling's. As QLockFile: the lock is a new file made at the path
// (never one that stood there), holding LockFileText and locked with flock
// while held; it is removed when the lock is given up.
// What already stands at the path is judged by itself, never by what a
// symbolic link there names, and without waiting: it is opened only as a
// regular file of a lock file's size, without following a link or blocking,
// and judged by what was opened, as the siblings' own library judges it.
// - A lock file whose flock is held has a living holder: it is waited for.
// - So is one whose text names a process of this host and boot that still
//   runs the program the text names, whether or not its flock is held (a
//   holder lets its flock go a moment before it removes the file), until the
//   file is older than QLockFile's 30 seconds.
// - It is stale when that process has ended or its number now runs another
//   program, when the text was written before the host last started, or,
//   whatever its text says (another host, no process named), when it is
//   older than 30 seconds. A stale lock is removed as QLockFile removes it:
//   while holding the lock at the path plus ".rmlock", judged again under it,
//   and while holding its flock, so that a sibling removing it at the same
//   moment cannot remove the next one.
// - Anything else (a link, a pipe, a socket, a device, a folder, a larger
//   file) is no lock: it is left as it is, and no lock is taken.
class SiblingLockFile {
public:
    explicit SiblingLockFile(const QString& path);
    ~SiblingLockFile();
    SiblingLockFile(const SiblingLockFile&) = delete;
    SiblingLockFile& operator=(const SiblingLockFile&) = delete;

    enum class Result {
        Locked,      // the lock is held
        Held,        // a holder kept it all the wait (or it could not be made meanwhile)
        NeverHere,   // no lock can stand at the path, neither this program's nor a
                     // sibling's: something that is no lock stands there, the folder
                     // cannot be written, the disk is full
    };
    // Takes the lock, waiting at most timeoutMs for a holder to give it up;
    // returns at once when no lock can ever be had at the path.
    Result tryLock(int timeoutMs);
    // Gives the lock up: removes the file (only while the path still names
    // it) and closes it.
    void unlock();

private:
    QByteArray m_path;
    int m_fd = -1;
};
