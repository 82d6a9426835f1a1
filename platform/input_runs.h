#pragma once
// Runs of input that go on past a change of what lies under the user's hand.
//
// A run of clicks is a press and every press that follows it with the same
// button within the double-click time and distance of the run's last press (a
// double- or triple-click, impatient clicks on one spot). A key's run is its
// press and the repeats of the key held down, until its release. When a
// pop-up list or a window opens or closes, the presses of the runs in progress
// were aimed at what lay there before: every press that continues such a run
// afterwards belongs to nothing. It reaches no control of any window, neither
// as a press nor as the double-click it completes, and neither does its
// release; the run ends with a press that does not continue it, or with the
// key's release. A new click or a new key press acts as always.
//
// The watch over input runs starts with the application and ends the runs
// itself whenever any window of the application shows or hides: the
// program's own, and those that Qt's dialogs open, pop-up lists and menus
// among them.

// Ends the runs in progress: their further presses reach nothing. Called
// when a pop-up list that lies inside a window opens or closes.
void EndInputRuns();

// Puts the watch over input runs ahead of every event filter of the
// application installed so far, so that a press that belongs to nothing
// reaches none of them either (the main window's key preview among them).
void WatchInputRunsFirst();
