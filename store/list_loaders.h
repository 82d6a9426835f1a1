#pragma once
// The three list loaders: each empties its list, then adds one item per row,
// the row's name as text and its ID as item data. None selects an item.
#include <QtGlobal>

#include "store/access_cycle.h"
#include "store/creature_sheet.h"

class ListBox;

inline constexpr const char* kTitleLoadCategories = "Error Loading Categories from Database";
inline constexpr const char* kTitleLoadRosters = "Error Loading Rosters from Database";
inline constexpr const char* kTitleLoadCreatures = "Error Loading Creatures from Database";

void LoadCategories(const StoreContext& ctx, ListBox* lstCategory);
void LoadRosters(const StoreContext& ctx, ListBox* lstRoster);
// Empties the creature list and the sheet, then lists the category's creatures.
void LoadCreatures(const StoreContext& ctx, qint32 lCatID, ListBox* lstCreature, CreatureSheet& sheet);

// The part of LoadCreatures before the database: empties the creature list and
// the sheet, reading nothing. The creature deletion calls it alone when no
// category is chosen, so that there is none to list.
void ClearCreatureList(ListBox* lstCreature, CreatureSheet& sheet);
