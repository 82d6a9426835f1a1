#pragma once

// True when another instance of the program is already running for this user.
// The first call takes a lock file, "ostravell.lock" in the per-user runtime
// folder, and holds it until ReleaseInstanceLock or the end of the process.
// Only a running instance ends a second start. What stands at the lock's path
// is judged by itself, never by what a symbolic link there points to:
// - a lock file that names no living process (left by a crashed run) is
//   taken over;
// - anything else that names no process (an empty or unreadable file, as a
//   crash between making and writing it leaves; a symbolic link, a pipe, a
//   folder) is taken over once it is a few seconds old by its own time;
//   younger, it may belong to an instance that is just starting. Taking over
//   removes the entry itself: a link's target is never read, written or removed;
// - when no lock can be made at all (the folder cannot be written, the disk
//   is full, a folder stands at the lock's path) the program runs without one.
bool AnotherInstanceRunning();

// Gives the lock up and removes its file: the program's normal end.
void ReleaseInstanceLock();

// How old a broken lock entry must be to be taken over, in seconds.
constexpr int kBrokenLockAgeSeconds = 5;
