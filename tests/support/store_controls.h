#pragma once
// Real controls for the store's operations, without the main window: the three
// lists, the creature sheet and the open roster's name, with the open roster's
// variables, as the main window holds them. Drawing the roster panel is the
// window's (its own tests cover it): here the panel's procedures only empty the
// open roster when asked and count the redraws.
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

#include "platform/widgets.h"
#include "store/store.h"
#include "support/program_folder.h"

struct StoreControls {
    explicit StoreControls(const QString& programDir);
    ~StoreControls();

    StoreContext ctx;
    std::unique_ptr<QWidget> host;
    ListBox* lstCategory;
    ListBox* lstCreature;
    ListBox* lstRoster;
    Label* lblName;
    std::array<TextBox*, 21> txtStatText;
    PictureBox* picPicture;
    Label* lblNoPicAvail;
    Label* lblRosterCurrent;

    QString m_sPicturePath;
    SheetRecord m_sheetRecord;
    QStringList m_asRosterName;
    QList<qint32> m_alRosterCreatureID;
    qint16 m_nRosterCount = 0;
    qint16 m_nRosterTop = 0;
    UnreadRosterEntries m_rosterUnread;
    int m_nRosterRedraws = 0;   // calls of the panel's ShowRoster (ClearRoster's included)

    CreatureSheet sheet();
    OpenRoster roster();
    RosterPanel panel();

    // Selects the item whose item data is id (the list's Click runs, unconnected here).
    static bool SelectById(ListBox* list, qint32 id);
    static QStringList Items(const ListBox* list);
    QStringList StatTexts() const;
};
