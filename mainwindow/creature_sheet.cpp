// The creature sheet: the two statistics pages and the picture page, the
// statistic label captions and their renaming, and the editing of the boxes.
#include "frame/dialogs.h"
#include "frame/label_settings.h"
#include "frame/name_check.h"
#include "mainwindow/main_window.h"
#include "platform/msgbox.h"

#include <QDir>

namespace {
QString FieldKey(int k) { return QStringLiteral("Field%1").arg(k); }
}  // namespace

void frmMain::ShowPage(qint16 iPage) {
    switch (iPage) {
        case 0:
            picPicture->hide();
            lblStatLabel[10]->show();
            lblStatLabel[10]->setCaption(QStringLiteral("Description"));
            txtStatText[10]->show();
            for (size_t i = 0; i <= 9; ++i) {
                lblStatLabel[i]->setCaption(m_asStatLabel[i]);
                txtStatText[i + 11]->hide();
                txtStatText[i]->show();
            }
            break;
        case 1:
            picPicture->hide();
            lblStatLabel[10]->hide();
            txtStatText[10]->hide();
            for (size_t k = 11; k <= 20; ++k) {
                lblStatLabel[k - 11]->setCaption(m_asStatLabel[k]);
                txtStatText[k]->show();
                txtStatText[k - 11]->hide();
            }
            break;
        case 2:
            picPicture->show();
            lblNoPicAvail->setVisible(m_sPicturePath.isEmpty());
            break;
        default:
            break;
    }
}

void frmMain::LoadStatLabels() {
    for (size_t i = 0; i <= 20; ++i) m_asStatLabel[i] = ReadCfgValue(CfgPath(), FieldKey(int(i)));
}

void frmMain::imgPage1_Click() { ShowPage(0); }
void frmMain::imgPage2_Click() { ShowPage(1); }
void frmMain::imgPicture_Click() { ShowPage(2); }

void frmMain::lblStatLabel_DblClick(int Index) {
    if (Index < 0 || Index > 10) return;
    Label* label = lblStatLabel[size_t(Index)];
    // The description's label always reads "Description".
    if (label->caption() == QLatin1String("Description")) return;

    gsInputText = QStringLiteral("Enter new label:");
    gsInputDefault = label->caption();
    ResetButtonImages();
    ShowInputBox(this);
    const QString sAnswer = gsInputText;
    if (sAnswer.isEmpty() || !IsValidName(sAnswer)) return;

    // Label 10 is visible on page 0 only; on page 1 the labels carry 11..20.
    const int k = lblStatLabel[10]->isHidden() ? Index + 11 : Index;
    const QString sOld = m_asStatLabel[size_t(k)];
    m_asStatLabel[size_t(k)] = sAnswer;
    label->setCaption(sAnswer);
    if (!WriteCfgValue(CfgPath(), FieldKey(k), label->caption())) {
        // The file keeps the old caption (read-only, missing, disk full): so
        // does the screen, and the user is told, rather than see a caption
        // that is gone at the next start.
        m_asStatLabel[size_t(k)] = sOld;
        label->setCaption(sOld);
        MsgBox(QStringLiteral("Error: The label could not be saved, because the file \"%1\" cannot be rewritten.")
                   .arg(QDir::toNativeSeparators(CfgPath())),
               QStringLiteral("Error Saving Label"));
    }
}

void frmMain::txtStatText_GotFocus(int Index) {
    if (Index < 0 || Index > 20) return;
    txtStatText[size_t(Index)]->selectAll();
}

void frmMain::txtStatText_KeyPress(int, int) { m_bStatChanged = true; }

void frmMain::txtStatText_LostFocus(int) {
    if (!m_bStatChanged) return;
    SaveCreatureInfo();
    // Cleared whether or not the save succeeded, so a failed save is not repeated.
    m_bStatChanged = false;
}
