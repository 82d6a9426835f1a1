#pragma once
// Showing the program's small windows (the two dialogs, the splash and about
// window): modal, without a caption, centred on the screen.
#include <Qt>
#include <QtGlobal>

class Form;

// Window flags of a dialog frame: a fixed border, no caption, no control box.
Qt::WindowFlags CaptionlessDialogFlags();

// The outer size that MoveFormPx gave a window counts a caption; a window
// without one gets that height back for its client area, so that the client
// area is the outer size less the border only.
void FitCaptionlessFrame(Form* form);

// Centres a captionless window on its screen by its outer size.
void CentreCaptionlessOnScreen(Form* form);

// Shows the window application-modal and returns when it has unloaded (been
// closed or hidden), the event loop running meanwhile.
void ShowModal(Form* form);
