// The pop-up lists of the right-hand column, what picking an item in them
// sets off, and the creature lock that turns the category list into a mover.
#include "mainwindow/main_window.h"

void frmMain::Form_Click() {
    lstCreature->hide();
    lstCategory->hide();
    lstRoster->hide();
}

void frmMain::imgList_Click(int Index) {
    ListBox* toggled = nullptr;
    ListBox* others[2] = {nullptr, nullptr};
    switch (Index) {
        case 0: toggled = lstCreature; others[0] = lstCategory; others[1] = lstRoster; break;
        case 1: toggled = lstCategory; others[0] = lstCreature; others[1] = lstRoster; break;
        case 2: toggled = lstRoster; others[0] = lstCategory; others[1] = lstCreature; break;
        default: return;
    }
    toggled->setVisible(toggled->isHidden());
    if (!toggled->isHidden()) toggled->setFocus();
    others[0]->hide();
    others[1]->hide();
}

void frmMain::lstCategory_Click() {
    lstCategory->hide();
    const int iCat = lstCategory->ListIndex();
    if (iCat < 0) return;  // nothing picked: nothing to list
    lblCategory->setCaption(lstCategory->List(iCat));
    const qint32 lCatID = lstCategory->ItemData(iCat);

    if (m_bLocked) {
        // The lock moves the creature selected now into the picked category,
        // then shows it again there.
        const int iCreature = lstCreature->ListIndex();
        const bool bMoved = iCreature >= 0;
        qint32 lCreatureID = 0;
        if (bMoved) {
            lCreatureID = lstCreature->ItemData(iCreature);
            ChangeCreatureCategory(lCreatureID, lCatID);
        }
        lstCreature->Clear();
        LoadCreatures(lCatID);
        if (bMoved) {
            for (int i = 0; i < lstCreature->ListCount(); ++i) {
                if (lstCreature->ItemData(i) == lCreatureID) {
                    lstCreature->setListIndex(i);
                    break;
                }
            }
        }
        return;
    }

    lstCreature->Clear();
    LoadCreatures(lCatID);
    if (lstCreature->ListCount() > 0) lstCreature->setListIndex(0);
}

void frmMain::lstCreature_Click() {
    lstCreature->hide();
    const int i = lstCreature->ListIndex();
    if (i < 0) return;
    LoadCreatureInfo(lstCreature->ItemData(i));
    ShowPage(0);
}

void frmMain::imgLock_Click() { m_bLocked = !m_bLocked; }
