// The main window as created and as laid out: every control's rectangle, the
// exact placement calls and their order, fonts, visibility and captions,
// stacking, tab order and the window's own properties.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "frame/geometry.h"
#include "mainwindow/main_window.h"

namespace {

QString Indexed(const char* name, int i) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i); }

class MainLayout : public ::testing::Test {
protected:
    void SetUp() override { Make(15); }
    void TearDown() override {
        SetGeometryObserver({});
        m_w.reset();
        glTwipsPerPixelX = m_oldX;
        glTwipsPerPixelY = m_oldY;
    }
    // A fresh window created on a screen of tpp twips per pixel.
    frmMain* Make(qint32 tpp) {
        m_w.reset();
        glTwipsPerPixelX = glTwipsPerPixelY = tpp;
        m_w = std::make_unique<frmMain>(m_dir.path());
        return m_w.get();
    }
    frmMain* w() { return m_w.get(); }

    // Shows the window and makes it the active one.
    void ShowActive() {
        w()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w()));
        QApplication::setActiveWindow(w());
        w()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w()));
    }

    // Every control that ArrangeControls places, with its rectangle in pixels
    // inside its container's client area.
    std::vector<std::pair<QWidget*, QRect>> Table() {
        frmMain& m = *w();
        std::vector<std::pair<QWidget*, QRect>> t = {
            {m.lstCreature, {368, 56, 249, 123}},  {m.lstCategory, {368, 104, 249, 123}},
            {m.lstRoster, {368, 152, 249, 123}},   {m.picPicture, {24, 32, 305, 370}},
            {m.picRoster, {368, 208, 249, 137}},   {m.imgConceal, {350, 10, 280, 380}},
            {m.lblName, {368, 24, 157, 25}},       {m.lblCategory, {436, 78, 93, 17}},
            {m.lblRosterCurrent, {376, 152, 233, 17}}, {m.imgLock, {533, 75, 20, 20}},
            {m.imgAdd, {385, 355, 64, 32}},        {m.imgRemove, {450, 355, 64, 32}},
            {m.imgClear, {520, 355, 64, 32}},      {m.imgScreen, {370, 400, 90, 45}},
            {m.imgHelp, {460, 400, 90, 45}},       {m.imgExit, {550, 400, 90, 45}},
            {m.imgPage1, {40, 400, 72, 36}},       {m.imgPage2, {130, 400, 72, 36}},
            {m.imgPicture, {220, 400, 72, 36}},    {m.txtStatText[10], {144, 288, 177, 107}},
            {m.lblStatLabel[10], {32, 288, 105, 17}}, {m.imgRosterScroll[0], {222, 1, 20, 20}},
            {m.imgRosterScroll[1], {222, 112, 20, 20}},
        };
        for (int i = 0; i <= 9; ++i) {
            t.push_back({m.txtStatText[size_t(i)], {144, 48 + 24 * i, 177, 19}});
            t.push_back({m.txtStatText[size_t(i + 11)], {144, 48 + 24 * i, 177, 19}});
            t.push_back({m.lblStatLabel[size_t(i)], {32, 48 + 24 * i, 105, 17}});
        }
        for (int i = 0; i < 8; ++i) t.push_back({m.lblRosterEntry[size_t(i)], {8, 16 * i, 200, 17}});
        for (int i = 0; i < 3; ++i) {
            t.push_back({m.imgList[size_t(i)], {553, 27 + 48 * i, 20, 20}});
            t.push_back({m.imgNew[size_t(i)], {575, 27 + 48 * i, 20, 20}});
            t.push_back({m.imgDelete[size_t(i)], {595, 27 + 48 * i, 20, 20}});
        }
        return t;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_w;
    qint32 m_oldX = glTwipsPerPixelX, m_oldY = glTwipsPerPixelY;
};

