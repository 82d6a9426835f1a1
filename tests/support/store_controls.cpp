#include "support/store_controls.h"

#include <QFont>

StoreControls::StoreControls(const QString& programDir) : ctx{programDir}, host(std::make_unique<QWidget>()) {
    QWidget* h = host.get();
    lstCategory = new ListBox(h, true);
    lstCreature = new ListBox(h, true);
    lstRoster = new ListBox(h, false);
    lblName = new Label(h);
    for (int i = 0; i <= 20; ++i) txtStatText[size_t(i)] = new TextBox(h, i, i == 10);
    picPicture = new PictureBox(h);
    lblNoPicAvail = new Label(h);
    for (int i = 0; i < 8; ++i) {
        lblRosterEntry[size_t(i)] = new Label(h, i);
        lblRosterEntry[size_t(i)]->setLiteralAmpersand(true);
    }
    for (int i = 0; i < 2; ++i) imgRosterScroll[size_t(i)] = new PictureButton(h, i);
    lblSizing = new Label(h);
    SetProgramFont(lblSizing);
    QFont f = lblSizing->font();
    f.setPointSize(9);   // 12 px at 15 twips per pixel
    lblSizing->setFont(f);
    lblSizing->setLiteralAmpersand(true);
    lblSizing->setAutoSize(true);
    lblSizing->setCaption(QStringLiteral("Sizing label"));
    lblSizing->hide();
    lblRosterCurrent = new Label(h);
}

StoreControls::~StoreControls() = default;

CreatureSheet StoreControls::sheet() {
    return CreatureSheet{lblName, txtStatText, picPicture, lblNoPicAvail, &m_sPicturePath, &m_sheetRecord};
}

OpenRoster StoreControls::roster() {
    return OpenRoster{m_asRosterName, m_alRosterCreatureID, m_nRosterCount, m_nRosterTop, m_rosterUnread};
}

RosterPanel StoreControls::panel() {
    return RosterPanel{lblRosterEntry, imgRosterScroll, lblSizing, lblRosterCurrent, lstRoster, 15};
}

bool StoreControls::SelectById(ListBox* list, qint32 id) {
    for (int i = 0; i < list->ListCount(); ++i) {
        if (list->ItemData(i) == id) {
            list->setListIndex(i);
            return true;
        }
    }
    return false;
}

QStringList StoreControls::Items(const ListBox* list) {
    QStringList out;
    for (int i = 0; i < list->ListCount(); ++i) out << list->List(i);
    return out;
}

QStringList StoreControls::Lines() const {
    QStringList out;
    for (Label* l : lblRosterEntry) out << l->caption();
    return out;
}

QStringList StoreControls::StatTexts() const {
    QStringList out;
    for (TextBox* t : txtStatText) out << t->text();
    return out;
}
