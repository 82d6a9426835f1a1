#pragma once
// Adding, renaming, moving, looking up and deleting single records. Names are
// stored exactly as given; the callers decide whether an operation may run.
#include <QSet>
#include <QString>

#include <cstdint>

#include "store/access_cycle.h"
#include "store/roster_entries.h"

class ListBox;

inline constexpr const char* kTitleAddCreature = "Error Adding New Creature to Database";
inline constexpr const char* kTitleDeleteCreature = "Error Deleting Creature from Database";
inline constexpr const char* kTitleChangeCreatureName = "Error Changing Creature Name in Database";
inline constexpr const char* kTitleChangeCategoryName = "Error Changing Category Name in Database";
inline constexpr const char* kTitleDeleteCategory = "Error Deleting Category from Database";
inline constexpr const char* kTitleAddCategory = "Error Adding New Category to Database";
inline constexpr const char* kTitleChangeCreatureCategory = "Error Changing Creature Category in Database";
inline constexpr const char* kTitleGetCreatureCategoryID = "Error Retrieving Creature Category ID from Database";
inline constexpr const char* kTitleAddRoster = "Error Adding New Roster to Database";
inline constexpr const char* kTitleDeleteRoster = "Error Deleting Roster from Database";

void AddCategory(const StoreContext& ctx, const QString& sName);
// The new creature's category is the item selected in lstCategory (none: the
// error box, and no row is added).
void AddCreature(const StoreContext& ctx, const QString& sName, ListBox* lstCategory);
void AddRoster(const StoreContext& ctx, const QString& sName);

void ChangeCategoryName(const StoreContext& ctx, const QString& sName, qint32 lCatID);
void ChangeCreatureName(const StoreContext& ctx, const QString& sName, qint32 lCreatureID);
void ChangeCreatureCategory(const StoreContext& ctx, qint32 lCreatureID, qint32 lCatID);

// The creature's IDCategory; -1 when there is no such creature or the look-up failed.
qint32 GetCreatureCategoryID(const StoreContext& ctx, qint32 lCreatureID);

// Deletes the creature's entries in every roster, then the creature; then,
// while a roster is open (lblRosterCurrent not empty), reloads and redraws it.
// The open roster keeps no row of the deleted creature, read or unread.
void DeleteCreature(const StoreContext& ctx, qint32 lCreatureID, OpenRoster& roster, RosterPanel& panel);
// Deletes the category's creatures and every roster entry naming them, then
// the category, in one transaction; then, when the open roster held one of
// those creatures, reloads and redraws it as a creature deletion does. The
// rows the open roster's load left unread lose those creatures' rows as well.
void DeleteCategory(const StoreContext& ctx, qint32 lCatID, OpenRoster& roster, RosterPanel& panel);
// Deletes the roster's entries, then the roster.
void DeleteRoster(const StoreContext& ctx, qint32 lRosterID);

// The refresh of the open roster after creatures were deleted (part of
// DeleteCreature, and of DeleteCategory when the open roster held one of them).
void RefreshRosterAfterDeletion(const StoreContext& ctx, const QSet<std::int64_t>& deletedCreatureIDs,
                                OpenRoster& roster, RosterPanel& panel);