// The calls ArrangeControls must make, in order.
QStringList ExpectedCalls() {
    QStringList c;
    auto move = [&](const QString& name, int l, int t, int w, int h) {
        c << QStringLiteral("MoveControlPx %1 %2 %3 %4 %5").arg(name).arg(l).arg(t).arg(w).arg(h);
    };
    auto font = [&](const QString& name, int px) { c << QStringLiteral("SetFontPx %1 %2").arg(name).arg(px); };
    c << "MoveFormPx frmMain -1 -1 644 480";
    move("imgPage1", 40, 400, 72, 36);
    move("imgPage2", 130, 400, 72, 36);
    move("imgPicture", 220, 400, 72, 36);
    for (int i = 0; i <= 9; ++i) {
        const int y = 48 + 24 * i;
        move(Indexed("txtStatText", i), 144, y, 177, 19);
        font(Indexed("txtStatText", i), 11);
        move(Indexed("lblStatLabel", i), 32, y, 105, 17);
        font(Indexed("lblStatLabel", i), 12);
        move(Indexed("txtStatText", i + 11), 144, y, 177, 19);
        font(Indexed("txtStatText", i + 11), 11);
    }
    move("txtStatText(10)", 144, 288, 177, 107);
    font("txtStatText(10)", 11);
    move("lblStatLabel(10)", 32, 288, 105, 17);
    font("lblStatLabel(10)", 12);
    move("picPicture", 24, 32, 305, 370);
    move("lblNoPicAvail", 32, 144, 239, 33);
    font("lblNoPicAvail", 24);
    move("imgScreen", 370, 400, 90, 45);
    move("imgHelp", 460, 400, 90, 45);
    move("imgExit", 550, 400, 90, 45);
    move("imgAdd", 385, 355, 64, 32);
    move("imgClear", 520, 355, 64, 32);
    move("imgRemove", 450, 355, 64, 32);
    move("lstRoster", 368, 152, 249, 123);
    font("lstRoster", 12);
    move("picRoster", 368, 208, 249, 137);
    move("lblRosterCurrent", 376, 152, 233, 17);
    font("lblRosterCurrent", 12);
    for (int i = 0; i <= 7; ++i) {
        move(Indexed("lblRosterEntry", i), 8, 16 * i, 200, 17);
        font(Indexed("lblRosterEntry", i), 12);
    }
    font("lblSizing", 12);
    move("imgConceal", 350, 10, 280, 380);
    for (const char* b : {"imgList", "imgNew", "imgDelete"}) {
        const int x = QLatin1String(b) == QLatin1String("imgList") ? 553 : QLatin1String(b) == QLatin1String("imgNew") ? 575 : 595;
        for (int i = 0; i < 3; ++i) move(Indexed(b, i), x, 27 + 48 * i, 20, 20);
    }
    move("imgLock", 533, 75, 20, 20);
    move("imgRosterScroll(0)", 222, 1, 20, 20);
    move("imgRosterScroll(1)", 222, 112, 20, 20);
    move("lblCategory", 436, 78, 93, 17);
    move("lstCategory", 368, 104, 249, 123);
    font("lblCategory", 12);
    font("lstCategory", 12);
    move("lblName", 368, 24, 157, 25);
    move("lstCreature", 368, 56, 249, 123);
    font("lblName", 15);
    font("lstCreature", 12);
    return c;
}

// Position in its parent's stacking order (higher is nearer the front).
int StackPos(const QWidget* w) { return int(w->parentWidget()->children().indexOf(const_cast<QWidget*>(w))); }

// The widget of the window at a point, climbed up to one of the candidates.
QWidget* TopmostAt(QWidget* window, QPoint p, const std::vector<QWidget*>& candidates) {
    for (QWidget* c = window->childAt(p); c; c = c->parentWidget()) {
        if (std::find(candidates.begin(), candidates.end(), c) != candidates.end()) return c;
    }
    return nullptr;
}

}  // namespace

TEST_F(MainLayout, ArrangeControlsMakesExactlyTheTablesCallsInOrder) {
    QStringList calls;
    SetGeometryObserver([&](const QString& c) { calls << c; });
    w()->ArrangeControls();
    SetGeometryObserver({});

    const QStringList expected = ExpectedCalls();
    EXPECT_EQ(calls.filter(QRegularExpression("^MoveFormPx ")).size(), 1);
    EXPECT_EQ(calls.filter(QRegularExpression("^MoveControlPx ")).size(), 71);
    EXPECT_EQ(calls.filter(QRegularExpression("^SetFontPx ")).size(), 48);
    ASSERT_EQ(calls.size(), expected.size());
    for (qsizetype i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i], expected[i]) << "call " << i + 1;
}

