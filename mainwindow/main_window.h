#pragma once
// The program's main window: the creature sheet on the left, the creature,
// category and roster rows with their pop-up lists and the roster panel on the
// right, the page buttons along the bottom and the three corner buttons.
//
// Behaviour is split over several source files by concern:
//   controls_layout.cpp   controls, ArrangeControls, stacking and tab order
//   button_looks.cpp      ResetButtonImages, pointer handlers, Form_MouseMove
//   startup_shutdown.cpp  Form_Load, Form_KeyDown, Exit, Form_Unload, Help
//   creature_sheet.cpp    ShowPage, statistic labels and boxes
//   picture_page.cpp      picture choice and the Screen button
//   lists_and_lock.cpp    pop-up lists, selection and the creature lock
//   creation_renaming.cpp New buttons and the two renames
//   deletion.cpp          Delete buttons
//   roster_panel.cpp      the open roster and its panel
//   store_calls.cpp       the database operations, called with this window's controls
#include <QCloseEvent>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "platform/widgets.h"
#include "store/creature_sheet.h"
#include "store/roster_entries.h"

class frmMain : public Form {
    Q_OBJECT
public:
    // programDir: the program's folder, which holds "Ostravell.mdb",
    // "Ostravell.cfg" and "OVHelp.txt".
    explicit frmMain(const QString& programDir, QWidget* parent = nullptr);
    ~frmMain() override;

    const QString& programDir() const { return m_programDir; }
    QString DatabasePath() const;
    QString CfgPath() const;
    QString HelpPath() const;

    // Runs the window's start (once, before it is first shown).
    void Form_Load();
    // Sets how the program ends once the window's end has saved the sheet:
    // the Exit button and every other closing of the window come to it. The
    // program's run (RunProgram) sets its own end here; without one the
    // event loop is ended. Tests and benchmarks that drive a window alone set
    // one that only counts the ends.
    static void SetEndProgram(std::function<void()> endProgram);

    // ---- controls (names as the handlers use them)
    ListBox* lstCreature;
    ListBox* lstCategory;
    ListBox* lstRoster;
    PictureBox* picPicture;
    Label* lblNoPicAvail;
    std::array<TextBox*, 21> txtStatText;
    PictureBox* picRoster;
    std::array<Label*, 8> lblRosterEntry;
    std::array<PictureButton*, 2> imgRosterScroll;
    PictureButton* imgConceal;
    Label* lblSizing;
    Label* lblName;
    Label* lblCategory;
    Label* lblRosterCurrent;
    std::array<PictureButton*, 3> imgList;
    std::array<PictureButton*, 3> imgNew;
    std::array<PictureButton*, 3> imgDelete;
    PictureButton* imgLock;
    PictureButton* imgAdd;
    PictureButton* imgRemove;
    PictureButton* imgClear;
    PictureButton* imgScreen;
    PictureButton* imgHelp;
    PictureButton* imgExit;
    PictureButton* imgPage1;
    PictureButton* imgPage2;
    PictureButton* imgPicture;
    std::array<Label*, 11> lblStatLabel;

    // ---- window state
    bool m_bLocked = false;             // the creature lock
    bool m_bStatChanged = false;        // a key reached a statistic box since the last save
    QString m_sPicturePath;             // the shown creature's picture file, "" for none
    std::array<QString, 21> m_asStatLabel;  // statistic label captions "Field0".."Field20"
    // The open roster: display names and creature IDs, count and scroll offset.
    QStringList m_asRosterName;
    QList<qint32> m_alRosterCreatureID;
    qint16 m_nRosterCount = 0;
    qint16 m_nRosterTop = 0;
    // Which creature's record the sheet holds, so a save never writes one
    // creature's sheet into another's row.
    SheetRecord m_sheetRecord;
    // Entries of the open roster that its load could not read (kept by saves).
    UnreadRosterEntries m_rosterUnread;

    // ---- layout and looks
    void ArrangeControls();
    void ResetButtonImages();

