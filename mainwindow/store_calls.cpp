// (being written)
#include "mainwindow/main_window.h"

void frmMain::LoadCategories() {}
void frmMain::LoadRosters() {}
void frmMain::LoadCreatures(qint32) {}
void frmMain::LoadCreatureInfo(qint32) {}
void frmMain::SaveCreatureInfo() {}
void frmMain::AddCategory(const QString&) {}
void frmMain::AddCreature(const QString&) {}
void frmMain::AddRoster(const QString&) {}
void frmMain::ChangeCategoryName(const QString&, qint32) {}
void frmMain::ChangeCreatureName(const QString&, qint32) {}
void frmMain::ChangeCreatureCategory(qint32, qint32) {}
qint32 frmMain::GetCreatureCategoryID(qint32) { return -1; }
void frmMain::DeleteCreature(qint32) {}
void frmMain::DeleteCategory(qint32) {}
void frmMain::DeleteRoster(qint32) {}
void frmMain::LoadRoster(qint32) {}
void frmMain::SaveRoster() {}
void frmMain::ClearRoster(qint16) {}
void frmMain::FitRosterEntryName(qint16) {}
void frmMain::ShowRoster() {}
