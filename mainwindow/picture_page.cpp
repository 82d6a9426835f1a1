// The picture page: choosing a picture file for the shown creature, and the
// Screen button that covers the right-hand column.
#include "mainwindow/main_window.h"
#include "platform/file_chooser.h"
#include "platform/msgbox.h"
#include "platform/picture.h"

namespace {
const char* const kPictureFilter = "Graphics Files (*.bmp;*.gif;*.jpg)|*.bmp;*.gif;*.jpg";
const char* const kPictureErrorTitle = "Error Loading New Picture";
}  // namespace

void frmMain::picPicture_DblClick() {
    const std::optional<QString> chosen = ChooseOpenFile(this, QString::fromLatin1(kPictureFilter));
    if (!chosen) return;  // cancelled: path, picture and record stay as they are

    m_sPicturePath = *chosen;
    const PictureResult pic = LoadPicture(m_sPicturePath);
    if (!pic.ok()) {
        MsgBox(pic.invalidPicture() ? QStringLiteral("Selected file is not a valid picture file.")
                                    : QStringLiteral("Error: ") + pic.description,
               QString::fromLatin1(kPictureErrorTitle));
        // The shown creature is left without a picture; its stored record keeps
        // the old path until something saves the sheet.
        m_sPicturePath.clear();
        picPicture->clearPicture();
        return;
    }
    picPicture->setPicture(pic.image);
    lblNoPicAvail->hide();
    if (!lblName->caption().isEmpty()) SaveCreatureInfo();
}

void frmMain::lblNoPicAvail_DblClick() { picPicture_DblClick(); }

void frmMain::imgScreen_Click() {
    imgConceal->setVisible(imgConceal->isHidden());
    picRoster->setVisible(imgConceal->isHidden());
    ShowPage(2);
}
