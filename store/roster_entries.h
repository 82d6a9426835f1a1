#pragma once
// The open roster's entries, moved to and from RosterList.
#include <QList>
#include <QSet>
#include <QStringList>

#include <cstdint>
#include <functional>

#include "store/access_cycle.h"

class Label;
class ListBox;

inline constexpr const char* kTitleLoadRoster = "Error Loading Roster from Database";
inline constexpr const char* kTitleSaveRoster = "Error Saving Roster to Database";

// Stored entries that the last roster load could not read: the row it failed
// at (a creature whose name could not be read, an IDCreature that is Null or
// no number) and every row after it. The entries before that row are open as
// usual, and every save of that roster writes the unread rows back after the
// entries in memory, in stored order, each IDCreature with its stored type and
// bytes, so a load that failed part-way never makes a later Add or Remove drop
// or alter them. When even the list of stored entries could not be read, the
// roster is not rewritten at all until it has been opened again. Clearing the
// roster empties it whole, on purpose; deleting creatures takes their rows out
// of the unread ones too (ForgetUnreadRosterEntries).
struct UnreadRosterEntries {
    qint32 lRosterID = 0;
    QList<DbValue> aCreatureID;   // IDCreature of each unread row, in stored order
    bool bUnknown = false;
};

// The main window's open roster (its own variables, by reference).
struct OpenRoster {
    QStringList& m_asRosterName;            // display names, already shortened
    QList<qint32>& m_alRosterCreatureID;
    qint16& m_nRosterCount;
    qint16& m_nRosterTop;                   // entry shown on line 0
    UnreadRosterEntries& m_unread;
};

// The main window as the roster operations reach it: the open roster's name
// and list, and the window's own roster procedures, which empty, shorten and
// draw what the panel shows.
struct RosterPanel {
    Label* lblRosterCurrent;   // the open roster's name, "" when none is open
    ListBox* lstRoster;        // the selected item is the open roster
    // Empties the open roster (saving it when iSave is non-zero) and the panel.
    std::function<void(qint16 iSave)> ClearRoster;
    // Shortens entry i's display name until it fits a roster line.
    std::function<void(qint16 i)> FitRosterEntryName;
    // Shows the entries from the scroll offset on and sets the two arrows.
    std::function<void()> ShowRoster;
};

// Replaces the open roster with the stored entries of roster lRosterID whose
// creature exists, each with the creature's full name, in stored order.
void LoadRoster(const StoreContext& ctx, qint32 lRosterID, OpenRoster& roster, RosterPanel& panel);
// Replaces the stored entries of the roster selected in lstRoster with the
// entries in memory (and the unread rows, when the roster has any).
void SaveRoster(const StoreContext& ctx, const OpenRoster& roster, ListBox* lstRoster);
// Drops the unread rows that a load would take for one of these creatures, so
// that no save stores a row of a deleted creature again.
void ForgetUnreadRosterEntries(UnreadRosterEntries& unread, const QSet<std::int64_t>& creatureIDs);
// Deletes, within the operation's transaction, every RosterList row of any
// roster that a load would take for one of these creatures: the rows holding
// the ID itself, and the rows holding a real number, text or a BLOB that reads
// as it (4.25 or " 4 " for creature 4). A row that names no creature (Null,
// text that is no number) stays. Through an index of IDCreature only the rows
// holding an ID or a real near it and the rows stored as text or BLOBs are
// read; without one, every row once.
void DeleteRosterEntriesOfCreatures(Database& db, const QSet<std::int64_t>& creatureIDs);
