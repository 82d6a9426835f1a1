// (being written)
#include "mainwindow/main_window.h"

void frmMain::picPicture_DblClick() {}
void frmMain::lblNoPicAvail_DblClick() {}
void frmMain::imgScreen_Click() {}
