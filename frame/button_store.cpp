#include "frame/button_store.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace {

struct ArrayInfo {
    const char* name;
    QSize size;
};

const ArrayInfo kArrays[kStoreArrayCount] = {
    {"imgOK", {60, 25}},     {"imgCancel", {60, 25}}, {"imgYes", {35, 30}},    {"imgNo", {35, 30}},
    {"imgPage1", {72, 36}},  {"imgPage2", {72, 36}},  {"imgPicture", {72, 36}}, {"imgScreen", {90, 45}},
    {"imgHelp", {90, 45}},   {"imgExit", {90, 45}},   {"imgAdd", {64, 32}},    {"imgRemove", {64, 32}},
    {"imgClear", {64, 32}},
};

struct GridInfo {
    const char* name;
    GridShape shape;
};

const GridInfo kGrids[kStoreGridCount] = {
    {"clpIcons", {3, 9, {20, 20}}},
    {"clpIconsScroll", {2, 3, {20, 20}}},
    {"clpIconsSave", {1, 3, {20, 20}}},
    // Three columns; the Cancel looks are cells 6 to 8, so the grid has three rows.
    {"clpSplashButtons", {3, 3, {70, 30}}},
};

// Loads an embedded artwork picture of a known size. A picture that is missing
// or of the wrong size is replaced by a plain parchment one of the right size,
// so a window never lays out a button with a picture of the wrong size.
QPixmap LoadArtwork(const QString& file, QSize size) {
    QPixmap pm(frmImageStore::AssetPath(file));
    if (pm.size() == size) return pm;
    qWarning("button picture store: %s is missing or not %dx%d", qPrintable(file), size.width(), size.height());
    QPixmap plain(size);
    plain.fill(QColor(214, 198, 173));
    return plain;
}

}  // namespace

CellGrid::CellGrid(const QPixmap& bitmap, int rows, int columns) : m_bitmap(bitmap), m_rows(rows), m_columns(columns) {
    const QSize cell = cellSize();
    m_cells.reserve(rows * columns);
    for (int n = 0; n < rows * columns; ++n)
        m_cells.append(bitmap.copy((n % columns) * cell.width(), (n / columns) * cell.height(), cell.width(), cell.height()));
}

QSize CellGrid::cellSize() const {
    if (m_rows <= 0 || m_columns <= 0) return QSize();
    return QSize(m_bitmap.width() / m_columns, m_bitmap.height() / m_rows);
}

QPixmap CellGrid::Cell(int n) const {
    if (n < 0 || n >= m_cells.size()) return QPixmap();
    return m_cells[n];
}

frmImageStore& frmImageStore::Instance() {
    static frmImageStore store;
    if (!store.m_loaded) {
        store.Load();
        // Give the pictures back when the application object goes away; a later
        // application object (tests) loads them afresh.
        qAddPostRoutine([] { frmImageStore::Instance().Release(); });
    }
    return store;
}

QString frmImageStore::AssetPath(const QString& file) { return QStringLiteral(":/assets/") + file; }

QString frmImageStore::Name(StoreArray array) { return QLatin1String(kArrays[static_cast<int>(array)].name); }
QString frmImageStore::Name(StoreGrid grid) { return QLatin1String(kGrids[static_cast<int>(grid)].name); }
QSize frmImageStore::ArraySize(StoreArray array) { return kArrays[static_cast<int>(array)].size; }
GridShape frmImageStore::Shape(StoreGrid grid) { return kGrids[static_cast<int>(grid)].shape; }

void frmImageStore::Load() {
    for (int a = 0; a < kStoreArrayCount; ++a)
        for (int look = 0; look < 3; ++look)
            m_arrays[a][look] = LoadArtwork(QStringLiteral("%1_%2.png").arg(QLatin1String(kArrays[a].name)).arg(look),
                                            kArrays[a].size);
    for (int g = 0; g < kStoreGridCount; ++g) {
        const GridShape& shape = kGrids[g].shape;
        m_grids[g] = CellGrid(LoadArtwork(QLatin1String(kGrids[g].name) + QStringLiteral(".png"), shape.bitmapSize()),
                              shape.rows, shape.columns);
    }
    m_mainBackground = LoadArtwork(QStringLiteral("frmMain_background.png"), QSize(640, 460));
    m_rosterBackground = LoadArtwork(QStringLiteral("picRoster_background.png"), QSize(245, 133));
    m_conceal = LoadArtwork(QStringLiteral("imgConceal.png"), QSize(280, 380));
    m_areYouSure = LoadArtwork(QStringLiteral("frmAreYouSure_background.png"), QSize(200, 125));
    m_inputBox = LoadArtwork(QStringLiteral("frmInputBox_background.png"), QSize(330, 125));
    m_splash = LoadArtwork(QStringLiteral("frmSplash_background.png"), QSize(480, 340));
    m_icon = QIcon();
    m_icon.addPixmap(LoadArtwork(QStringLiteral("icon32.png"), QSize(32, 32)));
    m_icon.addPixmap(LoadArtwork(QStringLiteral("icon16.png"), QSize(16, 16)));
    m_loaded = true;
}

void frmImageStore::Release() {
    for (auto& looks : m_arrays)
        for (QPixmap& pm : looks) pm = QPixmap();
    for (CellGrid& grid : m_grids) grid = CellGrid();
    m_mainBackground = m_rosterBackground = m_conceal = m_areYouSure = m_inputBox = m_splash = QPixmap();
    m_icon = QIcon();
    m_loaded = false;
}

QPixmap frmImageStore::Image(StoreArray array, int look) const {
    const int a = static_cast<int>(array);
    if (a < 0 || a >= kStoreArrayCount || look < 0 || look > 2) return QPixmap();
    return m_arrays[a][look];
}

QPixmap frmImageStore::Cell(StoreGrid grid, int cell) const {
    const int g = static_cast<int>(grid);
    if (g < 0 || g >= kStoreGridCount) return QPixmap();
    return m_grids[g].Cell(cell);
}
