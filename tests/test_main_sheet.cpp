// The creature sheet: page switching, statistic label captions and their
// renaming, and the save when an edited box loses the focus.
#include <QMessageBox>
#include <QSettings>
#include <QTest>

#include "frame/label_settings.h"
#include "support/main_window_fixture.h"
#include "support/msgbox_recorder.h"

namespace {

class MainSheet : public MainWindowFixture {
protected:
    // One category "Beasts" with "Ant" (Field0 "a0", Field1 "a1", Field11
    // "a11") and "Bee" (Field0 "b0").
    void MakeCreatures() {
        ProgramFolder& f = Folder();
        cat = f.AddCategory(QStringLiteral("Beasts"));
        ant = f.Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Field0, Field1, Field11, Description, "
                                      "Picture) VALUES (?1, 'Ant', 'a0', 'a1', 'a11', 'small', '')"),
                       {cat});
        bee = f.Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Field0, Description, Picture) "
                                      "VALUES (?1, 'Bee', 'b0', 'buzz', '')"),
                       {cat});
    }
    QString Stored(qint64 id, const char* column) {
        return Folder()
            .Scalar(QStringLiteral("SELECT %1 FROM Creatures WHERE IDCreature = ?1").arg(QLatin1String(column)), {id})
            .toString();
    }
    QString Cfg(const char* key) { return ReadCfgValue(Folder().cfgPath(), QString::fromLatin1(key)); }

    // What the sheet shows: every label's caption and visibility, every box's visibility.
    QStringList SheetState() {
        QStringList s;
        for (auto* l : w()->lblStatLabel) s << l->caption() + (l->isHidden() ? " hidden" : " shown");
        for (auto* t : w()->txtStatText) s << (t->isHidden() ? "hidden" : "shown");
        s << (w()->picPicture->isHidden() ? "picture hidden" : "picture shown");
        s << (w()->lblNoPicAvail->isHidden() ? "notice hidden" : "notice shown");
        return s;
    }
    QStringList ExpectedCaptions(int first) {
        QStringList c;
        for (int i = first; i < first + 10; ++i) c << Cfg(QStringLiteral("Field%1").arg(i).toLatin1().constData());
        return c;
    }
    QStringList Captions0To9() {
        QStringList c;
        for (int i = 0; i <= 9; ++i) c << w()->lblStatLabel[size_t(i)]->caption();
        return c;
    }
    void ExpectPage(int page) {
        const bool p0 = page == 0;
        EXPECT_EQ(w()->lblStatLabel[10]->isHidden(), !p0);
        EXPECT_EQ(w()->txtStatText[10]->isHidden(), !p0);
        for (int i = 0; i <= 9; ++i) {
            EXPECT_EQ(w()->txtStatText[size_t(i)]->isHidden(), !p0) << i;
            EXPECT_EQ(w()->txtStatText[size_t(i + 11)]->isHidden(), p0) << i + 11;
            EXPECT_FALSE(w()->lblStatLabel[size_t(i)]->isHidden()) << i;
        }
        EXPECT_EQ(Captions0To9(), ExpectedCaptions(p0 ? 0 : 11));
        if (p0) {
            EXPECT_EQ(w()->lblStatLabel[10]->caption(), "Description");
        }
        EXPECT_TRUE(w()->picPicture->isHidden());
    }
    bool Focused(TextBox* box) {
        QWidget* f = QApplication::focusWidget();
        return f && (f == box || box->isAncestorOf(f));
    }

    qint64 cat = 0, ant = 0, bee = 0;
};

// ---------------------------------------------------------------- pages

