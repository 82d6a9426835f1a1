#pragma once

// True when another instance of the program is already running for this user.
// The first call takes a lock file in the per-user runtime folder and holds it
// to the end of the run; a stale lock left by a crashed run is taken over.
bool AnotherInstanceRunning();