TEST_F(MainLayout, EveryControlHasItsTableRectangleAtBothFactors) {
    for (const qint32 tpp : {15, 12}) {
        Make(tpp);
        w()->ArrangeControls();
        ShowActive();
        for (const auto& [control, rect] : Table()) {
            EXPECT_EQ(control->geometry(), rect) << control->objectName().toStdString() << " at " << tpp;
        }
        // Containers: the window, or a picture box's client area.
        for (int i = 0; i < 8; ++i) EXPECT_EQ(w()->lblRosterEntry[size_t(i)]->parentWidget(), w()->picRoster->client());
        for (int i = 0; i < 2; ++i) EXPECT_EQ(w()->imgRosterScroll[size_t(i)]->parentWidget(), w()->picRoster->client());
        EXPECT_EQ(w()->lblNoPicAvail->parentWidget(), w()->picPicture->client());
        EXPECT_EQ(w()->lstCreature->parentWidget(), w());
        // The client area that an outer size of 644 x 480 leaves.
        EXPECT_EQ(w()->size(), QSize(638, 455)) << tpp;
        // The window cannot be resized.
        EXPECT_EQ(w()->minimumSize(), w()->maximumSize());
    }
}

TEST_F(MainLayout, NoPictureNoticeSizesItselfToItsCaption) {
    w()->ArrangeControls();
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setBold(true);
    f.setItalic(true);
    f.setPointSize(18);
    const QFontMetrics fm(f);
    EXPECT_EQ(w()->lblNoPicAvail->pos(), QPoint(32, 144));
    EXPECT_EQ(w()->lblNoPicAvail->size(), QSize(fm.horizontalAdvance("No Picture Available"), fm.height()));
    EXPECT_NE(w()->lblNoPicAvail->size(), QSize(239, 33));
    // The sizing label measures in the roster lines' font.
    const QFontMetrics lines(w()->lblRosterEntry[0]->font());
    EXPECT_EQ(w()->lblSizing->size(), QSize(lines.horizontalAdvance("Sizing label"), lines.height()));
}

TEST_F(MainLayout, FontsInTheProgramsFaceWithTheirStylesAndSizes) {
    for (const qint32 tpp : {15, 12}) {
        Make(tpp);
        w()->ArrangeControls();
        frmMain& m = *w();
        const int small = tpp == 15 ? 8 : 7, normal = tpp == 15 ? 9 : 7, name = tpp == 15 ? 11 : 9, big = tpp == 15 ? 18 : 14;
        struct Expect {
            QWidget* w;
            int points;
            bool bold, italic;
        };
        std::vector<Expect> expect = {
            {m.lstCreature, normal, false, false}, {m.lstCategory, normal, false, false},
            {m.lstRoster, normal, false, false},   {m.lblNoPicAvail, big, true, true},
            {m.lblSizing, normal, false, false},   {m.lblName, name, true, false},
            {m.lblCategory, normal, false, false}, {m.lblRosterCurrent, normal, false, false},
        };
        for (int i = 0; i <= 20; ++i) {
            expect.push_back({m.txtStatText[size_t(i)], small, false, false});
            // What the box shows is in its editor's font.
            expect.push_back({m.txtStatText[size_t(i)]->editor(), small, false, false});
        }
        for (int i = 0; i <= 10; ++i) expect.push_back({m.lblStatLabel[size_t(i)], normal, true, false});
        for (int i = 0; i < 8; ++i) expect.push_back({m.lblRosterEntry[size_t(i)], normal, false, false});
        for (const Expect& e : expect) {
            const QFont f = e.w->font();
            const std::string what = e.w->objectName().toStdString() + " at " + std::to_string(tpp);
            EXPECT_EQ(f.family(), "Comic Sans MS") << what;
            EXPECT_EQ(f.pointSize(), e.points) << what;
            EXPECT_EQ(f.bold(), e.bold) << what;
            EXPECT_EQ(f.italic(), e.italic) << what;
        }
    }
}

