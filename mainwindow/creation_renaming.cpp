// (being written)
#include "mainwindow/main_window.h"

void frmMain::imgNew_Click(int) {}
void frmMain::lblCategory_DblClick() {}
void frmMain::lblName_DblClick() {}