TEST_F(MainSheet, PageButtonsSwitchBetweenTheTwoStatisticsPagesAndThePicture) {
    MakeCreatures();
    StartMainWindow();
    ExpectPage(0);
    Click(w()->imgPage2);
    ExpectPage(1);
    EXPECT_EQ(w()->txtStatText[11]->text(), "a11");

    // The picture page lies over the sheet and changes nothing beneath it.
    const QStringList beneath = SheetState().mid(0, 32);
    Click(w()->imgPicture);
    EXPECT_FALSE(w()->picPicture->isHidden());
    EXPECT_FALSE(w()->lblNoPicAvail->isHidden());  // Ant has no picture
    EXPECT_EQ(SheetState().mid(0, 32), beneath);

    Click(w()->imgPage1);
    ExpectPage(0);
    EXPECT_EQ(w()->txtStatText[10]->text(), "small");
}

TEST_F(MainSheet, OtherPageNumbersChangeNothing) {
    MakeCreatures();
    StartMainWindow();
    w()->ShowPage(1);
    const QStringList before = SheetState();
    for (qint16 page : {qint16(-1), qint16(3), qint16(100)}) {
        w()->ShowPage(page);
        EXPECT_EQ(SheetState(), before) << page;
    }
}

TEST_F(MainSheet, CaptionTenIsReadButShownNowhere) {
    StartMainWindow();
    ASSERT_FALSE(Cfg("Field10").isEmpty());
    EXPECT_EQ(w()->m_asStatLabel[10], Cfg("Field10"));
    for (qint16 page : {qint16(0), qint16(1)}) {
        w()->ShowPage(page);
        for (auto* l : w()->lblStatLabel) EXPECT_NE(l->caption(), Cfg("Field10"));
    }
}

TEST_F(MainSheet, PickingACreatureReturnsTheSheetToPageZero) {
    MakeCreatures();
    StartMainWindow();
    Click(w()->imgPage2);
    Click(w()->imgList[0]);
    ClickListItem(w()->lstCreature, RowOf(w()->lstCreature, "Bee"));
    ExpectPage(0);
    EXPECT_EQ(w()->txtStatText[0]->text(), "b0");
}

// ---------------------------------------------------------------- label captions

TEST_F(MainSheet, RenamingALabelOnPageZeroWritesItsOwnKey) {
    StartMainWindow();
    const QString old = w()->lblStatLabel[3]->caption();
    QStringList shown;
    AnswerInputBox(QStringLiteral("Weight (lb)"), &shown);
    DoubleClick(w()->lblStatLabel[3]);
    EXPECT_EQ(shown, (QStringList{"Enter new label:", old}));
    EXPECT_EQ(w()->lblStatLabel[3]->caption(), "Weight (lb)");
    EXPECT_EQ(w()->m_asStatLabel[3], "Weight (lb)");
    EXPECT_EQ(Cfg("Field3"), "Weight (lb)");
    EXPECT_NE(Cfg("Field14"), "Weight (lb)");
}

TEST_F(MainSheet, RenamingALabelOnPageOneWritesTheKeyOfItsStatistic) {
    StartMainWindow();
    Click(w()->imgPage2);
    const QString field3 = Cfg("Field3");
    AnswerInputBox(QStringLiteral("Lore"));
    DoubleClick(w()->lblStatLabel[3]);
    EXPECT_EQ(w()->lblStatLabel[3]->caption(), "Lore");
    EXPECT_EQ(w()->m_asStatLabel[14], "Lore");
    EXPECT_EQ(Cfg("Field14"), "Lore");
    EXPECT_EQ(Cfg("Field3"), field3);
    // The caption stays with its statistic across page switches.
    Click(w()->imgPage1);
    EXPECT_EQ(w()->lblStatLabel[3]->caption(), field3);
    Click(w()->imgPage2);
    EXPECT_EQ(w()->lblStatLabel[3]->caption(), "Lore");
}