TEST_F(MainLayout, VisibilityCaptionsAndKindsAtCreation) {
    frmMain& m = *w();
    for (ListBox* l : {m.lstCreature, m.lstCategory, m.lstRoster}) {
        EXPECT_TRUE(l->isHidden()) << l->objectName().toStdString();
        EXPECT_EQ(l->ListCount(), 0);
        EXPECT_EQ(l->palette().color(QPalette::Base), QColor(214, 198, 173));
    }
    EXPECT_TRUE(m.lstCreature->sorted());
    EXPECT_TRUE(m.lstCategory->sorted());
    EXPECT_FALSE(m.lstRoster->sorted());

    EXPECT_FALSE(m.picPicture->isHidden());
    EXPECT_FALSE(m.picPicture->hasPicture());
    EXPECT_TRUE(m.lblNoPicAvail->isHidden());
    EXPECT_EQ(m.lblNoPicAvail->caption(), "No Picture Available");
    EXPECT_FALSE(m.picRoster->isHidden());
    EXPECT_TRUE(m.imgConceal->isHidden());
    EXPECT_TRUE(m.lblSizing->isHidden());
    EXPECT_EQ(m.lblSizing->caption(), "Sizing label");

    for (int i = 0; i <= 20; ++i) {
        TextBox* t = m.txtStatText[size_t(i)];
        EXPECT_TRUE(t->isHidden()) << i;
        EXPECT_EQ(t->text(), "") << i;
        EXPECT_EQ(t->index(), i);
        EXPECT_EQ(t->multiLine(), i == 10 || i == 11) << i;
    }
    for (int i = 0; i <= 10; ++i) {
        Label* l = m.lblStatLabel[size_t(i)];
        EXPECT_FALSE(l->isHidden()) << i;
        EXPECT_EQ(l->caption(), QStringLiteral("Label %1").arg(i));
        EXPECT_EQ(l->index(), i);
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(m.lblRosterEntry[size_t(i)]->isHidden());
        EXPECT_EQ(m.lblRosterEntry[size_t(i)]->caption(), "");
        EXPECT_EQ(m.lblRosterEntry[size_t(i)]->index(), i);
    }
    for (Label* l : {m.lblName, m.lblCategory, m.lblRosterCurrent}) {
        EXPECT_FALSE(l->isHidden());
        EXPECT_EQ(l->caption(), "");
    }
    for (Label* l : {m.lblName, m.lblCategory, m.lblRosterCurrent, m.lblNoPicAvail, m.lblStatLabel[0], m.lblRosterEntry[0]})
        EXPECT_EQ(l->foreColor(), QColor(86, 53, 13)) << l->objectName().toStdString();

    // Only the roster lines and the sizing label show an ampersand literally.
    for (Label* l : {m.lblRosterEntry[3], m.lblSizing}) {
        const QString old = l->caption();
        l->setCaption("Salt & Pepper");
        EXPECT_EQ(l->displayText(), "Salt & Pepper") << l->objectName().toStdString();
        l->setCaption(old);
    }
    for (Label* l : {m.lblName, m.lblCategory, m.lblRosterCurrent, m.lblStatLabel[2]}) {
        const QString old = l->caption();
        l->setCaption("Salt && &Pepper");
        EXPECT_EQ(l->displayText(), "Salt & Pepper") << l->objectName().toStdString();
        l->setCaption(old);
    }

    // Buttons: the corner buttons and the scroll arrows start hidden, the rest
    // shown; none has a picture of its own until the looks are reset.
    std::vector<PictureButton*> shown = {m.imgLock, m.imgAdd, m.imgRemove, m.imgClear, m.imgPage1, m.imgPage2, m.imgPicture};
    for (int i = 0; i < 3; ++i) shown.insert(shown.end(), {m.imgList[size_t(i)], m.imgNew[size_t(i)], m.imgDelete[size_t(i)]});
    for (PictureButton* b : shown) {
        EXPECT_FALSE(b->isHidden()) << b->objectName().toStdString();
        EXPECT_TRUE(b->picture().isNull()) << b->objectName().toStdString();
    }
    for (PictureButton* b : {m.imgScreen, m.imgHelp, m.imgExit, m.imgRosterScroll[0], m.imgRosterScroll[1]}) {
        EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
        EXPECT_TRUE(b->picture().isNull()) << b->objectName().toStdString();
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m.imgList[size_t(i)]->index(), i);
        EXPECT_EQ(m.imgNew[size_t(i)]->index(), i);
        EXPECT_EQ(m.imgDelete[size_t(i)]->index(), i);
    }
    EXPECT_EQ(m.imgRosterScroll[1]->index(), 1);
    // The cover carries its own picture, of its own size.
    EXPECT_EQ(m.imgConceal->picture().size(), QSize(280, 380));
}

