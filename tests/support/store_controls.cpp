#include "support/store_controls.h"

StoreControls::StoreControls(const QString& programDir) : ctx{programDir}, host(std::make_unique<QWidget>()) {
    QWidget* h = host.get();
    lstCategory = new ListBox(h, true);
    lstCreature = new ListBox(h, true);
    lstRoster = new ListBox(h, false);
    lblName = new Label(h);
    for (int i = 0; i <= 20; ++i) txtStatText[size_t(i)] = new TextBox(h, i, i == 10);
    picPicture = new PictureBox(h);
    lblNoPicAvail = new Label(h);
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
    const auto clear = [this](qint16 iSave) {
        m_asRosterName.clear();
        m_alRosterCreatureID.clear();
        m_nRosterCount = 0;
        m_nRosterTop = 0;
        m_rosterUnread = UnreadRosterEntries{};
        if (iSave != 0) SaveRoster(ctx, roster(), lstRoster);
        ++m_nRosterRedraws;
    };
    return RosterPanel{lblRosterCurrent, lstRoster, clear, [](qint16) {}, [this]() { ++m_nRosterRedraws; }};
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

QStringList StoreControls::StatTexts() const {
    QStringList out;
    for (TextBox* t : txtStatText) out << t->text();
    return out;
}
