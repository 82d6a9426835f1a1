// ostravell-art: draws every picture of the program and writes it as PNG.
//
//   ostravell-art [FOLDER]
//
// FOLDER defaults to the source tree's assets/. The output is deterministic:
// the same build writes the same bytes every time (fixed texture seeds, no
// time stamps or other varying text in the files), so the committed pictures
// can be checked by regenerating them.
//
// File names (the program embeds them as ":/assets/<file>"):
//   frmMain_background.png        main window background, 640 x 460
//   picRoster_background.png      roster panel background, 245 x 133
//   imgConceal.png                the cover, 280 x 380: the main background at (350, 10)
//   frmAreYouSure_background.png  confirmation dialog background, 200 x 125
//   frmInputBox_background.png    text-prompt dialog background, 330 x 125
//   frmSplash_background.png      splash and about window background, 480 x 340
//   <array>_<look>.png            the thirteen button arrays, look 0 normal, 1 lit, 2 pressed:
//                                 imgOK, imgCancel (60 x 25), imgYes, imgNo (35 x 30),
//                                 imgPage1, imgPage2, imgPicture (72 x 36),
//                                 imgScreen, imgHelp, imgExit (90 x 45),
//                                 imgAdd, imgRemove, imgClear (64 x 32)
//   clpIcons.png                  3 rows x 9 columns of 20 x 20 (180 x 60): row = creature,
//                                 category, roster; column = 3 x look + (list, new, delete)
//   clpIconsScroll.png            2 rows x 3 columns of 20 x 20 (60 x 40): row 0 up, 1 down; column = look
//   clpIconsSave.png              1 row x 3 columns of 20 x 20 (60 x 20): the lock; column = look
//   clpSplashButtons.png          3 rows x 3 columns of 70 x 30 (210 x 90): row 0 Help,
//                                 row 1 blank, row 2 Cancel; column = look
//   icon32.png, icon16.png        the program's icon
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>
#include <utility>
#include <vector>

#include "art_backgrounds.h"
#include "art_buttons.h"

using namespace art;

namespace {

struct Picture {
    QString file;
    QImage image;
};

// A captioned button array: its name, caption, caption size, and the place
// where the button sits on its window's background.
struct CaptionArray {
    const char* name;
    const char* caption;
    int px;
    const QImage* background;
    QPoint place;
    QSize size;
};

QImage Crop(const QImage& from, QPoint at, QSize size) { return from.copy(QRect(at, size)); }

std::vector<Picture> DrawAll() {
    std::vector<Picture> out;
    const QImage main = MainBackground();
    const QImage roster = RosterPanelBackground();
    const QImage sure = AreYouSureBackground();
    const QImage input = InputBoxBackground();
    const QImage splash = SplashBackground();

    out.push_back({"frmMain_background.png", main});
    out.push_back({"picRoster_background.png", roster});
    out.push_back({"imgConceal.png", Crop(main, QPoint(350, 10), QSize(280, 380))});
    out.push_back({"frmAreYouSure_background.png", sure});
    out.push_back({"frmInputBox_background.png", input});
    out.push_back({"frmSplash_background.png", splash});

    const QSize dialogOk(60, 25), dialogYes(35, 30), page(72, 36), corner(90, 45), roster3(64, 32);
    const CaptionArray arrays[] = {
        {"imgOK", "OK", 15, &input, {82, 80}, dialogOk},
        {"imgCancel", "Cancel", 15, &input, {167, 80}, dialogOk},
        {"imgYes", "Yes", 14, &sure, {45, 70}, dialogYes},
        {"imgNo", "No", 14, &sure, {117, 70}, dialogYes},
        {"imgPage1", "Page 1", 16, &main, {40, 400}, page},
        {"imgPage2", "Page 2", 16, &main, {130, 400}, page},
        {"imgPicture", "Picture", 16, &main, {220, 400}, page},
        {"imgScreen", "Screen", 19, &main, {370, 400}, corner},
        {"imgHelp", "Help", 19, &main, {460, 400}, corner},
        {"imgExit", "Exit", 19, &main, {550, 400}, corner},
        {"imgAdd", "Add", 15, &main, {385, 355}, roster3},
        {"imgRemove", "Remove", 15, &main, {450, 355}, roster3},
        {"imgClear", "Clear", 15, &main, {520, 355}, roster3},
    };
    for (const CaptionArray& a : arrays) {
        const QImage base = Crop(*a.background, a.place, a.size);
        for (int look = 0; look < 3; ++look)
            out.push_back({QStringLiteral("%1_%2.png").arg(QLatin1String(a.name)).arg(look),
                           CaptionButton(base, QString::fromLatin1(a.caption), a.px, Look(look))});
    }

    const QSize small(20, 20);
    QList<QImage> icons;
    const Glyph rowButtons[] = {Glyph::List, Glyph::New, Glyph::Delete};
    const int rowButtonX[] = {553, 575, 595};
    for (int row = 0; row < 3; ++row)
        for (int look = 0; look < 3; ++look)
            for (int b = 0; b < 3; ++b)
                icons << GlyphButton(Crop(main, QPoint(rowButtonX[b], 27 + 48 * row), small), rowButtons[b], Look(look));
    out.push_back({"clpIcons.png", ComposeGrid(icons, 9)});

    QList<QImage> scroll;
    for (int look = 0; look < 3; ++look) scroll << GlyphButton(Crop(roster, QPoint(222, 1), small), Glyph::ScrollUp, Look(look));
    for (int look = 0; look < 3; ++look) scroll << GlyphButton(Crop(roster, QPoint(222, 112), small), Glyph::ScrollDown, Look(look));
    out.push_back({"clpIconsScroll.png", ComposeGrid(scroll, 3)});

    QList<QImage> lock;
    for (int look = 0; look < 3; ++look) lock << GlyphButton(Crop(main, QPoint(533, 75), small), Glyph::Lock, Look(look));
    out.push_back({"clpIconsSave.png", ComposeGrid(lock, 3)});

    const QSize cell(70, 30);
    QList<QImage> splashCells;
    for (int look = 0; look < 3; ++look)
        splashCells << CaptionButton(Crop(splash, QPoint(237, 283), cell), QStringLiteral("Help"), 16, Look(look));
    for (int i = 0; i < 3; ++i) splashCells << Crop(splash, QPoint(310, 283), cell);   // unused cells
    for (int look = 0; look < 3; ++look)
        splashCells << CaptionButton(Crop(splash, QPoint(393, 283), cell), QStringLiteral("Cancel"), 16, Look(look));
    out.push_back({"clpSplashButtons.png", ComposeGrid(splashCells, 3)});

    out.push_back({"icon32.png", Icon(32)});
    out.push_back({"icon16.png", Icon(16)});
    return out;
}

bool Write(const QString& path, const QImage& image) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // Always draw offscreen, so fonts render the same whatever desktop is running.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 2 || (args.size() == 2 && args[1].startsWith('-'))) {
        std::fprintf(stderr, "usage: ostravell-art [FOLDER]\n");
        return 2;
    }
    const QString folder = args.size() == 2 ? args[1] : QStringLiteral(OV_ART_DEFAULT_DIR);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "ostravell-art: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    int failures = 0;
    const std::vector<Picture> pictures = DrawAll();
    for (const Picture& pic : pictures) {
        const QString path = QDir(folder).filePath(pic.file);
        if (!Write(path, pic.image)) {
            std::fprintf(stderr, "ostravell-art: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    if (failures) return 1;
    std::printf("ostravell-art: %zu pictures written to %s\n", pictures.size(), qPrintable(folder));
    return 0;
}
