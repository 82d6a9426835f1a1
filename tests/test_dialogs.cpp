// The confirmation and text-prompt dialogs, answered through their real
// buttons, keys and mouse, while the caller waits in the modal call.
#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

#include "frame/button_store.h"
#include "frame/dialogs.h"
#include "frame/geometry.h"

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitTwipsPerPixel();
        // Never let a dialog that a failed step left open hang the test.
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "dialog left open";
                w->close();
            }
        });
        watchdog.start(10000);
    }

    // Runs `act` on the dialog of type W as soon as it is up, modal.
    template <class W>
    static void WhenShown(std::function<void(W*)> act) {
        QTimer::singleShot(0, [act] {
            auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr) << "no modal dialog of the expected kind";
            ASSERT_TRUE(w->isVisible());
            ASSERT_TRUE(QTest::qWaitForWindowActive(w));
            act(w);
        });
    }

    QTimer watchdog;
};

QImage LookOf(StoreArray array, int look) { return frmImageStore::Instance().Image(array, look).toImage(); }
QImage Shown(PictureButton* b) { return b->picture().toImage(); }
QWidget* Focused() { return QApplication::focusWidget(); }

// Asks for text with the given prompt and initial text; `act` answers.
QString Ask(const QString& prompt, const QString& initial, std::function<void(frmInputBox*)> act,
            QWidget* parent = nullptr) {
    gsInputText = prompt;
    gsInputDefault = initial;
    QTimer::singleShot(0, [act] {
        auto* w = qobject_cast<frmInputBox*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        act(w);
    });
    ShowInputBox(parent);
    return gsInputText;
}

}  // namespace

TEST_F(DialogTest, InputBoxShowsPromptWithInitialTextSelectedAndFocused) {
    QString prompt, selected;
    bool bFocused = false;
    QPoint at;
    QRect screen;
    const QString answer = Ask("Enter new name:", "Goblin", [&](frmInputBox* w) {
        prompt = w->lblInstructions->caption();
        selected = w->txtInput->text().mid(w->txtInput->selStart(), w->txtInput->selLength());
        bFocused = Focused() == w->txtInput->editor();
        at = w->pos();
        screen = w->screen()->availableGeometry();
        QTest::mouseClick(w->imgOK, Qt::LeftButton);
    });
    // Its outer rectangle, 334 x 130 with the border it draws itself, centred.
    EXPECT_EQ(at, QPoint(screen.x() + (screen.width() - 334) / 2, screen.y() + (screen.height() - 130) / 2));
    EXPECT_EQ(prompt, "Enter new name:");
    EXPECT_EQ(selected, "Goblin");
    EXPECT_TRUE(bFocused);
    EXPECT_EQ(answer, "Goblin");           // OK with the initial text untouched
    EXPECT_EQ(gsInputDefault, "Goblin");   // not changed
}

TEST_F(DialogTest, TypingReplacesTheSelectionAndEnterAnswersAtOnce) {
    bool bOpenAfterEnter = true;
    const QString answer = Ask("Enter new name:", "Goblin", [&](frmInputBox* w) {
        QTest::keyClicks(Focused(), "Orc Chief");
        QTest::keyClick(Focused(), Qt::Key_Return);
        bOpenAfterEnter = w->isVisible();
    });
    EXPECT_FALSE(bOpenAfterEnter);
    EXPECT_EQ(answer, "Orc Chief");
}

TEST_F(DialogTest, EmptiedBoxCancelAndBlanks) {
    EXPECT_EQ(Ask("Prompt", "Goblin", [](frmInputBox* w) {
                  QTest::keyClick(Focused(), Qt::Key_Backspace);
                  QTest::mouseClick(w->imgOK, Qt::LeftButton);
              }),
              "");
    EXPECT_EQ(Ask("Prompt", "Goblin", [](frmInputBox* w) {
                  QTest::keyClicks(Focused(), "Typed");
                  QTest::mouseClick(w->imgCancel, Qt::LeftButton);
              }),
              "");
    EXPECT_EQ(Ask("Prompt", "  Cave Troll  ", [](frmInputBox* w) { QTest::mouseClick(w->imgOK, Qt::LeftButton); }),
              "  Cave Troll  ");
    EXPECT_EQ(Ask("Prompt", "", [](frmInputBox*) { QTest::keyClicks(Focused(), " x "); QTest::keyClick(Focused(), Qt::Key_Enter); }),
              " x ");
}

TEST_F(DialogTest, InputBoxEscapeDoesNothingAndAWindowManagerCloseCancels) {
    bool bOpenAfterEscape = false;
    QString textAfterEscape;
    const QString answer = Ask("Prompt", "Goblin", [&](frmInputBox* w) {
        QTest::keyClick(Focused(), Qt::Key_Escape);
        bOpenAfterEscape = w->isVisible();
        textAfterEscape = w->txtInput->text();
        w->close();  // as the window manager would
    });
    EXPECT_TRUE(bOpenAfterEscape);
    EXPECT_EQ(textAfterEscape, "Goblin");
    EXPECT_EQ(answer, "");  // not the prompt
}

