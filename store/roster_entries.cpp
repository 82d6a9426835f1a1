#include "store/roster_entries.h"

#include <limits>

#include "platform/widgets.h"

void LoadRoster(const StoreContext& ctx, qint32 lRosterID, OpenRoster& roster, RosterPanel& panel) {
    panel.ClearRoster(0);
    QList<DbValue> stored;  // IDCreature of the roster's rows as stored, in stored order
    bool listed = false;
    qsizetype next = 0;     // the first stored entry not yet in memory
    const bool ok = RunAccessCycle(ctx, QString::fromLatin1(kTitleLoadRoster), [&](Database& db) {
        auto entries = db.OpenRecordset(QStringLiteral("RosterList"), dbOpenSnapshot);
        auto creatures = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenSnapshot);
        const QString criteria = IdCriteria("IDRoster", lRosterID);
        entries->FindFirst(criteria);
        while (!entries->NoMatch()) {
            stored << entries->Fields(QStringLiteral("IDCreature")).Value();
            entries->FindNext(criteria);
        }
        listed = true;
        for (; next < stored.size(); ++next) {
            // A Null or a value that is no number fails here, at its own row:
            // the entries before it stay open.
            creatures->FindFirst(IdCriteria("IDCreature", stored[next].toLong()));
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
        if (listed) roster.m_unread.aCreatureID = stored.mid(next);
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
        const bool ownUnread = (unread.bUnknown || !unread.aCreatureID.isEmpty()) && unread.lRosterID == rosterID();
        if (ownUnread && unread.bUnknown)
            throw DbError(storeErrRosterIncomplete,
                          QStringLiteral("The roster's stored entries could not be read when it was opened, so "
                                         "they are not replaced. Open the roster again."));
        DeleteMatching(*rs, IdCriteria("IDRoster", rosterID()));
        const auto add = [&](const auto& setCreatureID) {
            rs->AddNew();
            rs->Fields(QStringLiteral("IDRoster")).SetLong(rosterID());
            setCreatureID(rs->Fields(QStringLiteral("IDCreature")));
            rs->Fields(QStringLiteral("Probability")).SetInteger(0);
            rs->Update();
        };
        const int count = roster.m_nRosterCount;
        for (int i = 0; i < count; ++i)
            add([&](Field field) { field.SetLong(roster.m_alRosterCreatureID[i]); });
        // Each unread row's IDCreature goes back with its stored type and bytes.
        if (ownUnread)
            for (const DbValue& id : unread.aCreatureID) add([&](Field field) { field.SetValue(id); });
    });
}

void ForgetUnreadRosterEntries(UnreadRosterEntries& unread, const QSet<std::int64_t>& creatureIDs) {
    unread.aCreatureID.removeIf([&](const DbValue& id) {
        // The creature a load would take the row for; a row it cannot take
        // for any (Null, no number, out of range) names none.
        if (id.isNull()) return false;
        try {
            return creatureIDs.contains(id.toLong());
        } catch (const DbError&) {
            return false;
        }
    });
}
