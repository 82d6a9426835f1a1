#pragma once
// Lock files in the form Qt's QLockFile makes them. A sibling program that
// writes its settings through Qt's settings library holds such a lock, at the
// settings file's name plus ".lock", while it rewrites the file; this program
// takes the same lock around its own rewrite of that file, without ever
// waiting on or reading without bound from whatever stands at the lock's path.
#include <QByteArray>
#include <QString>

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
// and judged by what was opened.
// - A lock file whose holder keeps it locked is waited for.
// - A stale one (nobody keeps it locked, and its holder wrote it whole, or it
//   is older than QLockFile's 30 seconds) is removed as QLockFile removes it:
//   while holding its flock and the lock at the path plus ".rmlock", so that
//   a sibling removing it at the same moment cannot remove the next one.
// - Anything else (a link, a pipe, a socket, a device, a folder, a larger
//   file) is no lock: it is left as it is, and no lock is taken.
class SiblingLockFile {
public:
    explicit SiblingLockFile(const QString& path);
    ~SiblingLockFile();
    SiblingLockFile(const SiblingLockFile&) = delete;
    SiblingLockFile& operator=(const SiblingLockFile&) = delete;

    // Takes the lock, waiting at most timeoutMs for a holder to give it up.
    // False when it was not had within that time, and at once when no lock
    // can be made at the path: something that is no lock stands there, the
    // folder cannot be written, the disk is full.
    bool tryLock(int timeoutMs);
    // Gives the lock up: removes the file (only while the path still names
    // it) and closes it.
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

private:
    QByteArray m_path;
    int m_fd = -1;
};
