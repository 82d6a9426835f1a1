#include "store/record_operations.h"

#include <algorithm>

#include "platform/widgets.h"

namespace {

QString Title(const char* t) { return QString::fromLatin1(t); }

// A new row with one text column set; the engine numbers it.
void AddNamedRow(const StoreContext& ctx, const char* table, const QString& sName, const char* title) {
    RunAccessCycle(ctx, Title(title), [&](Database& db) {
        auto rs = db.OpenRecordset(QString::fromLatin1(table), dbOpenDynaset);
        rs->AddNew();
        rs->Fields(QStringLiteral("Name")).SetText(sName);
        rs->Update();
    });
}

// Changes one column of the first row with that ID; no such row changes nothing.
template <typename SetColumn>
void ChangeRow(const StoreContext& ctx, const char* table, const char* idColumn, qint32 id, const char* title,
               SetColumn set) {
    RunAccessCycle(ctx, Title(title), [&](Database& db) {
        auto rs = db.OpenRecordset(QString::fromLatin1(table), dbOpenDynaset);
        rs->FindFirst(IdCriteria(idColumn, id));
        if (rs->NoMatch()) return;
        rs->Edit();
        set(*rs);
        rs->Update();
    });
}

// Deletes the first row of the table with that ID.
void DeleteFirstMatch(Database& db, const char* table, const char* idColumn, qint32 id) {
    auto rs = db.OpenRecordset(QString::fromLatin1(table), dbOpenDynaset);
    rs->FindFirst(IdCriteria(idColumn, id));
    if (!rs->NoMatch()) rs->Delete();
}

}  // namespace

void AddCategory(const StoreContext& ctx, const QString& sName) {
    AddNamedRow(ctx, "Categories", sName, kTitleAddCategory);
}

void AddRoster(const StoreContext& ctx, const QString& sName) { AddNamedRow(ctx, "Rosters", sName, kTitleAddRoster); }

void AddCreature(const StoreContext& ctx, const QString& sName, ListBox* lstCategory) {
    RunAccessCycle(ctx, Title(kTitleAddCreature), [&](Database& db) {
        auto rs = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
        rs->AddNew();
        rs->Fields(QStringLiteral("Name")).SetText(sName);
        const int selected = lstCategory->ListIndex();
        if (selected < 0) throw DbError(storeErrNoSelection, QStringLiteral("No category is selected."));
        rs->Fields(QStringLiteral("IDCategory")).SetLong(lstCategory->ItemData(selected));
        rs->Update();
    });
}

void ChangeCategoryName(const StoreContext& ctx, const QString& sName, qint32 lCatID) {
    ChangeRow(ctx, "Categories", "IDCategory", lCatID, kTitleChangeCategoryName,
              [&](Recordset& rs) { rs.Fields(QStringLiteral("Name")).SetText(sName); });
}

void ChangeCreatureName(const StoreContext& ctx, const QString& sName, qint32 lCreatureID) {
    ChangeRow(ctx, "Creatures", "IDCreature", lCreatureID, kTitleChangeCreatureName,
              [&](Recordset& rs) { rs.Fields(QStringLiteral("Name")).SetText(sName); });
}

void ChangeCreatureCategory(const StoreContext& ctx, qint32 lCreatureID, qint32 lCatID) {
    ChangeRow(ctx, "Creatures", "IDCreature", lCreatureID, kTitleChangeCreatureCategory,
              [&](Recordset& rs) { rs.Fields(QStringLiteral("IDCategory")).SetLong(lCatID); });
}

qint32 GetCreatureCategoryID(const StoreContext& ctx, qint32 lCreatureID) {
    qint32 result = -1;
    RunAccessCycle(
        ctx, Title(kTitleGetCreatureCategoryID),
        [&](Database& db) {
            auto rs = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
            rs->FindFirst(IdCriteria("IDCreature", lCreatureID));
            if (!rs->NoMatch()) result = rs->Fields(QStringLiteral("IDCategory")).Value().toLong();
        },
        [&]() { result = -1; });
    return result;
}

