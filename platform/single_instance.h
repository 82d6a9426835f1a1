#pragma once

// True when another instance of the program is already running for this user.
// The first call takes a lock file, "ostravell.lock" in the per-user runtime
// folder, and holds it until ReleaseInstanceLock or the end of the process.
// Only a running instance ends a second start:
// - a lock file that names no living process (left by a crashed run) is
//   taken over;
// - a lock file that is empty or cannot be read (a crash between making and
//   writing it) is taken over once it is a few seconds old; younger, it may
//   belong to an instance that is just starting;
// - when no lock can be made at all (the folder cannot be written, the disk
//   is full) the program runs without one.
bool AnotherInstanceRunning();

// Gives the lock up and removes its file: the program's normal end.
void ReleaseInstanceLock();

// How old an empty or unreadable lock file must be to be taken over, in seconds.
constexpr int kBrokenLockAgeSeconds = 5;
