// The program's pictures and the button picture store: every picture at its
// required size, three plainly different looks per button, the cover cut from
// the main background, the store's cells, and the committed files reproduced
// by the artwork generator.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <map>

#include "frame/button_store.h"

namespace {

QImage Asset(const QString& file) { return QImage(frmImageStore::AssetPath(file)); }

QImage AsImage(const QPixmap& pm) { return pm.toImage().convertToFormat(QImage::Format_RGB32); }

// The mean brightness of a picture, 0 to 255.
double Brightness(const QImage& img) {
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) sum += qGray(rgb.pixel(x, y));
    return sum / (rgb.width() * rgb.height());
}

// Every picture file the program carries, with its size.
std::map<QString, QSize> ExpectedAssets() {
    std::map<QString, QSize> files = {
        {"frmMain_background.png", {640, 460}},       {"picRoster_background.png", {245, 133}},
        {"imgConceal.png", {280, 380}},               {"frmAreYouSure_background.png", {200, 125}},
        {"frmInputBox_background.png", {330, 125}},   {"frmSplash_background.png", {480, 340}},
        {"clpIcons.png", {180, 60}},                  {"clpIconsScroll.png", {60, 40}},
        {"clpIconsSave.png", {60, 20}},               {"clpSplashButtons.png", {210, 90}},
        {"icon32.png", {32, 32}},                     {"icon16.png", {16, 16}},
    };
    const std::pair<const char*, QSize> arrays[] = {
        {"imgOK", {60, 25}},    {"imgCancel", {60, 25}}, {"imgYes", {35, 30}},     {"imgNo", {35, 30}},
        {"imgPage1", {72, 36}}, {"imgPage2", {72, 36}},  {"imgPicture", {72, 36}}, {"imgScreen", {90, 45}},
        {"imgHelp", {90, 45}},  {"imgExit", {90, 45}},   {"imgAdd", {64, 32}},     {"imgRemove", {64, 32}},
        {"imgClear", {64, 32}},
    };
    for (const auto& [name, size] : arrays)
        for (int look = 0; look < 3; ++look) files[QStringLiteral("%1_%2.png").arg(QLatin1String(name)).arg(look)] = size;
    return files;
}

// The three looks of every button, whether from an array or from a grid.
std::vector<std::array<QImage, 3>> AllButtonLooks() {
    frmImageStore& store = frmImageStore::Instance();
    std::vector<std::array<QImage, 3>> buttons;
    for (int a = 0; a < kStoreArrayCount; ++a) {
        const auto arr = static_cast<StoreArray>(a);
        buttons.push_back({AsImage(store.Image(arr, LookNormal)), AsImage(store.Image(arr, LookHover)),
                           AsImage(store.Image(arr, LookPressed))});
    }
    auto cells = [&](StoreGrid g, int normal, int step) {
        buttons.push_back({AsImage(store.Cell(g, normal)), AsImage(store.Cell(g, normal + step)),
                           AsImage(store.Cell(g, normal + 2 * step))});
    };
    for (int index = 0; index < 3; ++index)
        for (int button = 0; button < 3; ++button) cells(StoreGrid::clpIcons, 9 * index + button, 3);
    cells(StoreGrid::clpIconsScroll, 0, 1);
    cells(StoreGrid::clpIconsScroll, 3, 1);
    cells(StoreGrid::clpIconsSave, 0, 1);
    cells(StoreGrid::clpSplashButtons, 0, 1);
    cells(StoreGrid::clpSplashButtons, 6, 1);
    return buttons;
}

}  // namespace

TEST(Artwork, EveryPictureIsEmbeddedAtItsRequiredSize) {
    const auto expected = ExpectedAssets();
    for (const auto& [file, size] : expected) {
        const QImage img = Asset(file);
        ASSERT_FALSE(img.isNull()) << file.toStdString();
        EXPECT_EQ(img.size(), size) << file.toStdString();
    }
    // Nothing else is embedded: a stale or misnamed file would go unnoticed.
    const QStringList embedded = QDir(QStringLiteral(":/assets")).entryList(QDir::Files);
    EXPECT_EQ(static_cast<size_t>(embedded.size()), expected.size()) << embedded.join(' ').toStdString();
    for (const QString& f : embedded) EXPECT_TRUE(expected.count(f)) << f.toStdString();
}

TEST(Artwork, TheThreeLooksOfEveryButtonArePlainlyDifferent) {
    int n = 0;
    for (const auto& looks : AllButtonLooks()) {
        SCOPED_TRACE(n++);
        ASSERT_FALSE(looks[0].isNull());
        EXPECT_NE(looks[0], looks[1]);
        EXPECT_NE(looks[0], looks[2]);
        EXPECT_NE(looks[1], looks[2]);
        // Lit is brighter than normal, pressed darker, by a visible margin.
        const double normal = Brightness(looks[0]);
        EXPECT_GT(Brightness(looks[1]), normal + 8);
        EXPECT_LT(Brightness(looks[2]), normal - 15);
    }
}

