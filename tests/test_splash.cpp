// The splash window at start and as the about box, driven by its timer, real
// clicks and mouse moves while the caller waits in the modal call.
#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "frame/button_store.h"
#include "frame/geometry.h"
#include "frame/help_viewer.h"
#include "frame/splash.h"
#include "frame/startup.h"
#include "support/main_window_fixture.h"

namespace {

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitTwipsPerPixel();
        previousLauncher = SetTextFileLauncher([this](const QString& program, const QStringList& args) {
            started.push_back(program + " " + args.join("|"));
            return true;
        });
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "window left open";
                w->close();
            }
        });
        watchdog.start(10000);
    }
    void TearDown() override {
        SetTextFileLauncher(previousLauncher);
        giStartupDone = 0;
    }

    // Shows the splash modally; `act` runs once it is up. Returns when it has closed.
    void Show(std::function<void(frmSplash*)> act) {
        QTimer::singleShot(0, [act] {
            auto* w = qobject_cast<frmSplash*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr) << "no splash window up";
            ASSERT_TRUE(QTest::qWaitForWindowActive(w));
            act(w);
        });
        ShowSplash(programDir.path());
    }

    QTemporaryDir programDir;
    std::vector<QString> started;
    TextFileLauncher previousLauncher;
    QTimer watchdog;
};

QImage Cell(int n) { return frmImageStore::Instance().Cell(StoreGrid::clpSplashButtons, n).toImage(); }
QImage Shown(PictureButton* b) { return b->picture().toImage(); }

}  // namespace

TEST_F(SplashTest, StartupSplashClosesAtTheFifthTick) {
    giStartupDone = 0;
    bool bButtonsHidden = false, bTimerRuns = false, bOpenAfterFour = false, bOpenAfterFive = true;
    int nInterval = 0;
    Show([&](frmSplash* w) {
        bButtonsHidden = w->imgHelp->isHidden() && w->imgCancel->isHidden();
        bTimerRuns = w->Timer1->isActive();
        nInterval = w->Timer1->interval();
        for (int i = 0; i < 4; ++i) w->Timer1_Timer();
        bOpenAfterFour = w->isVisible();
        w->Timer1_Timer();
        bOpenAfterFive = w->isVisible();
    });
    EXPECT_TRUE(bButtonsHidden);
    EXPECT_TRUE(bTimerRuns);
    EXPECT_EQ(nInterval, 1000);
    EXPECT_TRUE(bOpenAfterFour);
    EXPECT_FALSE(bOpenAfterFive);
}

TEST_F(SplashTest, StartupSplashClosesAtAClick) {
    giStartupDone = 0;
    bool bOpenAfterClick = true;
    Show([&](frmSplash* w) {
        w->Timer1_Timer();
        // Where the hidden Help button would be: the click reaches the background.
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(250, 290));
        bOpenAfterClick = w->isVisible();
    });
    EXPECT_FALSE(bOpenAfterClick);
    EXPECT_TRUE(started.empty());
}

TEST_F(SplashTest, AboutBoxHasNoTimerAndHelpOpensTheHelpTextEachTime) {
    giStartupDone = 1;
    bool bTimerRuns = true, bButtonsShown = false, bOpenAfterHelp = false, bOpenAfterCancel = true;
    Show([&](frmSplash* w) {
        bTimerRuns = w->Timer1->isActive();
        bButtonsShown = w->imgHelp->isVisible() && w->imgCancel->isVisible();
        QTest::mouseClick(w->imgHelp, Qt::LeftButton);
        QTest::mouseClick(w->imgHelp, Qt::LeftButton);
        QTest::mouseClick(w->imgHelp, Qt::LeftButton);
        bOpenAfterHelp = w->isVisible();
        QTest::mouseClick(w->imgCancel, Qt::LeftButton);
        bOpenAfterCancel = w->isVisible();
    });
    EXPECT_FALSE(bTimerRuns);
    EXPECT_TRUE(bButtonsShown);
    EXPECT_TRUE(bOpenAfterHelp);
    EXPECT_FALSE(bOpenAfterCancel);
    const QString expected = "xdg-open " + programDir.path() + "/OVHelp.txt";
    EXPECT_EQ(started, (std::vector<QString>{expected, expected, expected}));
}

