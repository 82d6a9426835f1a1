// The New buttons of the creature, category and roster rows, and the renames
// started by a double-click on the category label or the creature's name.
// Each asks for the name with the text prompt, writes it, reloads the list
// concerned and selects the record in it; what the window shows afterwards
// follows from that selection through the list's own click handling.
#include "frame/dialogs.h"
#include "frame/name_check.h"
#include "mainwindow/main_window.h"

namespace {

// Longest name a creature rename keeps.
constexpr int kCreatureNameMax = 48;

// Selects, in list order, every item whose text equals sName exactly; each
// selection runs the list's click handling before the search goes on, so of
// equal names the last one stays selected.
void SelectEveryItemNamed(ListBox* lst, const QString& sName) {
    const int nCount = lst->ListCount();
    for (int i = 0; i < nCount && i < lst->ListCount(); ++i)
        if (lst->List(i) == sName) lst->setListIndex(i);
}

// Selects the first item whose item data is lID, if any.
void SelectFirstItemWithID(ListBox* lst, qint32 lID) {
    const int nCount = lst->ListCount();
    for (int i = 0; i < nCount; ++i) {
        if (lst->ItemData(i) == lID) {
            lst->setListIndex(i);
            return;
        }
    }
}

}  // namespace

void frmMain::imgNew_Click(int Index) {
    static const char* const kPrompts[3] = {
        "Enter name of new creature:",
        "Enter name of new category:",
        "Enter name of new roster:",
    };
    if (Index < 0 || Index > 2) return;
    // A creature needs a chosen category; without one nothing happens at all.
    if (Index == 0 && (lblCategory->caption().isEmpty() || lstCategory->ListIndex() < 0)) return;

    gsInputText = QString::fromLatin1(kPrompts[Index]);
    gsInputDefault = QString();
    ResetButtonImages();
    ShowInputBox(this);
    if (gsInputText.isEmpty()) return;
    // Stored exactly as typed: no check, no cut, no trimming.
    const QString sName = gsInputText;

    switch (Index) {
    case 0: {
        AddCreature(sName);
        const int iCat = lstCategory->ListIndex();
        if (iCat < 0) return;
        LoadCreatures(lstCategory->ItemData(iCat));
        SelectEveryItemNamed(lstCreature, sName);
        break;
    }
    case 1:
        AddCategory(sName);
        LoadCategories();
        SelectEveryItemNamed(lstCategory, sName);
        break;
    case 2:
        AddRoster(sName);
        LoadRosters();
        SelectEveryItemNamed(lstRoster, sName);
        break;
    }
}

void frmMain::lblCategory_DblClick() {
    if (lblCategory->caption().isEmpty() || lstCategory->ListIndex() < 0) return;

    gsInputText = QStringLiteral("Enter new name:");
    gsInputDefault = lblCategory->caption();
    ResetButtonImages();
    ShowInputBox(this);
    if (gsInputText.isEmpty()) return;
    if (!IsValidName(gsInputText)) return;
    const QString sName = gsInputText;

    const qint32 lCatID = lstCategory->ItemData(lstCategory->ListIndex());
    ChangeCategoryName(sName, lCatID);
    const int iCreature = lstCreature->ListIndex();
    const qint32 lCreatureID = iCreature >= 0 ? lstCreature->ItemData(iCreature) : 0;

    LoadCategories();
    // The category by its ID, wherever its new name sorts; its click handling
    // lists its creatures and shows the first.
    SelectFirstItemWithID(lstCategory, lCatID);
    // Then the creature that was shown before, again on statistics page 0.
    if (lstCreature->ListIndex() >= 0) SelectFirstItemWithID(lstCreature, lCreatureID);
}

void frmMain::lblName_DblClick() {
    if (lblName->caption().isEmpty() || lstCategory->ListIndex() < 0) return;
    // A shown name always has its creature selected; without one there is
    // nothing to rename.
    if (lstCreature->ListIndex() < 0) return;

    gsInputText = QStringLiteral("Enter new name:");
    gsInputDefault = lblName->caption();
    ResetButtonImages();
    ShowInputBox(this);
    if (gsInputText.isEmpty()) return;
    // The check sees the whole answer; only then is it cut.
    if (!IsValidName(gsInputText)) return;
    gsInputText = gsInputText.left(kCreatureNameMax);
    const QString sName = gsInputText;

    ChangeCreatureName(sName, lstCreature->ItemData(lstCreature->ListIndex()));
    const int iCat = lstCategory->ListIndex();
    if (iCat < 0) return;
    LoadCreatures(lstCategory->ItemData(iCat));
    SelectEveryItemNamed(lstCreature, sName);
}
