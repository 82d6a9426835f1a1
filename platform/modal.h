#pragma once
// Modal windows: every window the program shows modally (its dialogs, the
// splash and about window, the message boxes, the file-open dialog) goes
// through ShowModal, so that each closes once per double-click.
class QWidget;

// Shows the window application-modal where it stands and returns when it has
// unloaded (been closed or hidden), the event loop running meanwhile. When a
// click closed it, the press that may follow on the same spot within the
// double-click time (a double-click's second press) reaches nothing: neither
// as a press nor as a double-click on whatever lies beneath.
void ShowModal(QWidget* window);