TEST_F(DialogTest, EachQuestionLoadsAFreshDialog) {
    QPointer<frmInputBox> first;
    Ask("First", "one", [&](frmInputBox* w) {
        first = w;
        QTest::keyClicks(Focused(), "changed");
        QTest::mouseClick(w->imgOK, Qt::LeftButton);
    });
    EXPECT_TRUE(first.isNull());  // unloaded when answered
    QString prompt, text;
    Ask("Second", "two", [&](frmInputBox* w) {
        prompt = w->lblInstructions->caption();
        text = w->txtInput->text();
        QTest::mouseClick(w->imgCancel, Qt::LeftButton);
    });
    EXPECT_EQ(prompt, "Second");
    EXPECT_EQ(text, "two");
}

TEST_F(DialogTest, TheCallerTakesNoInputWhileADialogIsUp) {
    QPushButton caller("Caller");
    caller.resize(200, 100);
    caller.show();
    int nClicks = 0;
    QObject::connect(&caller, &QPushButton::clicked, [&] { ++nClicks; });
    Ask("Prompt", "x", [&](frmInputBox* w) {
        QTest::mouseClick(&caller, Qt::LeftButton);
        QTest::mouseClick(w->imgOK, Qt::LeftButton);
    }, &caller);
    EXPECT_EQ(nClicks, 0);
    QTest::mouseClick(&caller, Qt::LeftButton);
    EXPECT_EQ(nClicks, 1);  // and takes it again afterwards
}

TEST_F(DialogTest, AreYouSureAnswersEachQuestion) {
    for (const bool bYes : {true, false, true, false, false, true}) {
        WhenShown<frmAreYouSure>([bYes](frmAreYouSure* w) {
            QTest::mouseClick(bYes ? w->imgYes : w->imgNo, Qt::LeftButton);
        });
        ShowAreYouSure(nullptr);
        EXPECT_EQ(giAreYouSureResult, bYes ? 0 : 1);
    }
}

TEST_F(DialogTest, AreYouSureIgnoresKeysAndAWindowManagerCloseMeansNo) {
    giAreYouSureResult = 0;
    bool bOpenAfterKeys = false;
    WhenShown<frmAreYouSure>([&](frmAreYouSure* w) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Y, Qt::Key_N, Qt::Key_Space})
            QTest::keyClick(w, key);
        bOpenAfterKeys = w->isVisible();
        w->close();
    });
    ShowAreYouSure(nullptr);
    EXPECT_TRUE(bOpenAfterKeys);
    EXPECT_EQ(giAreYouSureResult, 1);
}

