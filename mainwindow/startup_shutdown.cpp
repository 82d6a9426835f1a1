// (being written)
#include "mainwindow/main_window.h"

void frmMain::Form_Load() {}
void frmMain::ShowCreatureByID(qint32) {}
void frmMain::Form_KeyDown(int, int) {}
void frmMain::Form_Unload() {}
void frmMain::imgExit_Click() {}
void frmMain::imgHelp_Click() {}
void frmMain::SetEndProgram(std::function<void()>) {}