TEST_F(MainLayout, WindowCaptionNoCloseBoxFixedSize) {
    EXPECT_EQ(w()->windowTitle(), "The Ostravell");
    const Qt::WindowFlags f = w()->windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::Window));
    EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(w()->background().size(), QSize(640, 460));
    EXPECT_FALSE(w()->windowIcon().isNull());

    w()->ArrangeControls();
    ShowActive();
    EXPECT_EQ(w()->size(), QSize(638, 455));
    EXPECT_EQ(w()->minimumSize(), QSize(638, 455));
    EXPECT_EQ(w()->maximumSize(), QSize(638, 455));
}

TEST_F(MainLayout, WindowedControlsLieAboveLabelsInTheTablesOrder) {
    frmMain& m = *w();
    // Front to back; within a group the order is free.
    std::vector<std::vector<QWidget*>> windowed = {{m.lstCreature}, {m.lstCategory}, {m.lstRoster}, {m.picPicture}};
    for (int i = 20; i >= 0; --i) windowed.push_back({m.txtStatText[size_t(i)]});
    windowed.push_back({m.picRoster});
    std::vector<std::vector<QWidget*>> pictures = {
        {m.imgConceal}, {m.lblSizing}, {m.lblName}, {m.lblCategory}, {m.lblRosterCurrent},
        {m.imgList[0], m.imgList[1], m.imgList[2], m.imgNew[0], m.imgNew[1], m.imgNew[2], m.imgDelete[0], m.imgDelete[1],
         m.imgDelete[2], m.imgLock},
        {m.imgAdd, m.imgRemove, m.imgClear},
        {m.imgScreen, m.imgHelp, m.imgExit},
        {m.imgPage1, m.imgPage2, m.imgPicture},
    };
    for (int i = 10; i >= 0; --i) pictures.push_back({m.lblStatLabel[size_t(i)]});
    std::vector<std::vector<QWidget*>> all = windowed;
    all.insert(all.end(), pictures.begin(), pictures.end());
    for (size_t g = 0; g + 1 < all.size(); ++g) {
        for (QWidget* front : all[g])
            for (QWidget* back : all[g + 1])
                EXPECT_GT(StackPos(front), StackPos(back)) << front->objectName().toStdString() << " over "
                                                           << back->objectName().toStdString();
    }
}

