#pragma once
// The creature sheet as the database operations see it: the main window's
// controls that show one creature's record.
#include <QString>

#include <array>

class Label;
class ListBox;
class PictureBox;
class TextBox;

// Which creature's record the sheet holds. Only a record load that filled the
// sheet sets it; emptying the sheet clears it. A save writes the sheet only
// into the row of that creature, so a sheet left over from another creature
// (after a failed load) can never overwrite the selected creature's row.
struct SheetRecord {
    bool bLoaded = false;
    qint32 lCreatureID = 0;
};

struct CreatureSheet {
    Label* lblName;
    std::array<TextBox*, 21> txtStatText;   // 10 is the description box
    PictureBox* picPicture;
    Label* lblNoPicAvail;
    QString* m_sPicturePath;                // the shown creature's picture file, "" for none
    SheetRecord* m_sheetRecord;
};

// Empties the sheet as a creature list reload does: name, picture path and
// picture, "no picture" notice shown, every box "" in index order.
void ClearCreatureSheet(CreatureSheet& sheet);
