#pragma once
// Settings of the whole process made before the application object exists, by
// the program and by every other executable that shows its windows (tests,
// benchmarks, tools), so that all of them lay the windows out alike:
// - Qt's own scaling of whole windows is off. The windows are placed from
//   tables of whole pixels, converted with the screen's twips per pixel, and
//   their fonts are set in points from the same factor; scaling the result
//   again would make every window larger than its table (1.25 times at 120 dpi).
// - A write past the file-size limit fails with an error, which the operation
//   reports in its own error box as on a full disk, instead of ending the
//   process with SIGXFSZ.
// - A write to a pipe or socket whose reader is gone (standard error piped
//   into a pager that was closed) fails with an error instead of ending the
//   process with SIGPIPE.
void PrepareProcess();
// Called once the application object exists: gives the environment variables
// that PrepareProcess changed back their former values, so programs started
// from this one (the viewer of the help text) scale as the user set them.
void RestoreEnvironmentAfterPreparing();
