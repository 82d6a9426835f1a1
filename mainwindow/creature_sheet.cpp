// (being written)
#include "mainwindow/main_window.h"

void frmMain::ShowPage(qint16) {}
void frmMain::LoadStatLabels() {}
void frmMain::imgPage1_Click() {}
void frmMain::imgPage2_Click() {}
void frmMain::imgPicture_Click() {}
void frmMain::lblStatLabel_DblClick(int) {}
void frmMain::txtStatText_GotFocus(int) {}
void frmMain::txtStatText_KeyPress(int, int) {}
void frmMain::txtStatText_LostFocus(int) {}
