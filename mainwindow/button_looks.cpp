// The looks of the main window's buttons: every button shows its normal, lit
// or pressed picture from the button picture store; the three corner buttons
// show only while the pointer is in the window's bottom-right zone.
#include "frame/button_store.h"
#include "frame/geometry.h"
#include "mainwindow/main_window.h"

namespace {
constexpr int kNormal = LookNormal, kHover = LookHover, kPressed = LookPressed;

QPixmap icons(int cell) { return frmImageStore::Instance().Cell(StoreGrid::clpIcons, cell); }
QPixmap scrollCell(int cell) { return frmImageStore::Instance().Cell(StoreGrid::clpIconsScroll, cell); }
QPixmap lockCell(int cell) { return frmImageStore::Instance().Cell(StoreGrid::clpIconsSave, cell); }
QPixmap look(StoreArray a, int l) { return frmImageStore::Instance().Image(a, l); }
}  // namespace

void frmMain::ResetButtonImages() {
    imgPage1->setPicture(look(StoreArray::imgPage1, kNormal));
    imgPage2->setPicture(look(StoreArray::imgPage2, kNormal));
    imgPicture->setPicture(look(StoreArray::imgPicture, kNormal));
    imgScreen->setPicture(look(StoreArray::imgScreen, kNormal));
    imgHelp->setPicture(look(StoreArray::imgHelp, kNormal));
    imgExit->setPicture(look(StoreArray::imgExit, kNormal));
    imgAdd->setPicture(look(StoreArray::imgAdd, kNormal));
    imgRemove->setPicture(look(StoreArray::imgRemove, kNormal));
    imgClear->setPicture(look(StoreArray::imgClear, kNormal));
    // While the lock is on, its button keeps its pressed look.
    if (!m_bLocked) imgLock->setPicture(lockCell(kNormal));
    for (int i = 0; i < 3; ++i) {
        imgList[size_t(i)]->setPicture(icons(9 * i));
        imgNew[size_t(i)]->setPicture(icons(9 * i + 1));
        imgDelete[size_t(i)]->setPicture(icons(9 * i + 2));
    }
    imgRosterScroll[0]->setPicture(scrollCell(0));
    imgRosterScroll[1]->setPicture(scrollCell(3));
}

void frmMain::Form_MouseMove(QPoint posPx) {
    const qint64 x = qint64(posPx.x()) * glTwipsPerPixelX;
    const qint64 y = qint64(posPx.y()) * glTwipsPerPixelY;
    const bool inCorner = x >= 400LL * glTwipsPerPixelX && y >= 370LL * glTwipsPerPixelY;
    imgScreen->setVisible(inCorner);
    imgHelp->setVisible(inCorner);
    imgExit->setVisible(inCorner);
    ResetButtonImages();
}

#define OV_BUTTON_LOOKS(button)                                   \
    void frmMain::button##_MouseMove() {                          \
        ResetButtonImages();                                      \
        button->setPicture(look(StoreArray::button, kHover));     \
    }                                                             \
    void frmMain::button##_MouseDown() {                          \
        ResetButtonImages();                                      \
        button->setPicture(look(StoreArray::button, kPressed));   \
    }

OV_BUTTON_LOOKS(imgPage1)
OV_BUTTON_LOOKS(imgPage2)
OV_BUTTON_LOOKS(imgPicture)
OV_BUTTON_LOOKS(imgScreen)
OV_BUTTON_LOOKS(imgHelp)
OV_BUTTON_LOOKS(imgExit)
OV_BUTTON_LOOKS(imgAdd)
OV_BUTTON_LOOKS(imgRemove)
OV_BUTTON_LOOKS(imgClear)
#undef OV_BUTTON_LOOKS

void frmMain::imgList_MouseMove(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 3) imgList[size_t(Index)]->setPicture(icons(9 * Index + 3));
}
void frmMain::imgList_MouseDown(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 3) imgList[size_t(Index)]->setPicture(icons(9 * Index + 6));
}
void frmMain::imgNew_MouseMove(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 3) imgNew[size_t(Index)]->setPicture(icons(9 * Index + 4));
}
void frmMain::imgNew_MouseDown(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 3) imgNew[size_t(Index)]->setPicture(icons(9 * Index + 7));
}
void frmMain::imgDelete_MouseMove(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 3) imgDelete[size_t(Index)]->setPicture(icons(9 * Index + 5));
}
void frmMain::imgDelete_MouseDown(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 3) imgDelete[size_t(Index)]->setPicture(icons(9 * Index + 8));
}
void frmMain::imgRosterScroll_MouseMove(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 2) imgRosterScroll[size_t(Index)]->setPicture(scrollCell(3 * Index + 1));
}
void frmMain::imgRosterScroll_MouseDown(int Index) {
    ResetButtonImages();
    if (Index >= 0 && Index < 2) imgRosterScroll[size_t(Index)]->setPicture(scrollCell(3 * Index + 2));
}
void frmMain::imgLock_MouseMove() {
    ResetButtonImages();
    if (!m_bLocked) imgLock->setPicture(lockCell(kHover));
}
void frmMain::imgLock_MouseDown() {
    ResetButtonImages();
    imgLock->setPicture(lockCell(kPressed));
}