TEST_F(SplashTest, AboutBoxClosesAtABackgroundClickAndIsLoadedAfresh) {
    giStartupDone = 1;
    for (int i = 0; i < 2; ++i) {
        bool bOpenAfterClick = true, bButtonsShown = false;
        Show([&](frmSplash* w) {
            bButtonsShown = w->imgHelp->isVisible();
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(20, 20));
            bOpenAfterClick = w->isVisible();
        });
        EXPECT_FALSE(bOpenAfterClick);
        EXPECT_TRUE(bButtonsShown);
    }
}

TEST_F(SplashTest, AboutBoxButtonLooks) {
    ASSERT_NE(Cell(0), Cell(1));
    ASSERT_NE(Cell(1), Cell(2));
    ASSERT_NE(Cell(0), Cell(6));
    giStartupDone = 1;
    Show([&](frmSplash* w) {
        EXPECT_EQ(Shown(w->imgHelp), Cell(0));
        EXPECT_EQ(Shown(w->imgCancel), Cell(6));
        QTest::mouseMove(w->imgHelp);
        EXPECT_EQ(Shown(w->imgHelp), Cell(1));
        QTest::mouseMove(w->imgCancel);
        EXPECT_EQ(Shown(w->imgHelp), Cell(0));
        EXPECT_EQ(Shown(w->imgCancel), Cell(7));
        QTest::mouseMove(w, QPoint(20, 20));
        EXPECT_EQ(Shown(w->imgCancel), Cell(6));
        // Help stays open, and its pressed look stays after the release until the mouse moves.
        QTest::mouseClick(w->imgHelp, Qt::LeftButton);
        EXPECT_EQ(Shown(w->imgHelp), Cell(2));
        QTest::mouseMove(w->imgHelp, QPoint(5, 5));
        EXPECT_EQ(Shown(w->imgHelp), Cell(1));
        QTest::mousePress(w->imgCancel, Qt::LeftButton);
        EXPECT_EQ(Shown(w->imgCancel), Cell(8));
        EXPECT_EQ(Shown(w->imgHelp), Cell(0));
        QTest::mouseRelease(w->imgCancel, Qt::LeftButton);
    });
}

TEST_F(SplashTest, LayoutAndAWindowManagerClose) {
    giStartupDone = 0;
    frmSplash splash(programDir.path());
    EXPECT_EQ(splash.size(), QSize(486, 345));  // outer size: a fixed border, no caption
    EXPECT_EQ(splash.client()->geometry(), QRect(3, 3, 486 - 6, 345 - 6));
    EXPECT_EQ(splash.imgHelp->geometry(), QRect(237, 283, 70, 30));
    EXPECT_EQ(splash.imgCancel->geometry(), QRect(393, 283, 70, 30));
    EXPECT_EQ(splash.background().size(), QSize(480, 340));
    EXPECT_EQ(Shown(splash.imgHelp), Cell(0));  // hidden buttons get their normal looks too
    EXPECT_EQ(splash.HelpPath(), programDir.path() + "/OVHelp.txt");

    bool bTimerAfterClose = true;
    Show([&](frmSplash* w) {
        w->close();  // as the window manager would
        bTimerAfterClose = w->Timer1->isActive();
    });
    EXPECT_FALSE(bTimerAfterClose);
}

using AboutBoxOverTheMainWindow = MainWindowFixture;

TEST_F(AboutBoxOverTheMainWindow, ADoubleClickClosesItOnceAndReachesNothingBeneath) {
    StartMainWindow();
    Label* label = w()->lblStatLabel[0];
    ASSERT_TRUE(label->isVisible());
    const QPoint spot = label->mapToGlobal(label->rect().center());

    // The about box lies over the label, its background on the spot; the
    // first click of a double-click closes it.
    bool bClosedByTheFirstClick = false;
    WhenModalShown([&](QWidget* about) {
        bClosedByTheFirstClick = FirstClickOfADoubleClick(about, static_cast<frmSplash*>(about)->client(), spot);
    });
    ShowSplash(programDir(), w());
    ASSERT_TRUE(bClosedByTheFirstClick);

    // The second press lands on the label beneath: neither it nor the
    // double-click it completes opens "Enter new label:".
    WithoutQuestion([&] { SecondPressAt(spot); });

    // The next double-click is the user's own and asks.
    QStringList shown;
    AnswerInputBox(std::nullopt, &shown);
    DoubleClick(label);
    EXPECT_EQ(shown.value(0), "Enter new label:");
}
