// The roster panel's handlers: opening a roster, Add, Remove, Clear, the two
// scroll arrows, the line highlight and the double-click that shows an entry's
// creature. Every change of the open roster is saved at once.
//
// The highlight has no variable of its own: a line's text colour is its only
// record, and it belongs to the line, not to the entry shown on it.
#include <limits>

#include "frame/dialogs.h"
#include "mainwindow/main_window.h"

namespace {

constexpr int kRosterLines = 8;

bool IsHighlighted(const Label* line) { return line->foreColor() == kHighlightBlue; }

}  // namespace

void frmMain::lstRoster_Click() {
    lstRoster->hide();
    const int iItem = lstRoster->ListIndex();
    if (iItem < 0) return;
    lblRosterCurrent->setCaption(lstRoster->List(iItem));
    LoadRoster(lstRoster->ItemData(iItem));
    const qint16 nCount = m_nRosterCount;
    for (qint16 i = 0; i < nCount; ++i) FitRosterEntryName(i);
    m_nRosterTop = 0;
    ShowRoster();
}

void frmMain::imgAdd_Click() {
    if (lblRosterCurrent->caption().isEmpty() || lblName->caption().isEmpty()) return;
    // The shown creature is the one selected in the creature list.
    const int iCreature = lstCreature->ListIndex();
    if (iCreature < 0) return;
    // The count is a 16-bit number: a full roster takes no more entries.
    if (m_nRosterCount >= std::numeric_limits<qint16>::max()) return;

    // The new name, whole, against the stored (already shortened) display
    // names, by character code; equal names go after the ones already there.
    const QString sName = lblName->caption();
    qint16 iPos = 0;
    while (iPos < m_nRosterCount && !(sName < m_asRosterName[iPos])) ++iPos;

    m_asRosterName.insert(iPos, sName);
    m_alRosterCreatureID.insert(iPos, lstCreature->ItemData(iCreature));
    ++m_nRosterCount;
    FitRosterEntryName(iPos);
    SaveRoster();
    ShowRoster();
}

void frmMain::imgRemove_Click() {
    if (lblRosterCurrent->caption().isEmpty() || lblRosterEntry[0]->caption().isEmpty()) return;

    int iLine = 0;
    while (iLine < kRosterLines && !IsHighlighted(lblRosterEntry[size_t(iLine)])) ++iLine;
    if (iLine == kRosterLines) return;
    lblRosterEntry[size_t(iLine)]->setForeColor(kDarkBrown);

    const int k = m_nRosterTop + iLine;
    if (k >= m_nRosterCount) return;   // a blank line: nothing to remove

    m_asRosterName.removeAt(k);
    m_alRosterCreatureID.removeAt(k);
    --m_nRosterCount;
    SaveRoster();
    if (m_nRosterTop != 0 && m_nRosterCount - m_nRosterTop < kRosterLines) --m_nRosterTop;
    ShowRoster();
}

void frmMain::imgClear_Click() {
    if (lblRosterCurrent->caption().isEmpty()) return;
    // The looks are not reset first: Clear keeps its pressed look while asked.
    ShowAreYouSure(this);
    if (giAreYouSureResult != 1) ClearRoster(1);
}

void frmMain::imgRosterScroll_Click(int Index) {
    // An arrow is shown only when there is an entry to scroll to, so a click
    // always has one; the offset never goes below 0 all the same.
    if (Index == 0 && m_nRosterTop > 0) --m_nRosterTop;
    else if (Index == 1 && m_nRosterTop < m_nRosterCount) ++m_nRosterTop;
    ShowRoster();
}

void frmMain::lblRosterEntry_Click(int Index) {
    if (Index < 0 || Index >= kRosterLines) return;
    for (int i = 0; i < kRosterLines; ++i)
        if (i != Index) lblRosterEntry[size_t(i)]->setForeColor(kDarkBrown);
    Label* line = lblRosterEntry[size_t(Index)];
    line->setForeColor(IsHighlighted(line) ? kDarkBrown : kHighlightBlue);
}

void frmMain::lblRosterEntry_DblClick(int Index) {
    if (Index < 0 || Index >= kRosterLines) return;
    if (lblRosterEntry[0]->caption().isEmpty()) return;
    // The click that came first has toggled the line; a double-click leaves it normal.
    lblRosterEntry[size_t(Index)]->setForeColor(kDarkBrown);
    const int k = m_nRosterTop + Index;
    if (k >= m_nRosterCount) return;

    // The entry's category by the creature's category ID, then the creature
    // by its ID, each selection running its list's click handling.
    ShowCreatureByID(m_alRosterCreatureID[k]);
}
