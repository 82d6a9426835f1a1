#pragma once

// True when another instance of the program is already running for this user
// in this runtime folder (the per-user runtime folder, $XDG_RUNTIME_DIR). The
// first call that finds none takes the instance lock and holds it until
// ReleaseInstanceLock or the end of the process.
//
// The lock is two locks that the kernel holds for the life of the process and
// lets go of when the process ends however it ends, so nothing is ever judged
// stale or taken over, and nothing that a file says (a process number, a host,
// a program's name) counts:
// - the name: a listening Unix socket bound to
//   "ostravell.lock/<user id>/<hash of the runtime folder's path>" in the
//   abstract namespace, which needs no file and which the kernel grants to
//   one socket at a time;
// - the file: a flock on "ostravell.lock" in the runtime folder.
// A start takes the name first:
// - held by a process of this user (the kernel tells a connecting socket its
//   holder's user): another instance runs; this start ends, and the file is
//   not looked at;
// - held by another user's process, or by one that does not answer, or when
//   no socket can be made: the name cannot be had, and the file alone decides.
// Then the file. Only a regular file at the path is a lock, whatever it holds
// (empty, left by a crash, an earlier version's, naming another host or any
// process): it is opened without following a link or waiting, and locked; the
// path must still name the file locked, or it is tried again. Held, its text
// becomes this process's, as Qt's QLockFile writes it (an earlier version of
// the program, which used QLockFile, then sees a running instance too); a file
// with other names (hard links) keeps its text. Anything else at the path (a
// symbolic link, a pipe, a socket, a device, a folder) is never a lock: the
// entry itself is removed, a folder only when empty (a link's target is never
// read, written or removed), and the file is tried again. That removal is done
// holding a flock on the runtime folder itself, looking at the entry again
// under it, so no two starts ever remove at once and none removes a lock file
// that another start made meanwhile: a regular file at the path is only ever
// removed by its holder, at its normal end, while it still holds it.
// - The file locked by another process: another instance runs; this start
//   ends and gives the name up. In a folder that others may write (the shared
//   temporary folder, where the lock stands when the user has no runtime
//   folder of their own), only this user counts: a file there that another
//   user owns is no lock of this user's, and a file locked by another
//   process says nothing when this start holds the name, which no process of
//   this user then holds.
// - The start runs when it holds the file lock, with the name or without it,
//   or when it holds the name and no lock can be had at the path at all (a
//   folder with something in it or another entry that cannot be removed stands
//   there, the folder cannot be made or written, the disk is full, no flock
//   there). Holding neither, it ends as a second start ends: it never runs
//   unprotected.
// Exactly one runs: every running instance holds the name whenever the name
// can be had, and the kernel grants it to one socket at a time, so the name
// alone keeps a second start out, also when the path can be used by one start
// and not by another. Where the name cannot be had (another user's process
// holds it, no sockets can be made), a start runs only holding the file lock,
// and no two processes hold flocks on one file; nor can two lock files stand
// at the path one after the other while both are held, as only a holder ever
// removes a regular file there. The name is one per network namespace: copies
// in different network namespaces that share the runtime folder are kept
// apart by the file lock alone, so only while a lock can be had at the path.
bool AnotherInstanceRunning();

// Gives the lock up: removes the lock file while still holding it (only when
// the path still names it), closes it, and gives the name up. The program's
// normal end; an exit() without it does the same.
void ReleaseInstanceLock();