    // ---- database operations (with this window's controls)
    void LoadCategories();
    void LoadRosters();
    void LoadCreatures(qint32 lCatID);
    // Empties the creature list and the sheet as LoadCreatures begins, reading nothing.
    void ClearCreatureList();
    void LoadCreatureInfo(qint32 lCreatureID);
    void SaveCreatureInfo();
    void AddCategory(const QString& sName);
    void AddCreature(const QString& sName);
    void AddRoster(const QString& sName);
    void ChangeCategoryName(const QString& sName, qint32 lCatID);
    void ChangeCreatureName(const QString& sName, qint32 lCreatureID);
    void ChangeCreatureCategory(qint32 lCreatureID, qint32 lCatID);
    qint32 GetCreatureCategoryID(qint32 lCreatureID);
    void DeleteCreature(qint32 lCreatureID);
    void DeleteCategory(qint32 lCatID);
    void DeleteRoster(qint32 lRosterID);
    void LoadRoster(qint32 lRosterID);
    void SaveRoster();

    // ---- roster panel
    // Empties the open roster (saving it when iSave is non-zero) and the panel.
    void ClearRoster(qint16 iSave);
    // Shortens entry i's display name with "..." until it fits a roster line.
    void FitRosterEntryName(qint16 i);
    // Shows the entries from the scroll offset on the eight lines and sets the two arrows.
    void ShowRoster();

    // ---- sheet
    void ShowPage(qint16 iPage);
    void LoadStatLabels();
    // Selects the creature with that ID through the category and creature lists.
    void ShowCreatureByID(qint32 lCreatureID);

    // ---- handlers
    void Form_KeyDown(int KeyCode, int Shift);
    void Form_Unload();
    void Form_Click();
    void Form_MouseMove(QPoint posPx);
    void imgExit_Click();
    void imgHelp_Click();
    void imgPage1_Click();
    void imgPage2_Click();
    void imgPicture_Click();
    void imgScreen_Click();
    void lblStatLabel_DblClick(int Index);
    void txtStatText_GotFocus(int Index);
    void txtStatText_KeyPress(int Index, int KeyAscii);
    void txtStatText_LostFocus(int Index);
    void picPicture_DblClick();
    void lblNoPicAvail_DblClick();
    void imgList_Click(int Index);
    void lstCategory_Click();
    void lstCreature_Click();
    void lstRoster_Click();
    void imgLock_Click();
    void imgNew_Click(int Index);
    void lblCategory_DblClick();
    void lblName_DblClick();
    void imgDelete_Click(int Index);
    void imgAdd_Click();
    void imgRemove_Click();
    void imgClear_Click();
    void imgRosterScroll_Click(int Index);
    void lblRosterEntry_Click(int Index);
    void lblRosterEntry_DblClick(int Index);

    // pointer handlers of the buttons
    void imgPage1_MouseMove();
    void imgPage1_MouseDown();
    void imgPage2_MouseMove();
    void imgPage2_MouseDown();
    void imgPicture_MouseMove();
    void imgPicture_MouseDown();
    void imgScreen_MouseMove();
    void imgScreen_MouseDown();
    void imgHelp_MouseMove();
    void imgHelp_MouseDown();
    void imgExit_MouseMove();
    void imgExit_MouseDown();
    void imgAdd_MouseMove();
    void imgAdd_MouseDown();
    void imgRemove_MouseMove();
    void imgRemove_MouseDown();
    void imgClear_MouseMove();
    void imgClear_MouseDown();
    void imgList_MouseMove(int Index);
    void imgList_MouseDown(int Index);
    void imgNew_MouseMove(int Index);
    void imgNew_MouseDown(int Index);
    void imgDelete_MouseMove(int Index);
    void imgDelete_MouseDown(int Index);
    void imgRosterScroll_MouseMove(int Index);
    void imgRosterScroll_MouseDown(int Index);
    void imgLock_MouseMove();
    void imgLock_MouseDown();

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;
    void closeEvent(QCloseEvent* e) override;
    // The window is centred on the screen when first shown, with the size
    // that ArrangeControls gave it.
    void showEvent(QShowEvent* e) override;

private:
    void CreateControls();
    void ConnectHandlers();
    QString m_programDir;
    bool m_bCentred = false;  // placed at the screen's centre on the first show
};