TEST_F(DialogTest, InputBoxButtonLooksFollowTheMouse) {
    ASSERT_NE(LookOf(StoreArray::imgOK, LookNormal), LookOf(StoreArray::imgOK, LookHover));
    ASSERT_NE(LookOf(StoreArray::imgOK, LookHover), LookOf(StoreArray::imgOK, LookPressed));
    Ask("Prompt", "x", [](frmInputBox* w) {
        EXPECT_EQ(Shown(w->imgOK), LookOf(StoreArray::imgOK, LookNormal));
        EXPECT_EQ(Shown(w->imgCancel), LookOf(StoreArray::imgCancel, LookNormal));

        QTest::mouseMove(w->imgOK);
        EXPECT_EQ(Shown(w->imgOK), LookOf(StoreArray::imgOK, LookHover));
        // Straight onto the text box, then the label: neither touches the looks.
        QTest::mouseMove(w->txtInput);
        QTest::mouseMove(w->lblInstructions);
        EXPECT_EQ(Shown(w->imgOK), LookOf(StoreArray::imgOK, LookHover));
        // Onto the other button: the first goes back to normal.
        QTest::mouseMove(w->imgCancel);
        EXPECT_EQ(Shown(w->imgOK), LookOf(StoreArray::imgOK, LookNormal));
        EXPECT_EQ(Shown(w->imgCancel), LookOf(StoreArray::imgCancel, LookHover));
        // The background resets both.
        QTest::mouseMove(w, QPoint(5, 5));
        EXPECT_EQ(Shown(w->imgCancel), LookOf(StoreArray::imgCancel, LookNormal));
        // Pressing shows the pressed look, also with the secondary button; a
        // move with the button held lights it again; a release away from it
        // answers nothing.
        QTest::mousePress(w->imgOK, Qt::RightButton);
        EXPECT_EQ(Shown(w->imgOK), LookOf(StoreArray::imgOK, LookPressed));
        QTest::mouseMove(w->imgOK, QPoint(10, 10));
        EXPECT_EQ(Shown(w->imgOK), LookOf(StoreArray::imgOK, LookHover));
        QTest::mouseRelease(w, Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_TRUE(w->isVisible());
        QTest::mouseClick(w->imgCancel, Qt::LeftButton);
        EXPECT_EQ(Shown(w->imgCancel), LookOf(StoreArray::imgCancel, LookPressed));
    });
}

TEST_F(DialogTest, AreYouSureButtonLooksFollowTheMouse) {
    WhenShown<frmAreYouSure>([](frmAreYouSure* w) {
        EXPECT_EQ(Shown(w->imgYes), LookOf(StoreArray::imgYes, LookNormal));
        QTest::mouseMove(w->imgYes);
        EXPECT_EQ(Shown(w->imgYes), LookOf(StoreArray::imgYes, LookHover));
        QTest::mouseMove(w->Label1);
        EXPECT_EQ(Shown(w->imgYes), LookOf(StoreArray::imgYes, LookHover));
        QTest::mouseMove(w->imgNo);
        EXPECT_EQ(Shown(w->imgYes), LookOf(StoreArray::imgYes, LookNormal));
        EXPECT_EQ(Shown(w->imgNo), LookOf(StoreArray::imgNo, LookHover));
        QTest::mousePress(w->imgYes, Qt::LeftButton);
        EXPECT_EQ(Shown(w->imgYes), LookOf(StoreArray::imgYes, LookPressed));
        EXPECT_EQ(Shown(w->imgNo), LookOf(StoreArray::imgNo, LookNormal));
        QTest::mouseRelease(w->imgYes, Qt::LeftButton);
    });
    ShowAreYouSure(nullptr);
    EXPECT_EQ(giAreYouSureResult, 0);
}

TEST_F(DialogTest, LayoutFontsAndColours) {
    gsInputText = "Prompt";
    gsInputDefault = "";
    frmInputBox input;
    // Outer size as given, a fixed single border of 3 px, no caption.
    EXPECT_EQ(input.size(), QSize(334, 130));
    EXPECT_EQ(input.client()->geometry(), QRect(3, 3, 334 - 6, 130 - 6));
    EXPECT_TRUE(input.windowFlags() & Qt::FramelessWindowHint);  // the border is drawn by the window itself
    EXPECT_EQ(input.lblInstructions->geometry(), QRect(32, 24, 265, 25));
    EXPECT_EQ(input.txtInput->geometry(), QRect(32, 56, 265, 19));
    EXPECT_EQ(input.imgOK->geometry(), QRect(82, 80, 60, 25));
    EXPECT_EQ(input.imgCancel->geometry(), QRect(167, 80, 60, 25));
    EXPECT_EQ(input.lblInstructions->font().pointSize(), FontPointsForPx(16, glTwipsPerPixelY));
    EXPECT_TRUE(input.lblInstructions->font().italic());
    EXPECT_EQ(input.lblInstructions->font().family(), QString(kProgramFace));
    EXPECT_EQ(input.lblInstructions->foreColor(), kDarkBrown);
    EXPECT_EQ(input.txtInput->font().pointSize(), FontPointsForPx(11, glTwipsPerPixelY));
    EXPECT_FALSE(input.txtInput->font().italic());
    EXPECT_FALSE(input.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(input.windowFlags() & Qt::WindowTitleHint);

    frmAreYouSure sure;
    EXPECT_EQ(sure.size(), QSize(206, 130));
    EXPECT_EQ(sure.client()->geometry(), QRect(3, 3, 206 - 6, 130 - 6));
    EXPECT_EQ(sure.Label1->geometry(), QRect(0, 32, 201, 33));
    EXPECT_EQ(sure.imgYes->geometry(), QRect(45, 70, 35, 30));
    EXPECT_EQ(sure.imgNo->geometry(), QRect(117, 70, 35, 30));
    EXPECT_EQ(sure.Label1->caption(), "Are you sure?");
    EXPECT_TRUE(sure.Label1->font().italic());
    EXPECT_EQ(sure.Label1->font().pointSize(), FontPointsForPx(16, glTwipsPerPixelY));
    EXPECT_EQ(sure.background().size(), QSize(200, 125));

    // The border drawn: the raised edge of a dialog frame, then the face, with
    // the background picture from the client area's corner and clipped to it.
    const QImage shown = sure.grab().toImage();
    const QImage background = sure.background().toImage();
    ASSERT_EQ(shown.size(), QSize(206, 130));
    const struct {
        QPoint at;
        QColor colour;
    } frame[] = {
        {{0, 60}, QColor(192, 192, 192)}, {{1, 60}, Qt::white},           {{2, 60}, QColor(192, 192, 192)},
        {{205, 60}, Qt::black},           {{204, 60}, QColor(128, 128, 128)}, {{203, 60}, QColor(192, 192, 192)},
        {{100, 0}, QColor(192, 192, 192)}, {{100, 1}, Qt::white},          {{100, 129}, Qt::black},
        {{100, 128}, QColor(128, 128, 128)}, {{100, 127}, QColor(192, 192, 192)},
    };
    for (const auto& f : frame) EXPECT_EQ(shown.pixelColor(f.at), f.colour) << f.at.x() << "," << f.at.y();
    EXPECT_EQ(shown.pixelColor(3, 3), background.pixelColor(0, 0));
    EXPECT_EQ(shown.pixelColor(202, 126), background.pixelColor(199, 123));
}