TEST_F(MainLayout, OverlapsShowTheFrontControl) {
    frmMain& m = *w();
    m.ArrangeControls();
    ShowActive();
    const std::vector<QWidget*> everything = [&] {
        std::vector<QWidget*> v;
        for (QObject* o : m.children())
            if (o->isWidgetType()) v.push_back(static_cast<QWidget*>(o));
        return v;
    }();

    // A pop-up list lies over the labels and buttons of the rows below it and
    // over the roster panel.
    m.lstCreature->show();
    EXPECT_EQ(TopmostAt(&m, {440, 82}, everything), m.lstCreature);   // lblCategory's place
    EXPECT_EQ(TopmostAt(&m, {560, 80}, everything), m.lstCreature);   // imgList(1)
    m.lstCreature->hide();
    m.lstCategory->show();
    EXPECT_EQ(TopmostAt(&m, {400, 215}, everything), m.lstCategory);  // top of the roster panel
    EXPECT_EQ(TopmostAt(&m, {400, 155}, everything), m.lstCategory);  // lblRosterCurrent
    m.lstCategory->hide();
    m.lstRoster->show();
    EXPECT_EQ(TopmostAt(&m, {400, 250}, everything), m.lstRoster);
    m.lstRoster->hide();
    EXPECT_EQ(TopmostAt(&m, {400, 250}, everything), m.picRoster);

    // The picture page covers the statistics.
    for (int i = 0; i <= 10; ++i) m.txtStatText[size_t(i)]->show();
    EXPECT_EQ(TopmostAt(&m, {150, 52}, everything), m.picPicture);
    EXPECT_EQ(TopmostAt(&m, {40, 52}, everything), m.picPicture);
    EXPECT_EQ(TopmostAt(&m, {150, 300}, everything), m.picPicture);
    m.picPicture->hide();
    EXPECT_EQ(TopmostAt(&m, {150, 52}, everything), m.txtStatText[0]);
    EXPECT_EQ(TopmostAt(&m, {40, 52}, everything), m.lblStatLabel[0]);

    // The cover hides the right column's buttons and labels.
    m.imgConceal->show();
    EXPECT_EQ(TopmostAt(&m, {560, 30}, everything), m.imgConceal);
    EXPECT_EQ(TopmostAt(&m, {380, 30}, everything), m.imgConceal);
    EXPECT_EQ(TopmostAt(&m, {400, 360}, everything), m.imgConceal);
}

TEST_F(MainLayout, TabOrderFollowsTheTableAndPassesHiddenControls) {
    frmMain& m = *w();
    m.ArrangeControls();
    auto focused = [] {
        // The control that holds the focus (a text box through its editor).
        QWidget* f = QApplication::focusWidget();
        if (f && f->parentWidget() && qobject_cast<TextBox*>(f->parentWidget())) return f->parentWidget();
        return f;
    };
    auto tabs = [&](QWidget* start, int n) {
        std::vector<QWidget*> seen;
        start->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        seen.push_back(focused());
        for (int i = 0; i < n; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(focused());
        }
        return seen;
    };

    // Page 0: the statistics of page 0 and the description, then the roster panel.
    m.picPicture->hide();
    for (int i = 0; i <= 10; ++i) m.txtStatText[size_t(i)]->show();
    ShowActive();
    std::vector<QWidget*> expected;
    for (int i = 0; i <= 10; ++i) expected.push_back(m.txtStatText[size_t(i)]);
    expected.push_back(m.picRoster);
    expected.push_back(m.txtStatText[0]);
    EXPECT_EQ(tabs(m.txtStatText[0], 12), expected);

    // Page 1 with the picture page and the three lists up.
    for (int i = 0; i <= 10; ++i) m.txtStatText[size_t(i)]->hide();
    for (int i = 11; i <= 20; ++i) m.txtStatText[size_t(i)]->show();
    for (QWidget* x : std::initializer_list<QWidget*>{m.picPicture, m.lstCreature, m.lstCategory, m.lstRoster}) x->show();
    expected = {m.picPicture, m.lstCreature, m.lstCategory, m.lstRoster};
    for (int i = 11; i <= 20; ++i) expected.push_back(m.txtStatText[size_t(i)]);
    expected.push_back(m.picRoster);
    expected.push_back(m.picPicture);
    EXPECT_EQ(tabs(m.picPicture, 15), expected);

    // Labels and picture buttons never take the focus.
    for (QWidget* x : std::initializer_list<QWidget*>{m.lblName, m.lblStatLabel[0], m.lblRosterEntry[0], m.imgPage1, m.imgLock,
                                                      m.imgConceal})
        EXPECT_EQ(x->focusPolicy(), Qt::NoFocus) << x->objectName().toStdString();
}

TEST_F(MainLayout, WindowIsCentredOnTheScreenWhenFirstShown) {
    w()->ArrangeControls();
    ShowActive();
    const QRect avail = w()->screen()->availableGeometry();
    // The outer rectangle, 644 x 480, centred.
    EXPECT_EQ(w()->pos(), QPoint(avail.x() + (avail.width() - 644) / 2, avail.y() + (avail.height() - 480) / 2));
    // Shown again later, it stays where it is.
    w()->move(5, 7);
    w()->hide();
    w()->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w()->pos(), QPoint(5, 7));
}
