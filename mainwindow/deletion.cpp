// The Delete buttons of the creature, category and roster rows: confirm,
// delete with the cascade, reload the list and select its first item, whose
// click handling shows the new current record.
//
// The looks are not reset before the question, so the pressed button keeps
// its pressed look while the confirmation is up; and no pop-up list is shown
// or hidden here (a list closes only through the click handling of its item).
#include "frame/dialogs.h"
#include "mainwindow/main_window.h"

namespace {

// A list whose current record can be deleted: it holds items and one is selected.
bool HasSelectedItem(const ListBox* lst) { return lst->ListCount() > 0 && lst->ListIndex() >= 0; }

}  // namespace

void frmMain::imgDelete_Click(int Index) {
    switch (Index) {
    case 0: {   // creature
        if (!HasSelectedItem(lstCreature)) return;
        ShowAreYouSure(this);
        if (giAreYouSureResult == 1) return;
        // While a roster is open, this also reloads and redraws the roster panel.
        DeleteCreature(lstCreature->ItemData(lstCreature->ListIndex()));
        const int iCat = lstCategory->ListIndex();
        if (iCat >= 0) {
            LoadCreatures(lstCategory->ItemData(iCat));
        } else {
            // No category is chosen (the last one was deleted, or a category
            // creation failed): there is none to list the creatures of, so the
            // creature list and the sheet are emptied, as a reload would
            // begin, without reading anything.
            ClearCreatureList();
        }
        if (lstCreature->ListCount() > 0) lstCreature->setListIndex(0);
        break;
    }
    case 1: {   // category
        if (!HasSelectedItem(lstCategory)) return;
        ShowAreYouSure(this);
        if (giAreYouSureResult == 1) return;
        lblCategory->setCaption(QString());
        DeleteCategory(lstCategory->ItemData(lstCategory->ListIndex()));
        LoadCategories();
        if (lstCategory->ListCount() > 0) lstCategory->setListIndex(0);
        break;
    }
    case 2: {   // roster: only the open one
        if (lblRosterCurrent->caption().isEmpty() || !HasSelectedItem(lstRoster)) return;
        ShowAreYouSure(this);
        if (giAreYouSureResult == 1) return;
        DeleteRoster(lstRoster->ItemData(lstRoster->ListIndex()));
        LoadRosters();
        if (lstRoster->ListCount() > 0) {
            lstRoster->setListIndex(0);
        } else {
            // No roster is left: none is open, while the panel goes on
            // showing the deleted roster's entries.
            lblRosterCurrent->setCaption(QString());
        }
        break;
    }
    default:
        break;
    }
}
