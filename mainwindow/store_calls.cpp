// The database operations as the main window calls them: each passes this
// window's own lists, sheet, open roster and roster panel to the store.
#include "mainwindow/main_window.h"
#include "store/store.h"

namespace {
StoreContext Context(const frmMain& w) { return StoreContext{w.programDir()}; }

CreatureSheet Sheet(frmMain& w) {
    return CreatureSheet{w.lblName, w.txtStatText, w.picPicture, w.lblNoPicAvail, &w.m_sPicturePath,
                         &w.m_sheetRecord};
}

OpenRoster Roster(frmMain& w) {
    return OpenRoster{w.m_asRosterName, w.m_alRosterCreatureID, w.m_nRosterCount, w.m_nRosterTop, w.m_rosterUnread};
}

// The roster operations call back into this window's own roster procedures.
RosterPanel Panel(frmMain& w) {
    return RosterPanel{w.lblRosterCurrent, w.lstRoster, [&w](qint16 iSave) { w.ClearRoster(iSave); },
                       [&w](qint16 i) { w.FitRosterEntryName(i); }, [&w]() { w.ShowRoster(); }};
}
}  // namespace

void frmMain::LoadCategories() { ::LoadCategories(Context(*this), lstCategory); }
void frmMain::LoadRosters() { ::LoadRosters(Context(*this), lstRoster); }

void frmMain::LoadCreatures(qint32 lCatID) {
    CreatureSheet sheet = Sheet(*this);
    ::LoadCreatures(Context(*this), lCatID, lstCreature, sheet);
}

void frmMain::ClearCreatureList() {
    CreatureSheet sheet = Sheet(*this);
    ::ClearCreatureList(lstCreature, sheet);
}

void frmMain::LoadCreatureInfo(qint32 lCreatureID) {
    CreatureSheet sheet = Sheet(*this);
    ::LoadCreatureInfo(Context(*this), lCreatureID, sheet);
}

void frmMain::SaveCreatureInfo() {
    const CreatureSheet sheet = Sheet(*this);
    ::SaveCreatureInfo(Context(*this), lstCreature, sheet);
}

void frmMain::AddCategory(const QString& sName) { ::AddCategory(Context(*this), sName); }
void frmMain::AddCreature(const QString& sName) { ::AddCreature(Context(*this), sName, lstCategory); }
void frmMain::AddRoster(const QString& sName) { ::AddRoster(Context(*this), sName); }

void frmMain::ChangeCategoryName(const QString& sName, qint32 lCatID) {
    ::ChangeCategoryName(Context(*this), sName, lCatID);
}

void frmMain::ChangeCreatureName(const QString& sName, qint32 lCreatureID) {
    ::ChangeCreatureName(Context(*this), sName, lCreatureID);
}

void frmMain::ChangeCreatureCategory(qint32 lCreatureID, qint32 lCatID) {
    ::ChangeCreatureCategory(Context(*this), lCreatureID, lCatID);
}

qint32 frmMain::GetCreatureCategoryID(qint32 lCreatureID) {
    return ::GetCreatureCategoryID(Context(*this), lCreatureID);
}

void frmMain::DeleteCreature(qint32 lCreatureID) {
    OpenRoster roster = Roster(*this);
    RosterPanel panel = Panel(*this);
    ::DeleteCreature(Context(*this), lCreatureID, roster, panel);
}

void frmMain::DeleteCategory(qint32 lCatID) {
    OpenRoster roster = Roster(*this);
    RosterPanel panel = Panel(*this);
    ::DeleteCategory(Context(*this), lCatID, roster, panel);
}
void frmMain::DeleteRoster(qint32 lRosterID) { ::DeleteRoster(Context(*this), lRosterID); }

void frmMain::LoadRoster(qint32 lRosterID) {
    OpenRoster roster = Roster(*this);
    RosterPanel panel = Panel(*this);
    ::LoadRoster(Context(*this), lRosterID, roster, panel);
}

void frmMain::SaveRoster() {
    const OpenRoster roster = Roster(*this);
    ::SaveRoster(Context(*this), roster, lstRoster);
}