TEST_F(MainSheet, TheDescriptionLabelIsNeverRenamed) {
    // Label 0 also carries the caption "Description" here, from the file.
    ASSERT_TRUE(WriteCfgValue(Folder().cfgPath(), QStringLiteral("Field0"), QStringLiteral("Description")));
    ASSERT_TRUE(WriteCfgValue(Folder().cfgPath(), QStringLiteral("Field1"), QStringLiteral("description")));
    StartMainWindow();
    const QByteArray before = [&] {
        QFile f(Folder().cfgPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    bool dialogShown = false;
    QPointer<QTimer> watch = WhenModalShown([&](QWidget* dialog) {
        dialogShown = true;
        ClickChild(dialog, "imgCancel");
    });
    DoubleClick(w()->lblStatLabel[10]);
    DoubleClick(w()->lblStatLabel[0]);
    EXPECT_FALSE(dialogShown);
    StopWatching(watch);
    QFile f(Folder().cfgPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);

    // The same word in lower case is an ordinary caption.
    AnswerInputBox(QStringLiteral("Notes"));
    DoubleClick(w()->lblStatLabel[1]);
    EXPECT_EQ(Cfg("Field1"), "Notes");
}

TEST_F(MainSheet, RefusedAnswersLeaveTheCaptionAndTheFileAlone) {
    StartMainWindow();
    const QString old = w()->lblStatLabel[2]->caption();
    for (const std::optional<QString>& answer :
         {std::optional<QString>(), std::optional<QString>(QString()), std::optional<QString>("Bob's"),
          std::optional<QString>("say \"hi\""), std::optional<QString>("curly{"), std::optional<QString>("tilde~")}) {
        AnswerInputBox(answer);
        DoubleClick(w()->lblStatLabel[2]);
        EXPECT_EQ(w()->lblStatLabel[2]->caption(), old) << (answer ? answer->toStdString() : "cancel");
        EXPECT_EQ(w()->m_asStatLabel[2], old);
        EXPECT_EQ(Cfg("Field2"), old);
    }
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
    // Blanks and the other accepted characters stand as typed.
    AnswerInputBox(QStringLiteral("  Hit & Run: 1-2 "));
    DoubleClick(w()->lblStatLabel[2]);
    EXPECT_EQ(Cfg("Field2"), "  Hit & Run: 1-2 ");
}

// ---------------------------------------------------------------- editing the boxes

TEST_F(MainSheet, EnteringABoxSelectsItsWholeText) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[1]);
    EXPECT_EQ(w()->txtStatText[1]->selStart(), 0);
    EXPECT_EQ(w()->txtStatText[1]->selLength(), 2);
    FocusBox(w()->txtStatText[10]);
    EXPECT_EQ(w()->txtStatText[10]->selStart(), 0);
    EXPECT_EQ(w()->txtStatText[10]->selLength(), 5);
}

TEST_F(MainSheet, TypingThenLeavingABoxSavesExactlyOnce) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[1]);
    Type(w()->txtStatText[1], "legs");
    EXPECT_TRUE(w()->m_bStatChanged);
    EXPECT_EQ(Stored(ant, "Field1"), "a1");  // nothing saved while typing
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(Focused(w()->txtStatText[2]));
    EXPECT_EQ(Stored(ant, "Field1"), "legs");
    EXPECT_EQ(Stored(ant, "Field0"), "a0");
    EXPECT_FALSE(w()->m_bStatChanged);

    // Leaving boxes again without typing saves nothing.
    Folder().Exec(QStringLiteral("UPDATE Creatures SET Field1 = 'elsewhere' WHERE IDCreature = ?1"), {ant});
    FocusBox(w()->txtStatText[3]);
    FocusBox(w()->txtStatText[0]);
    EXPECT_EQ(Stored(ant, "Field1"), "elsewhere");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainSheet, OpeningAListTakesTheFocusAndSavesTheTyping) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[10]);
    Type(w()->txtStatText[10], "tiny");
    Click(w()->imgList[0]);
    EXPECT_EQ(Stored(ant, "Description"), "tiny");
    EXPECT_FALSE(w()->m_bStatChanged);
}

TEST_F(MainSheet, KeysThatTypeNothingDoNotMarkTheSheet) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[1]);
    // Delete as the X11 keyboard delivers it, with the text U+007F.
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
    EXPECT_EQ(w()->txtStatText[1]->text(), "");
    EXPECT_FALSE(w()->m_bStatChanged);
    FocusBox(w()->txtStatText[2]);
    EXPECT_EQ(Stored(ant, "Field1"), "a1");
}

