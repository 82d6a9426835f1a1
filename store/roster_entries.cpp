#include "store/roster_entries.h"

#include <limits>

#include "platform/widgets.h"

void ShowRoster(const OpenRoster& roster, RosterPanel& panel) {
    const int count = roster.m_nRosterCount;
    const int top = roster.m_nRosterTop;
    panel.imgRosterScroll[0]->setVisible(top != 0);
    panel.imgRosterScroll[1]->setVisible(count - top > 8);
    for (Label* line : panel.lblRosterEntry) line->setCaption(QString());
    for (int i = 0; i < 8 && top + i < count; ++i)
        panel.lblRosterEntry[size_t(i)]->setCaption(roster.m_asRosterName[top + i]);
}

void FitRosterEntryName(qint16 i, OpenRoster& roster, RosterPanel& panel) {
    Label* sizing = panel.lblSizing;
    const auto widthOf = [&](const QString& caption) {
        sizing->setCaption(caption);
        return sizing->width();
    };
    const auto tooWide = [&](int widthPx) { return float(widthPx) * float(panel.lTwipsPerPixelX) > kRosterLineTwips; };
    const QString name = roster.m_asRosterName[i];
    const int nameWidth = widthOf(name);
    if (!tooWide(nameWidth)) return;
    // The longest start of the name that fits with "..." after it (none at all
    // when even "..." alone is too wide). A longer start is never narrower, so
    // any search finds the cut that dropping one character at a time finds.
    // Measuring is what costs, so the search starts where the name's average
    // character width puts the cut, usually within a character or two of it,
    // widens its steps from there until the cut is bracketed, then bisects.
    const QString dots = QStringLiteral("...");
    const qsizetype n = name.size();
    const auto fits = [&](qsizetype k) { return !tooWide(widthOf(name.left(k) + dots)); };
    const double roomPx = double(kRosterLineTwips) / panel.lTwipsPerPixelX - widthOf(dots);
    const qsizetype guess = qBound<qsizetype>(0, qsizetype(roomPx * double(n) / nameWidth), n);
    qsizetype fitting = 0;   // the cut is at least this (0 also when nothing fits)
    qsizetype wide = n + 1;  // every start from here on is too wide
    qsizetype step = 1;
    if (fits(guess)) {
        fitting = guess;
        while (fitting + step < wide) {
            if (!fits(fitting + step)) {
                wide = fitting + step;
                break;
            }
            fitting += step;
            step *= 2;
        }
    } else {
        wide = guess;
        while (wide - step > fitting) {
            if (fits(wide - step)) {
                fitting = wide - step;
                break;
            }
            wide -= step;
            step *= 2;
        }
    }
    while (wide - fitting > 1) {
        const qsizetype mid = fitting + (wide - fitting) / 2;
        if (fits(mid)) fitting = mid;
        else wide = mid;
    }
    const QString fitted = name.left(fitting) + dots;
    sizing->setCaption(fitted);
    roster.m_asRosterName[i] = fitted;
}

void ClearRoster(const StoreContext& ctx, qint16 iSave, OpenRoster& roster, RosterPanel& panel) {
    roster.m_nRosterCount = 0;
    roster.m_nRosterTop = 0;
    roster.m_asRosterName.clear();
    roster.m_alRosterCreatureID.clear();
    // The roster is emptied on purpose: nothing unread is kept for it.
    roster.m_unread = UnreadRosterEntries{};
    if (iSave != 0) SaveRoster(ctx, roster, panel.lstRoster);
    ShowRoster(roster, panel);
}

void LoadRoster(const StoreContext& ctx, qint32 lRosterID, OpenRoster& roster, RosterPanel& panel) {
    ClearRoster(ctx, 0, roster, panel);
    QList<qint32> stored;   // creature IDs of the roster's rows, in stored order
    bool listed = false;
    qsizetype next = 0;     // the first stored entry not yet in memory
    const bool ok = RunAccessCycle(ctx, QString::fromLatin1(kTitleLoadRoster), [&](Database& db) {
        auto entries = db.OpenRecordset(QStringLiteral("RosterList"), dbOpenSnapshot);
        auto creatures = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenSnapshot);
        const QString criteria = IdCriteria("IDRoster", lRosterID);
        entries->FindFirst(criteria);
        while (!entries->NoMatch()) {
            stored << entries->Fields(QStringLiteral("IDCreature")).Value().toLong();
            entries->FindNext(criteria);
        }
        listed = true;
        for (; next < stored.size(); ++next) {
            creatures->FindFirst(IdCriteria("IDCreature", stored[next]));
            if (creatures->NoMatch()) continue;   // the creature is gone: skipped
            // Both values are read before the entry is added, so a failed
            // conversion leaves no half-made entry behind.
            const QString name = creatures->Fields(QStringLiteral("Name")).Value().toText();
            const qint32 id = creatures->Fields(QStringLiteral("IDCreature")).Value().toLong();
            if (roster.m_nRosterCount == std::numeric_limits<qint16>::max())
                throw DbError(storeErrRosterFull, QStringLiteral("The roster holds more entries than can be opened."));
            roster.m_asRosterName << name;
            roster.m_alRosterCreatureID << id;
            ++roster.m_nRosterCount;
        }
    });
    if (!ok) {
        roster.m_unread.lRosterID = lRosterID;
        if (listed) roster.m_unread.alCreatureID = stored.mid(next);
        else roster.m_unread.bUnknown = true;
    }
}

void SaveRoster(const StoreContext& ctx, const OpenRoster& roster, ListBox* lstRoster) {
    RunAccessCycle(ctx, QString::fromLatin1(kTitleSaveRoster), [&](Database& db) {
        auto rs = db.OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
        const auto rosterID = [&]() -> qint32 {
            const int selected = lstRoster->ListIndex();
            if (selected < 0) throw DbError(storeErrNoSelection, QStringLiteral("No roster is selected."));
            return lstRoster->ItemData(selected);
        };
        const UnreadRosterEntries& unread = roster.m_unread;
        const bool ownUnread = (unread.bUnknown || !unread.alCreatureID.isEmpty()) && unread.lRosterID == rosterID();
        if (ownUnread && unread.bUnknown)
            throw DbError(storeErrRosterIncomplete,
                          QStringLiteral("The roster's stored entries could not be read when it was opened, so "
                                         "they are not replaced. Open the roster again."));
        rs->FindFirst(IdCriteria("IDRoster", rosterID()));
        while (!rs->NoMatch()) {
            rs->Delete();
            rs->FindNext(IdCriteria("IDRoster", rosterID()));
        }
        const auto add = [&](qint32 creatureID) {
            rs->AddNew();
            rs->Fields(QStringLiteral("IDRoster")).SetLong(rosterID());
            rs->Fields(QStringLiteral("IDCreature")).SetLong(creatureID);
            rs->Fields(QStringLiteral("Probability")).SetInteger(0);
            rs->Update();
        };
        const int count = roster.m_nRosterCount;
        for (int i = 0; i < count; ++i) add(roster.m_alRosterCreatureID[i]);
        if (ownUnread)
            for (qint32 id : unread.alCreatureID) add(id);
    });
}
