// The main window's life: its start, showing a creature on request, the
// message key of the sibling programs, the Help button and the end.
#include <QCoreApplication>

#include "frame/mailbox.h"
#include "frame/number_parsing.h"
#include "frame/splash.h"
#include "frame/startup.h"
#include "mainwindow/main_window.h"

namespace {
// F8 with exactly Shift (1), Ctrl (2) and Alt (4) held.
constexpr int kMessageKeyCode = 119;
constexpr int kMessageKeyShift = 7;

std::function<void()>& EndProgram() {
    static std::function<void()> endProgram;
    return endProgram;
}
}  // namespace

void frmMain::SetEndProgram(std::function<void()> endProgram) { EndProgram() = std::move(endProgram); }

void frmMain::Form_Load() {
    ArrangeControls();
    m_bLocked = false;
    LoadCategories();
    // Selecting the first category lists its creatures and shows the first one.
    if (lstCategory->ListCount() > 0) lstCategory->setListIndex(0);
    LoadRosters();
    ResetButtonImages();
    LoadStatLabels();
    ShowPage(0);
    if (glStartCreatureID != 0) ShowCreatureByID(glStartCreatureID);
}

void frmMain::ShowCreatureByID(qint32 lCreatureID) {
    // Neither the message key nor a roster line moves the focus, so typing not
    // yet saved is still in the boxes: it belongs to the creature on the sheet
    // and is stored before another creature's record replaces it.
    if (m_bStatChanged) {
        SaveCreatureInfo();
        m_bStatChanged = false;
    }
    const qint32 lCatID = GetCreatureCategoryID(lCreatureID);
    const int nCategories = lstCategory->ListCount();
    for (int i = 0; i < nCategories; ++i) {
        if (lstCategory->ItemData(i) == lCatID) {
            lstCategory->setListIndex(i);
            break;
        }
    }
    // The creature list as the category's selection left it.
    const int nCreatures = lstCreature->ListCount();
    for (int i = 0; i < nCreatures; ++i) {
        if (lstCreature->ItemData(i) == lCreatureID) {
            lstCreature->setListIndex(i);
            break;
        }
    }
}

void frmMain::Form_KeyDown(int KeyCode, int Shift) {
    if (KeyCode != kMessageKeyCode || Shift != kMessageKeyShift) return;
    // Reading removes the value, whatever it holds.
    const std::optional<qint32> lCreatureID = MessageCreatureID(ReadMessage());
    if (!lCreatureID) return;
    ShowCreatureByID(*lCreatureID);
}

void frmMain::imgExit_Click() {
    SaveCreatureInfo();
    // The sheet has just been written: the window's teardown, which moves the
    // focus out of the boxes, finds nothing left to save.
    m_bStatChanged = false;
    if (EndProgram()) {
        EndProgram()();
    } else {
        QCoreApplication::exit(0);
    }
}

void frmMain::Form_Unload() { imgExit_Click(); }

void frmMain::imgHelp_Click() {
    ResetButtonImages();
    // The start-up is done, so the splash window comes up as the about box.
    ShowSplash(m_programDir, this);
}
