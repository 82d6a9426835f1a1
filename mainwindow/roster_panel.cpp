// (being written)
#include "mainwindow/main_window.h"

void frmMain::lstRoster_Click() {}
void frmMain::imgAdd_Click() {}
void frmMain::imgRemove_Click() {}
void frmMain::imgClear_Click() {}
void frmMain::imgRosterScroll_Click(int) {}
void frmMain::lblRosterEntry_Click(int) {}
void frmMain::lblRosterEntry_DblClick(int) {}
