// (being written)
#include "mainwindow/main_window.h"

void frmMain::Form_Click() {}
void frmMain::imgList_Click(int) {}
void frmMain::lstCategory_Click() {}
void frmMain::lstCreature_Click() {}
void frmMain::imgLock_Click() {}
