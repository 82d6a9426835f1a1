#include "store/roster_entries.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/widgets.h"

namespace {

// The creature a load takes a row's stored IDCreature for: the value read as
// a 32-bit whole number (reals round half to even, numeric text is read).
// Fails, as the load then does at that row, on a Null or a value that is no
// number or out of range.
qint32 RosterEntryCreatureID(const DbValue& id) { return id.toLong(); }

// The same, with none for a row the load cannot take for any creature.
std::optional<qint32> CreatureNamedByRosterEntry(const DbValue& id) {
    if (id.isNull()) return std::nullopt;
    try {
        return RosterEntryCreatureID(id);
    } catch (const DbError&) {
        return std::nullopt;
    }
}

bool NamesOneOf(const DbValue& id, const QSet<std::int64_t>& creatureIDs) {
    const std::optional<qint32> creature = CreatureNamedByRosterEntry(id);
    return creature && creatureIDs.contains(*creature);
}

}  // namespace

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
            creatures->FindFirst(IdCriteria("IDCreature", RosterEntryCreatureID(stored[next])));
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
    unread.aCreatureID.removeIf([&](const DbValue& id) { return NamesOneOf(id, creatureIDs); });
}

void DeleteRosterEntriesOfCreatures(Database& db, const QSet<std::int64_t>& creatureIDs) {
    if (creatureIDs.isEmpty()) return;
    const QString column = QStringLiteral("IDCreature");
    auto rs = db.OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
    const auto loadable = [](std::int64_t id) {
        return id >= std::numeric_limits<qint32>::min() && id <= std::numeric_limits<qint32>::max();
    };
    QList<std::int64_t> ids;
    for (const std::int64_t id : creatureIDs)
        if (loadable(id)) ids << id;
    std::sort(ids.begin(), ids.end());
    // The rows that may read as one of the creatures hold a number less than
    // 1 away from its ID (the ID itself, or a real that rounds to it), text or
    // a BLOB. Through the index each ID's numbers are read by themselves;
    // without it every search reads the whole table, so one search takes the
    // numbers near any of the IDs, from the least to the greatest. The text
    // and BLOBs come with the last search.
    QList<std::pair<std::int64_t, std::int64_t>> spans;
    if (rs->HasIndexOn(column)) {
        for (const std::int64_t id : std::as_const(ids)) spans.append({id, id});
    } else if (!ids.isEmpty()) {
        spans.append({ids.first(), ids.last()});
    }
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const std::int64_t low = spans[i].first - 1, high = spans[i].second + 1;
        const bool last = i + 1 == spans.size();
        // Each row found is read as a load would read it.
        for (rs->FindFirstBetween(column, low, high, last); !rs->NoMatch();
             rs->FindNextBetween(column, low, high, last))
            if (NamesOneOf(rs->Fields(column).Value(), creatureIDs)) rs->Delete();
    }
    // A key beyond 32 bits, which no load reads, takes the rows that hold it.
    for (const std::int64_t id : creatureIDs)
        if (!loadable(id)) DeleteMatching(*rs, IdCriteria("IDCreature", id));
    rs->Close();
}
