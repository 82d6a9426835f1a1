// The main window's button looks under the pointer, compared as images with
// the button picture store's pictures, and the corner buttons' zone.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "frame/button_store.h"
#include "frame/geometry.h"
#include "support/main_window_fixture.h"

namespace {

// One button of the main window and where its three looks come from.
struct Button {
    PictureButton* b;
    std::function<QPixmap(int look)> look;
    std::string name() const { return b->objectName().toStdString(); }
};

class ButtonLooks : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        StartMainWindow();
        frmMain& m = *w();
        frmImageStore& s = frmImageStore::Instance();
        auto arr = [&s](StoreArray a) { return [&s, a](int l) { return s.Image(a, l); }; };
        m_buttons = {
            {m.imgPage1, arr(StoreArray::imgPage1)},   {m.imgPage2, arr(StoreArray::imgPage2)},
            {m.imgPicture, arr(StoreArray::imgPicture)}, {m.imgScreen, arr(StoreArray::imgScreen)},
            {m.imgHelp, arr(StoreArray::imgHelp)},     {m.imgExit, arr(StoreArray::imgExit)},
            {m.imgAdd, arr(StoreArray::imgAdd)},       {m.imgRemove, arr(StoreArray::imgRemove)},
            {m.imgClear, arr(StoreArray::imgClear)},
            {m.imgLock, [&s](int l) { return s.Cell(StoreGrid::clpIconsSave, l); }},
        };
        for (int i = 0; i < 3; ++i) {
            m_buttons.push_back({m.imgList[size_t(i)], [&s, i](int l) { return s.Cell(StoreGrid::clpIcons, 9 * i + 3 * l); }});
            m_buttons.push_back({m.imgNew[size_t(i)], [&s, i](int l) { return s.Cell(StoreGrid::clpIcons, 9 * i + 3 * l + 1); }});
            m_buttons.push_back({m.imgDelete[size_t(i)], [&s, i](int l) { return s.Cell(StoreGrid::clpIcons, 9 * i + 3 * l + 2); }});
        }
        for (int i = 0; i < 2; ++i)
            m_buttons.push_back({m.imgRosterScroll[size_t(i)], [&s, i](int l) { return s.Cell(StoreGrid::clpIconsScroll, 3 * i + l); }});
    }

    const Button& Of(PictureButton* b) const {
        for (const Button& x : m_buttons)
            if (x.b == b) return x;
        throw std::logic_error("not a button of the main window");
    }

    // The look a button shows now: 0, 1 or 2, or -1 when it matches none.
    int LookOf(PictureButton* b) const {
        const QImage shown = b->picture().toImage();
        for (int l = 0; l < 3; ++l)
            if (!shown.isNull() && shown == Of(b).look(l).toImage()) return l;
        return -1;
    }

    // Checks that `lit` shows `look` and every other button (also hidden ones)
    // its normal look, the lock aside when `lockLook` is given.
    void ExpectLooks(PictureButton* lit, int look, int lockLook = 0) const {
        for (const Button& x : m_buttons) {
            int expected = x.b == lit ? look : 0;
            if (x.b == w()->imgLock && x.b != lit) expected = lockLook;
            EXPECT_EQ(LookOf(x.b), expected) << x.name();
        }
    }

    // Where a button lies in the window's client area.
    QPoint At(QWidget* c, QPoint offset = {}) const { return c->mapTo(w(), c->rect().center() + offset); }

    // The pointer moved to a point of the client area, delivered by the window
    // system to whatever is there.
    void MoveTo(QPoint p) { QTest::mouseMove(w()->windowHandle(), p); }
    void PressAt(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(w()->windowHandle(), button, {}, p); }
    void ReleaseAt(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(w()->windowHandle(), button, {}, p);
    }
    // A point of the window's background (over no control), outside the corner zone.
    static QPoint Background() { return {10, 445}; }

    bool CornerButtonsShown() const {
        const bool s = w()->imgScreen->isVisible();
        EXPECT_EQ(w()->imgHelp->isVisible(), s);
        EXPECT_EQ(w()->imgExit->isVisible(), s);
        return s;
    }

    // Reveals the corner buttons by moving over the background inside the zone.
    void RevealCornerButtons() {
        MoveTo({620, 395});
        ASSERT_TRUE(CornerButtonsShown());
    }

    std::vector<Button> m_buttons;
};

}  // namespace

TEST_F(ButtonLooks, StoreLooksArePlainlyDifferent) {
    // Otherwise comparing looks would prove nothing.
    for (const Button& x : m_buttons) {
        const QImage l0 = x.look(0).toImage(), l1 = x.look(1).toImage(), l2 = x.look(2).toImage();
        ASSERT_FALSE(l0.isNull()) << x.name();
        EXPECT_EQ(l0.size(), x.b->size()) << x.name();
        EXPECT_NE(l0, l1) << x.name();
        EXPECT_NE(l1, l2) << x.name();
        EXPECT_NE(l0, l2) << x.name();
    }
}

