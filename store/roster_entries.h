#pragma once
// The open roster, its panel, and moving its entries to and from RosterList.
#include <QList>
#include <QStringList>

#include <array>

#include "store/access_cycle.h"

class Label;
class ListBox;
class PictureButton;

inline constexpr const char* kTitleLoadRoster = "Error Loading Roster from Database";
inline constexpr const char* kTitleSaveRoster = "Error Saving Roster to Database";

// Stored entries that the last roster load could not read. The next save of that
// roster writes them back after the entries in memory, so a load that failed
// part-way never makes a later change drop them. When even the list of stored
// entries could not be read, the roster is not rewritten at all until it has
// been opened again (clearing it is still allowed).
struct UnreadRosterEntries {
    qint32 lRosterID = 0;
    QList<qint32> alCreatureID;
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

// The roster panel's controls.
struct RosterPanel {
    std::array<Label*, 8> lblRosterEntry;
    std::array<PictureButton*, 2> imgRosterScroll;   // 0 up, 1 down
    Label* lblSizing;          // hidden, self-sizing, in the roster lines' font
    Label* lblRosterCurrent;   // the open roster's name, "" when none is open
    ListBox* lstRoster;        // the selected item is the open roster
    qint32 lTwipsPerPixelX;    // to measure lblSizing in twips
};

// A roster line is 3000 twips wide.
inline constexpr float kRosterLineTwips = 3000.0f;

// Empties the open roster (without saving unless iSave is non-zero) and the panel.
void ClearRoster(const StoreContext& ctx, qint16 iSave, OpenRoster& roster, RosterPanel& panel);
// Shortens entry i's display name with "..." until it fits a roster line.
void FitRosterEntryName(qint16 i, OpenRoster& roster, RosterPanel& panel);
// Shows entries top.. on the eight lines and sets the two arrows.
void ShowRoster(const OpenRoster& roster, RosterPanel& panel);

// Replaces the open roster with the stored entries of roster lRosterID whose
// creature exists, each with the creature's full name, in stored order.
void LoadRoster(const StoreContext& ctx, qint32 lRosterID, OpenRoster& roster, RosterPanel& panel);
// Replaces the stored entries of the roster selected in lstRoster with the
// entries in memory.
void SaveRoster(const StoreContext& ctx, const OpenRoster& roster, ListBox* lstRoster);
