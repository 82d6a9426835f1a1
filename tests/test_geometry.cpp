// Pixel geometry: font sizes from pixel heights, control and window placement
// from pixel tables, at the two common screen factors.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "frame/geometry.h"
#include "platform/widgets.h"

namespace {

// Sets the screen factors for one test and puts the old ones back afterwards.
class TwipsPerPixel {
public:
    TwipsPerPixel(qint32 x, qint32 y) : m_oldX(glTwipsPerPixelX), m_oldY(glTwipsPerPixelY) {
        glTwipsPerPixelX = x;
        glTwipsPerPixelY = y;
    }
    ~TwipsPerPixel() {
        glTwipsPerPixelX = m_oldX;
        glTwipsPerPixelY = m_oldY;
    }

private:
    qint32 m_oldX, m_oldY;
};

struct FontRow {
    qint16 px;
    int at15;
    int at12;
};

// Halves go to the even neighbour (2, 6, 10, 14, 18 and 22 pixels at 15).
const FontRow kFontTable[] = {
    {2, 2, 1},   {6, 4, 4},    {10, 8, 6},   {11, 8, 7},   {12, 9, 7},   {14, 10, 8},
    {15, 11, 9}, {16, 12, 10}, {18, 14, 11}, {22, 16, 13}, {24, 18, 14},
};

}  // namespace

TEST(FontSize, PointsFromPixelsFollowTheTableAtBothFactors) {
    for (const FontRow& r : kFontTable) {
        EXPECT_EQ(FontPointsForPx(r.px, 15), r.at15) << r.px << " px at 15";
        EXPECT_EQ(FontPointsForPx(r.px, 12), r.at12) << r.px << " px at 12";
    }
}

TEST(FontSize, SetFontPxUsesTheVerticalFactorOnly) {
    QLabel label;
    label.setFont(QFont(QString::fromLatin1(kProgramFace)));
    for (const FontRow& r : kFontTable) {
        {
            // A horizontal factor that differs must not matter.
            TwipsPerPixel tpp(12, 15);
            SetFontPx(&label, r.px);
            EXPECT_EQ(label.font().pointSize(), r.at15) << r.px << " px at 15";
        }
        {
            TwipsPerPixel tpp(15, 12);
            SetFontPx(&label, r.px);
            EXPECT_EQ(label.font().pointSize(), r.at12) << r.px << " px at 12";
        }
    }
}

TEST(FontSize, SetFontPxKeepsFaceAndStyle) {
    TwipsPerPixel tpp(15, 15);
    QLabel label;
    QFont f(QString::fromLatin1(kProgramFace));
    f.setBold(true);
    f.setItalic(true);
    label.setFont(f);
    SetFontPx(&label, 24);
    EXPECT_EQ(label.font().pointSize(), 18);
    EXPECT_EQ(label.font().family(), QString::fromLatin1(kProgramFace));
    EXPECT_TRUE(label.font().bold());
    EXPECT_TRUE(label.font().italic());
}

TEST(ControlPlacement, MoveControlPxGivesThePixelRectangleAtBothFactors) {
    const QRect rects[] = {{144, 48, 177, 19}, {32, 288, 105, 17}, {368, 56, 249, 123}, {0, 0, 1, 1},
                           {222, 112, 20, 20}, {24, 32, 305, 370}, {-1, -1, 10, 10}};
    for (const auto& [tx, ty] : {std::pair{15, 15}, std::pair{12, 12}, std::pair{15, 12}, std::pair{12, 15}}) {
        TwipsPerPixel tpp(tx, ty);
        QWidget parent;
        QWidget child(&parent);
        for (const QRect& r : rects) {
            MoveControlPx(&child, r.x(), r.y(), r.width(), r.height());
            EXPECT_EQ(child.geometry(), r) << tx << "/" << ty;
        }
    }
}

TEST(ControlPlacement, ControlsInAPictureBoxArePlacedFromItsClientArea) {
    TwipsPerPixel tpp(15, 15);
    QWidget window;
    PictureBox box(&window);
    MoveControlPx(&box, 368, 208, 249, 137);
    PictureButton arrow(box.client(), 0);
    MoveControlPx(&arrow, 222, 1, 20, 20);
    Label line(box.client(), 0);
    MoveControlPx(&line, 8, 0, 200, 17);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(box.geometry(), QRect(368, 208, 249, 137));
    EXPECT_EQ(arrow.geometry(), QRect(222, 1, 20, 20));
    // The client area lies inside the box's border.
    const int border = box.frameWidth();
    EXPECT_GT(border, 0);
    EXPECT_EQ(box.client()->geometry(), QRect(border, border, 249 - 2 * border, 137 - 2 * border));
    EXPECT_EQ(line.mapTo(&box, QPoint(0, 0)), QPoint(8 + border, border));
}

TEST(WindowPlacement, OuterSizeGivesTheClientArea) {
    for (const qint32 tpp : {15, 12}) {
        TwipsPerPixel f(tpp, tpp);
        Form form;
        MoveFormPx(&form, -1, -1, 644, 480);
        EXPECT_EQ(form.size(), QSize(638, 455)) << tpp;
        // Fixed: the user cannot resize it.
        EXPECT_EQ(form.minimumSize(), QSize(638, 455));
        EXPECT_EQ(form.maximumSize(), QSize(638, 455));
        // Other outer sizes lose the same frame.
        MoveFormPx(&form, -1, -1, 206, 150);
        EXPECT_EQ(form.size(), QSize(200, 125)) << tpp;
    }
}

TEST(WindowPlacement, MinusOneKeepsPositionOnlyForThatCoordinate) {
    TwipsPerPixel tpp(15, 15);
    Form form;
    form.move(120, 70);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint start = form.pos();

    // Both -1: only the size changes.
    MoveFormPx(&form, -1, -1, 644, 480);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.pos(), start);
    EXPECT_EQ(form.size(), QSize(638, 455));

    // Left 10, top -1: moved to 10 pixels from the left, top kept.
    MoveFormPx(&form, 10, -1, 300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(10, start.y()));
    EXPECT_EQ(form.size(), QSize(294, 175));  // 300 x 200 outside

    // Left -1, top 30: the other way round.
    MoveFormPx(&form, -1, 30, 300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(10, 30));

    // Zero is a position like any other, not "keep".
    MoveFormPx(&form, 0, 0, 300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(0, 0));
}

TEST(ScreenFactors, NinetySixDotsPerInchGiveFifteen) {
    // The offscreen screen reports 96 logical dots per inch.
    TwipsPerPixel keep(0, 0);
    InitTwipsPerPixel();
    EXPECT_EQ(glTwipsPerPixelX, 15);
    EXPECT_EQ(glTwipsPerPixelY, 15);
}

TEST(GeometryObserver, ReportsEveryCallWithTheObjectsName) {
    TwipsPerPixel tpp(15, 15);
    QStringList calls;
    SetGeometryObserver([&](const QString& c) { calls << c; });
    Form form;
    form.setObjectName("frmTest");
    QWidget w(&form);
    w.setObjectName("txtThing(3)");
    MoveFormPx(&form, -1, -1, 644, 480);
    MoveControlPx(&w, 1, 2, 3, 4);
    SetFontPx(&w, 12);
    SetGeometryObserver({});
    MoveControlPx(&w, 5, 6, 7, 8);  // no longer reported
    EXPECT_EQ(calls, QStringList({"MoveFormPx frmTest -1 -1 644 480", "MoveControlPx txtThing(3) 1 2 3 4",
                                  "SetFontPx txtThing(3) 12"}));
}