TEST_F(ButtonLooks, AfterStartEveryButtonShowsItsNormalLook) {
    ExpectLooks(nullptr, 0);
    EXPECT_FALSE(CornerButtonsShown());
}

TEST_F(ButtonLooks, HoverLightsOnlyTheButtonUnderThePointer) {
    RevealCornerButtons();
    for (int i = 0; i < 2; ++i) w()->imgRosterScroll[size_t(i)]->show();
    for (const Button& x : m_buttons) {
        MoveTo(At(x.b));
        ExpectLooks(x.b, 1);
    }
    // Every movement over the button keeps it lit.
    MoveTo(At(w()->imgPage2, {3, 2}));
    MoveTo(At(w()->imgPage2, {-3, -2}));
    ExpectLooks(w()->imgPage2, 1);
}

TEST_F(ButtonLooks, MovingFromOneButtonStraightOntoAnother) {
    // imgNew(1) and imgDelete(1) touch: 575..594 and 595..614.
    MoveTo(At(w()->imgNew[1]));
    ExpectLooks(w()->imgNew[1], 1);
    MoveTo(w()->imgDelete[1]->mapTo(w(), QPoint(0, 10)));
    ExpectLooks(w()->imgDelete[1], 1);
    MoveTo(At(w()->imgAdd));
    ExpectLooks(w()->imgAdd, 1);
}

TEST_F(ButtonLooks, PressShowsThePressedLookUntilThePointerMovesAgain) {
    RevealCornerButtons();
    for (int i = 0; i < 2; ++i) w()->imgRosterScroll[size_t(i)]->show();
    for (const Button& x : m_buttons) {
        const QPoint p = At(x.b);
        MoveTo(p);
        PressAt(p);
        ExpectLooks(x.b, 2);
        // A movement over it with the button still held shows the hover look.
        MoveTo(p + QPoint(1, 1));
        ExpectLooks(x.b, 1);
        // Released away from the button: no click, and nothing on release.
        ReleaseAt(Background());
        EXPECT_EQ(LookOf(x.b), 1) << x.name();
        MoveTo(Background() + QPoint(1, 0));
        ExpectLooks(nullptr, 0);
        RevealCornerButtons();
    }
}

TEST_F(ButtonLooks, ReleaseKeepsThePressedLookAndAnyMouseButtonPresses) {
    const QPoint p = At(w()->imgPage2);
    MoveTo(p);
    PressAt(p);
    ReleaseAt(p);  // a click: shows page 1
    ExpectLooks(w()->imgPage2, 2);

    const QPoint q = At(w()->imgPicture);
    MoveTo(q);
    PressAt(q, Qt::RightButton);
    ExpectLooks(w()->imgPicture, 2);
    ReleaseAt(q, Qt::RightButton);
    ExpectLooks(w()->imgPicture, 2);
}

TEST_F(ButtonLooks, MovingOntoALabelListBoxOrPictureLeavesTheButtonLit) {
    frmMain& m = *w();
    // The sheet after start: page 0 with its labels and boxes.
    ASSERT_TRUE(m.lblStatLabel[0]->isVisible());
    ASSERT_TRUE(m.txtStatText[0]->isVisible());

    MoveTo(At(m.imgPage1));
    MoveTo(At(m.lblStatLabel[0]));
    ExpectLooks(m.imgPage1, 1);
    MoveTo(At(m.txtStatText[0]));
    ExpectLooks(m.imgPage1, 1);
    MoveTo(At(m.txtStatText[10]));
    ExpectLooks(m.imgPage1, 1);

    MoveTo(At(m.imgList[0]));
    MoveTo(At(m.lblName));
    MoveTo(At(m.lblCategory));
    MoveTo(At(m.lblRosterCurrent));
    ExpectLooks(m.imgList[0], 1);

    // From a scroll arrow onto the roster panel's background and its lines.
    m.imgRosterScroll[1]->show();
    MoveTo(At(m.imgRosterScroll[1]));
    MoveTo(m.picRoster->mapTo(&m, QPoint(235, 60)));
    MoveTo(At(m.lblRosterEntry[2]));
    ExpectLooks(m.imgRosterScroll[1], 1);

    // Onto an open list, and onto the picture page.
    m.lstCreature->show();
    MoveTo(At(m.imgNew[0]));
    MoveTo(m.lstCreature->mapTo(&m, QPoint(100, 60)));
    ExpectLooks(m.imgNew[0], 1);
    m.lstCreature->hide();
    m.picPicture->show();
    MoveTo(At(m.imgPicture));
    MoveTo(At(m.picPicture));
    ExpectLooks(m.imgPicture, 1);

    // Only the window's own background resets the looks.
    MoveTo(Background());
    ExpectLooks(nullptr, 0);
}

