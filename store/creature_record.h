#pragma once
// A creature's record between its Creatures row and the creature sheet.
//
//   Field0..Field20 (not Field10)  <-> txtStatText(i)
//   Field10                        read (it must exist), never shown or written
//   Description                    <-> txtStatText(10)
//   Name                           <-> lblName
//   Picture                        <-> m_sPicturePath and the picture of picPicture
#include <QtGlobal>

#include "store/access_cycle.h"
#include "store/creature_sheet.h"

class ListBox;

inline constexpr const char* kTitleLoadCreatureInfo = "Error Loading Creature Information from Database";
inline constexpr const char* kTitleSaveCreatureInfo = "Error Saving Creature Information to Database";

// Fills the sheet from the creature's row. No such row: the sheet stays as it
// was, silently. A failure before the sheet was filled empties the sheet (and
// marks it as holding no creature); a picture that cannot be loaded leaves
// the texts and the stored path on the sheet and the picture box empty.
void LoadCreatureInfo(const StoreContext& ctx, qint32 lCreatureID, CreatureSheet& sheet);

// Writes the whole sheet into the row of the creature selected in lstCreature.
// Nothing happens without a selected item, or when the sheet does not hold
// that creature's record.
void SaveCreatureInfo(const StoreContext& ctx, ListBox* lstCreature, const CreatureSheet& sheet);