TEST(Artwork, StoreHandsOutTheEmbeddedPictures) {
    frmImageStore& store = frmImageStore::Instance();
    EXPECT_EQ(&store, &frmImageStore::Instance());
    for (int a = 0; a < kStoreArrayCount; ++a) {
        const auto arr = static_cast<StoreArray>(a);
        for (int look = 0; look < 3; ++look) {
            const QPixmap pm = store.Image(arr, look);
            EXPECT_EQ(pm.size(), frmImageStore::ArraySize(arr));
            EXPECT_EQ(AsImage(pm), Asset(QStringLiteral("%1_%2.png").arg(frmImageStore::Name(arr)).arg(look))
                                       .convertToFormat(QImage::Format_RGB32))
                << frmImageStore::Name(arr).toStdString() << " look " << look;
        }
        EXPECT_TRUE(store.Image(arr, -1).isNull());
        EXPECT_TRUE(store.Image(arr, 3).isNull());
    }
    EXPECT_EQ(store.MainBackground().size(), QSize(640, 460));
    EXPECT_EQ(store.RosterBackground().size(), QSize(245, 133));
    EXPECT_EQ(store.ConcealPicture().size(), QSize(280, 380));
    EXPECT_EQ(store.AreYouSureBackground().size(), QSize(200, 125));
    EXPECT_EQ(store.InputBoxBackground().size(), QSize(330, 125));
    EXPECT_EQ(store.SplashBackground().size(), QSize(480, 340));
    const QList<QSize> iconSizes = store.Icon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
}

TEST(Artwork, GridCellsAreCutRowByRowAtTheCellSize) {
    frmImageStore& store = frmImageStore::Instance();
    for (int g = 0; g < kStoreGridCount; ++g) {
        const auto grid = static_cast<StoreGrid>(g);
        const GridShape shape = frmImageStore::Shape(grid);
        const QImage bitmap = Asset(frmImageStore::Name(grid) + ".png").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(bitmap.size(), shape.bitmapSize());
        for (int n = 0; n < shape.cellCount(); ++n) {
            const QPixmap cell = store.Cell(grid, n);
            ASSERT_EQ(cell.size(), shape.cell) << frmImageStore::Name(grid).toStdString() << " cell " << n;
            const QRect place((n % shape.columns) * shape.cell.width(), (n / shape.columns) * shape.cell.height(),
                              shape.cell.width(), shape.cell.height());
            EXPECT_EQ(AsImage(cell), bitmap.copy(place)) << frmImageStore::Name(grid).toStdString() << " cell " << n;
        }
        EXPECT_TRUE(store.Cell(grid, -1).isNull());
        EXPECT_TRUE(store.Cell(grid, shape.cellCount()).isNull());
    }
    // The cell maps the windows rely on: a creature-row button is not the
    // category-row one, and the splash's Help is not its Cancel.
    EXPECT_EQ(frmImageStore::Shape(StoreGrid::clpIcons).cellCount(), 27);
    EXPECT_NE(AsImage(store.Cell(StoreGrid::clpIcons, 1)), AsImage(store.Cell(StoreGrid::clpIcons, 2)));
    EXPECT_NE(AsImage(store.Cell(StoreGrid::clpIcons, 0)), AsImage(store.Cell(StoreGrid::clpIcons, 9)));
    EXPECT_NE(AsImage(store.Cell(StoreGrid::clpIconsScroll, 0)), AsImage(store.Cell(StoreGrid::clpIconsScroll, 3)));
    EXPECT_NE(AsImage(store.Cell(StoreGrid::clpSplashButtons, 0)), AsImage(store.Cell(StoreGrid::clpSplashButtons, 6)));
}

TEST(Artwork, CoverMatchesTheMainBackgroundAtItsPlace) {
    const QImage background = Asset("frmMain_background.png").convertToFormat(QImage::Format_RGB32);
    const QImage cover = Asset("imgConceal.png").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(cover, background.copy(350, 10, 280, 380));
    frmImageStore& store = frmImageStore::Instance();
    EXPECT_EQ(AsImage(store.ConcealPicture()), AsImage(store.MainBackground()).copy(350, 10, 280, 380));
}

TEST(Artwork, GeneratorReproducesTheCommittedFiles) {
    const QString generator = QFileInfo(QStringLiteral(OV_PROGRAM)).dir().filePath(QStringLiteral("../bin/ostravell-art"));
    if (!QFileInfo::exists(generator)) GTEST_SKIP() << "artwork generator not built: " << generator.toStdString();
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess run;
    run.start(generator, {out.path()});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    const QDir committed(QStringLiteral(OV_SOURCE_DIR "/assets"));
    const QStringList made = QDir(out.path()).entryList({"*.png"}, QDir::Files, QDir::Name);
    EXPECT_EQ(made, committed.entryList({"*.png"}, QDir::Files, QDir::Name));
    for (const QString& f : made) {
        QFile a(QDir(out.path()).filePath(f)), b(committed.filePath(f));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly)) << f.toStdString();
        EXPECT_TRUE(a.readAll() == b.readAll()) << f.toStdString() << " differs from the committed file";
    }
}

TEST(Artwork, TheReadmePictureIsTheMainWindowAsBuilt) {
    const QImage built(QStringLiteral(OV_BINARY_DIR "/docs/main-window.png"));
    if (built.isNull()) GTEST_SKIP() << "the build drew no picture of the main window";
    const QImage committed(QStringLiteral(OV_SOURCE_DIR "/docs/main-window.png"));
    ASSERT_FALSE(committed.isNull());
    EXPECT_TRUE(built.convertToFormat(QImage::Format_RGB32) == committed.convertToFormat(QImage::Format_RGB32))
        << "the window looks different now: copy the build's docs/main-window.png over the committed one";
}