TEST_F(ButtonLooks, LockKeepsItsPressedLookWhileLocked) {
    frmMain& m = *w();
    const QPoint lock = At(m.imgLock);
    MoveTo(lock);
    ExpectLooks(m.imgLock, 1);
    QTest::mouseClick(m.windowHandle(), Qt::LeftButton, {}, lock);
    ASSERT_TRUE(m.m_bLocked);
    ExpectLooks(m.imgLock, 2);

    // Neither the background, nor other buttons, nor hovering the lock itself change it.
    MoveTo(Background());
    ExpectLooks(nullptr, 0, 2);
    MoveTo(At(m.imgPage1));
    ExpectLooks(m.imgPage1, 1, 2);
    MoveTo(lock);
    ExpectLooks(nullptr, 0, 2);
    MoveTo(lock + QPoint(2, 2));
    ExpectLooks(nullptr, 0, 2);
    m.ResetButtonImages();
    ExpectLooks(nullptr, 0, 2);

    // Pressing it again shows the pressed cell; its click unlocks, and the
    // pressed look stays until the next movement, which resets it.
    QTest::mouseClick(m.windowHandle(), Qt::LeftButton, {}, lock);
    ASSERT_FALSE(m.m_bLocked);
    ExpectLooks(m.imgLock, 2);
    MoveTo(Background());
    ExpectLooks(nullptr, 0);
    MoveTo(lock);
    ExpectLooks(m.imgLock, 1);
}

TEST_F(ButtonLooks, HiddenButtonsAreResetToo) {
    frmMain& m = *w();
    RevealCornerButtons();
    MoveTo(At(m.imgExit));
    ExpectLooks(m.imgExit, 1);
    // Leaving the zone over the background hides them, with normal looks.
    MoveTo(Background());
    EXPECT_FALSE(CornerButtonsShown());
    RevealCornerButtons();
    EXPECT_EQ(LookOf(m.imgExit), 0);

    // A scroll arrow hidden while lit shows its normal cell when it reappears.
    m.imgRosterScroll[0]->show();
    MoveTo(At(m.imgRosterScroll[0]));
    ExpectLooks(m.imgRosterScroll[0], 1);
    m.imgRosterScroll[0]->hide();
    MoveTo(Background());
    m.imgRosterScroll[0]->show();
    EXPECT_EQ(LookOf(m.imgRosterScroll[0]), 0);
}

TEST_F(ButtonLooks, CornerZoneStartsAt400By370Inclusive) {
    frmMain& m = *w();
    // The zone's very corner lies under imgAdd, so these movements go straight
    // to the window itself, as over its background.
    auto moveOnBackground = [&](QPoint p) {
        QMouseEvent ev(QEvent::MouseMove, QPointF(p), QPointF(m.mapToGlobal(p)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m, &ev);
    };
    moveOnBackground({400, 370});
    EXPECT_TRUE(CornerButtonsShown());
    moveOnBackground({399, 370});
    EXPECT_FALSE(CornerButtonsShown());
    moveOnBackground({637, 454});
    EXPECT_TRUE(CornerButtonsShown());
    moveOnBackground({400, 369});
    EXPECT_FALSE(CornerButtonsShown());
    moveOnBackground({400, 370});
    moveOnBackground({399, 369});
    EXPECT_FALSE(CornerButtonsShown());

    // The bounds are compared in twips; other screen factors give the same zone.
    glTwipsPerPixelX = glTwipsPerPixelY = 12;
    moveOnBackground({400, 370});
    EXPECT_TRUE(CornerButtonsShown());
    moveOnBackground({400, 369});
    EXPECT_FALSE(CornerButtonsShown());
    moveOnBackground({400, 370});
    moveOnBackground({399, 370});
    EXPECT_FALSE(CornerButtonsShown());
    glTwipsPerPixelX = glTwipsPerPixelY = 15;

    // Through the window system, on the zone's edges where no control lies.
    MoveTo({400, 392});
    EXPECT_TRUE(CornerButtonsShown());
    MoveTo({399, 392});
    EXPECT_FALSE(CornerButtonsShown());
    MoveTo({600, 370});
    EXPECT_TRUE(CornerButtonsShown());
    MoveTo({600, 369});
    EXPECT_FALSE(CornerButtonsShown());
}

TEST_F(ButtonLooks, CornerButtonsStayWhileThePointerIsOnThem) {
    frmMain& m = *w();
    // Hidden, imgScreen's place left of x 400 is background outside the zone.
    MoveTo({380, 420});
    EXPECT_FALSE(CornerButtonsShown());
    // Revealed from inside the zone, the button stays while the pointer is on it,
    // also on its part left of 400.
    MoveTo({420, 420});
    EXPECT_TRUE(CornerButtonsShown());
    ExpectLooks(nullptr, 0);
    MoveTo({421, 421});  // now over the revealed button
    ExpectLooks(m.imgScreen, 1);
    MoveTo({380, 420});
    EXPECT_TRUE(CornerButtonsShown());
    ExpectLooks(m.imgScreen, 1);
    // The background at the bottom left, below the page buttons, hides them.
    MoveTo({60, 445});
    EXPECT_FALSE(CornerButtonsShown());
    ExpectLooks(nullptr, 0);
}
