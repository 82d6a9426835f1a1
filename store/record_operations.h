#pragma once
// Adding, renaming, moving, looking up and deleting single records. Names are
// stored exactly as given; the callers decide whether an operation may run.
#include <QString>

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
void DeleteCreature(const StoreContext& ctx, qint32 lCreatureID, OpenRoster& roster, RosterPanel& panel);
// Deletes the category's creatures, then the category. Roster entries stay.
void DeleteCategory(const StoreContext& ctx, qint32 lCatID);
// Deletes the roster's entries, then the roster.
void DeleteRoster(const StoreContext& ctx, qint32 lRosterID);

// The refresh of the open roster after a creature deletion (part of DeleteCreature).
void RefreshRosterAfterCreatureDeletion(const StoreContext& ctx, qint32 lCreatureID, OpenRoster& roster,
                                        RosterPanel& panel);