void DeleteCreature(const StoreContext& ctx, qint32 lCreatureID, OpenRoster& roster, RosterPanel& panel) {
    // The creature's roster entries go first, in every roster; both belong to
    // one transaction.
    const bool ok = RunAccessCycle(ctx, Title(kTitleDeleteCreature), [&](Database& db) {
        DeleteRosterEntriesOfCreatures(db, {lCreatureID});
        DeleteFirstMatch(db, "Creatures", "IDCreature", lCreatureID);
    });
    RefreshRosterAfterDeletion(ctx, {lCreatureID}, roster, panel);
    // The reload reads the roster's rows as they now stand; a row it could not
    // read still goes when a load would take it for the deleted creature.
    if (ok) ForgetUnreadRosterEntries(roster.m_unread, {lCreatureID});
}

void DeleteCategory(const StoreContext& ctx, qint32 lCatID, OpenRoster& roster, RosterPanel& panel) {
    QSet<std::int64_t> deleted;   // the category's creatures
    const bool ok = RunAccessCycle(ctx, Title(kTitleDeleteCategory), [&](Database& db) {
        auto rs = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
        const QString criteria = IdCriteria("IDCategory", lCatID);
        DeleteMatching(*rs, criteria, [&](Recordset& row) {
            const DbValue id = row.Fields(QStringLiteral("IDCreature")).Value();
            // A key is a whole number; no roster row can name anything else.
            if (id.kind() == DbValue::Kind::Integer) deleted.insert(id.integerValue());
        });
        rs->Close();
        // Their roster entries go with them: a file whose keys SQLite may
        // reuse would otherwise let an old entry name a new creature.
        DeleteRosterEntriesOfCreatures(db, deleted);
        DeleteFirstMatch(db, "Categories", "IDCategory", lCatID);
    });
    if (!ok) return;
    // No save of the open roster may store their entries again: the open
    // roster shows the loss at once when its entries held one of them, and
    // the rows its load left unread lose theirs.
    const bool held = std::any_of(roster.m_alRosterCreatureID.cbegin(), roster.m_alRosterCreatureID.cend(),
                                  [&](qint32 id) { return deleted.contains(id); });
    if (held) RefreshRosterAfterDeletion(ctx, deleted, roster, panel);
    ForgetUnreadRosterEntries(roster.m_unread, deleted);
}

void DeleteRoster(const StoreContext& ctx, qint32 lRosterID) {
    RunAccessCycle(ctx, Title(kTitleDeleteRoster), [&](Database& db) {
        auto rs = db.OpenRecordset(QStringLiteral("RosterList"), dbOpenDynaset);
        DeleteMatching(*rs, IdCriteria("IDRoster", lRosterID));
        rs->Close();
        DeleteFirstMatch(db, "Rosters", "IDRoster", lRosterID);
    });
}

void RefreshRosterAfterDeletion(const StoreContext& ctx, const QSet<std::int64_t>& deletedCreatureIDs,
                                OpenRoster& roster, RosterPanel& panel) {
    if (panel.lblRosterCurrent->caption().isEmpty()) return;
    const qint16 top = roster.m_nRosterTop;
    const int selected = panel.lstRoster->ListIndex();
    if (selected >= 0) {
        LoadRoster(ctx, panel.lstRoster->ItemData(selected), roster, panel);
        for (qint16 i = 0; i < roster.m_nRosterCount; ++i) panel.FitRosterEntryName(i);
    } else {
        // The open roster has no list item to be reloaded by (its creation
        // failed to list it): drop the deleted creature's entries from memory
        // instead, storing nothing.
        for (qsizetype i = roster.m_alRosterCreatureID.size() - 1; i >= 0; --i) {
            if (!deletedCreatureIDs.contains(roster.m_alRosterCreatureID[i])) continue;
            roster.m_alRosterCreatureID.removeAt(i);
            roster.m_asRosterName.removeAt(i);
        }
        roster.m_nRosterCount = qint16(roster.m_alRosterCreatureID.size());
    }
    // One step back, whatever the number of entries removed.
    roster.m_nRosterTop = top;
    if (roster.m_nRosterTop != 0 && roster.m_nRosterCount - roster.m_nRosterTop < 8) --roster.m_nRosterTop;
    // Only an offset past the last entry (the creature stood in the roster
    // many times) is brought back, so that the panel shows its last entries.
    if (roster.m_nRosterTop >= roster.m_nRosterCount)
        roster.m_nRosterTop = qint16(std::max(0, roster.m_nRosterCount - 8));
    panel.ShowRoster();
}