TEST_F(MainSheet, TypingWithNoCreatureSelectedSavesNothing) {
    Folder().AddCategory(QStringLiteral("Empty"));
    StartMainWindow();
    ASSERT_EQ(w()->lstCreature->ListIndex(), -1);
    const QByteArray before = Folder().DatabaseBytes();
    FocusBox(w()->txtStatText[0]);
    Type(w()->txtStatText[0], "lost");
    FocusBox(w()->txtStatText[1]);
    EXPECT_FALSE(w()->m_bStatChanged);
    EXPECT_EQ(w()->txtStatText[0]->text(), "lost");  // stays on the screen
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainSheet, AFailedSaveIsReportedOnceAndNotRepeated) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[1]);
    Type(w()->txtStatText[1], "x");
    ASSERT_TRUE(QFile::remove(Folder().databasePath()));
    // The real message box, which takes the activation while it is up; the
    // window system gives it back to the main window when the box closes.
    QStringList shown;
    {
        const RealMessageBoxes real;
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            shown << box->windowTitle();
            box->close();
            QTimer::singleShot(0, w(), [this] { w()->activateWindow(); });
        });
        closer.start();
        QTest::mouseClick(w()->txtStatText[2]->editor(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitForWindowActive(w()));
        QApplication::processEvents();
    }
    EXPECT_EQ(shown, QStringList{"Error Saving Creature Information to Database"});
    EXPECT_FALSE(w()->m_bStatChanged);
    EXPECT_TRUE(Focused(w()->txtStatText[2]));
    FocusBox(w()->txtStatText[3]);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainSheet, SwitchingToAnotherProgramLeavesTheTypingAsItIs) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[1]);
    Type(w()->txtStatText[1], "le");
    QApplication::setActiveWindow(nullptr);
    QApplication::processEvents();
    EXPECT_EQ(Stored(ant, "Field1"), "a1");
    EXPECT_TRUE(w()->m_bStatChanged);
    QApplication::setActiveWindow(w());
    QApplication::processEvents();
    ASSERT_TRUE(Focused(w()->txtStatText[1]));
    // The caret is where the typing left it: the next keys go on from there.
    EXPECT_EQ(w()->txtStatText[1]->selStart(), 2);
    EXPECT_EQ(w()->txtStatText[1]->selLength(), 0);
    Type(w()->txtStatText[1], "gs");
    EXPECT_EQ(Stored(ant, "Field1"), "a1");

    // The program's own text prompt takes the focus: that leaves the box.
    AnswerInputBox(std::nullopt);
    DoubleClick(w()->lblStatLabel[5]);
    EXPECT_EQ(Stored(ant, "Field1"), "legs");
    EXPECT_FALSE(w()->m_bStatChanged);
}

TEST_F(MainSheet, ACreatureShownByProgramWhileTypingKeepsTheMark) {
    MakeCreatures();
    StartMainWindow();
    FocusBox(w()->txtStatText[0]);
    Type(w()->txtStatText[0], "unsaved");
    // Selecting by program moves no focus: the typing is replaced, the mark stays.
    w()->lstCreature->setListIndex(RowOf(w()->lstCreature, "Bee"));
    EXPECT_EQ(w()->txtStatText[0]->text(), "b0");
    EXPECT_TRUE(w()->m_bStatChanged);
    EXPECT_EQ(Stored(ant, "Field0"), "a0");
    // The next focus loss saves Bee's record as shown.
    Folder().Exec(QStringLiteral("UPDATE Creatures SET Field0 = 'elsewhere' WHERE IDCreature = ?1"), {bee});
    FocusBox(w()->txtStatText[1]);
    EXPECT_EQ(Stored(bee, "Field0"), "b0");
    EXPECT_FALSE(w()->m_bStatChanged);
}

}  // namespace
