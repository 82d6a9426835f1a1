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

    const PictureResult pic = LoadPicture(*chosen);
    if (!pic.ok()) {
        MsgBox(pic.invalidPicture() ? QStringLiteral("Selected file is not a valid picture file.")
                                    : QStringLiteral("Error: ") + pic.description,
               QString::fromLatin1(kPictureErrorTitle));
        // A choice that cannot be shown changes nothing: the creature keeps its
        // picture and path, so no later save of the sheet (every exit saves)
        // can wipe the picture stored in its record.
        return;
    }
    m_sPicturePath = *chosen;
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
