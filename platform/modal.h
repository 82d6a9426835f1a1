#pragma once
// Modal windows: every window the program shows modally (its dialogs, the
// splash and about window, the message boxes, the file-open dialog) goes
// through ShowModal. Its opening and its closing, like every window's, end the
// input runs in progress (platform/input_runs.h): a double- or triple-click or
// a held key that opened or closed it reaches neither the window nor what
// lies beneath.
//
// When it closes, the window the user worked in before it is the active
// window again, so that the focus's moves inside it are seen (and the boxes'
// changes saved) as before; the window system gives nothing back by itself
// where no window manager runs.
class QWidget;

// Shows the window application-modal where it stands and returns when it has
// unloaded (been closed or hidden), the event loop running meanwhile.
void ShowModal(QWidget* window);
