#pragma once
// The button picture store `frmImageStore`: every look of every button of the
// program, and every other picture the windows show, from one place.
//
// It is a plain object, never shown: created on its first use (any read
// below), it loads all pictures from the embedded assets and keeps them,
// unchanged, until the program ends. Windows only read from it.
//
// What it holds:
// - Thirteen image arrays of three looks each (StoreArray); all three pictures
//   of an array have the array's size:
//     imgOK, imgCancel 60 x 25; imgYes, imgNo 35 x 30;
//     imgPage1, imgPage2, imgPicture 72 x 36; imgScreen, imgHelp, imgExit 90 x 45;
//     imgAdd, imgRemove, imgClear 64 x 32.
// - Four cell grids (StoreGrid): one bitmap cut into equal cells, numbered from
//   0 row by row (cell = row x columns + column):
//     clpIcons          3 x 9 cells of 20 x 20; cell = 9 x Index + 3 x look + button,
//                       Index 0 creature, 1 category, 2 roster; button 0 list, 1 new, 2 delete
//     clpIconsScroll    2 x 3 cells of 20 x 20; cell = 3 x Index + look, Index 0 up, 1 down
//     clpIconsSave      1 x 3 cells of 20 x 20; cell = look (the lock)
//     clpSplashButtons  3 x 3 cells of 70 x 30; Help cells 0, 1, 2; Cancel cells 6, 7, 8
// - The backgrounds of the windows, the cover of the main window and the icon.
//
// Usage:
//   frmImageStore& store = frmImageStore::Instance();
//   button->setPicture(store.Image(StoreArray::imgOK, LookHover));
//   button->setPicture(store.Cell(StoreGrid::clpIcons, 9 * index + 3 * LookPressed + 1));
//
// Pictures are handed out as QPixmap copies, which share their data: reading
// costs no drawing and no memory.
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <array>

// The three looks of a picture button.
enum ButtonLook : int { LookNormal = 0, LookHover = 1, LookPressed = 2 };

// The thirteen image arrays, each named after the button that shows it.
enum class StoreArray : int {
    imgOK, imgCancel, imgYes, imgNo,
    imgPage1, imgPage2, imgPicture,
    imgScreen, imgHelp, imgExit,
    imgAdd, imgRemove, imgClear,
};
inline constexpr int kStoreArrayCount = 13;

// The four cell grids.
enum class StoreGrid : int { clpIcons, clpIconsScroll, clpIconsSave, clpSplashButtons };
inline constexpr int kStoreGridCount = 4;

// The shape of a grid: rows, columns and the size of one cell.
struct GridShape {
    int rows;
    int columns;
    QSize cell;
    int cellCount() const { return rows * columns; }
    QSize bitmapSize() const { return QSize(cell.width() * columns, cell.height() * rows); }
};

// A grid: one bitmap divided into equal cells, numbered row by row from 0.
class CellGrid {
public:
    CellGrid() = default;
    CellGrid(const QPixmap& bitmap, int rows, int columns);
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    QSize cellSize() const;
    const QPixmap& bitmap() const { return m_bitmap; }
    // The picture of cell `n`, exactly the cell's size; a null pixmap when n is
    // not a cell of the grid.
    QPixmap Cell(int n) const;

private:
    QPixmap m_bitmap;
    int m_rows = 0;
    int m_columns = 0;
    QList<QPixmap> m_cells;   // cut once, when the grid is made
};

class frmImageStore {
public:
    // The store, created and loaded on the first call; it lives to the end.
    static frmImageStore& Instance();

    // The picture of an image array's element by look (0 normal, 1 hover,
    // 2 pressed); a null pixmap for any other look.
    QPixmap Image(StoreArray array, int look) const;

    // The picture of a grid's cell, of exactly the cell size; a null pixmap
    // for a number that is not a cell of the grid.
    QPixmap Cell(StoreGrid grid, int cell) const;

    // Sizes the windows lay their buttons out with.
    static QSize ArraySize(StoreArray array);
    static GridShape Shape(StoreGrid grid);
    // The name of an array or grid, as the buttons and the asset files are named.
    static QString Name(StoreArray array);
    static QString Name(StoreGrid grid);

    // The other pictures of the windows.
    QPixmap MainBackground() const { return m_mainBackground; }           // frmMain, 640 x 460
    QPixmap RosterBackground() const { return m_rosterBackground; }       // picRoster, 245 x 133
    QPixmap ConcealPicture() const { return m_conceal; }                  // imgConceal, 280 x 380
    QPixmap AreYouSureBackground() const { return m_areYouSure; }         // frmAreYouSure, 200 x 125
    QPixmap InputBoxBackground() const { return m_inputBox; }             // frmInputBox, 330 x 125
    QPixmap SplashBackground() const { return m_splash; }                 // frmSplash, 480 x 340
    QIcon Icon() const { return m_icon; }                                 // 32 x 32 and 16 x 16

    // The embedded asset path of a picture file, ":/assets/<file>".
    static QString AssetPath(const QString& file);

    frmImageStore(const frmImageStore&) = delete;
    frmImageStore& operator=(const frmImageStore&) = delete;

private:
    frmImageStore() = default;
    void Load();
    void Release();

    bool m_loaded = false;
    std::array<std::array<QPixmap, 3>, kStoreArrayCount> m_arrays;
    std::array<CellGrid, kStoreGridCount> m_grids;
    QPixmap m_mainBackground, m_rosterBackground, m_conceal, m_areYouSure, m_inputBox, m_splash;
    QIcon m_icon;
};
