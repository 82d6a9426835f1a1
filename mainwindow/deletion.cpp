// (being written)
#include "mainwindow/main_window.h"

void frmMain::imgDelete_Click(int) {}
