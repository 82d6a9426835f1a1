// Runs of input that go on past a list or a window that opened or closed: the
// rest of a double- or triple-click, and the repeats of a held key, reach
// nothing, whatever now lies under the pointer or has the focus.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QWindow>

#include "frame/splash.h"
#include "frame/startup.h"
#include "platform/msgbox.h"
#include "support/file_access.h"
#include "support/main_window_fixture.h"
#include "support/msgbox_recorder.h"

namespace {

class InputRuns : public MainWindowFixture {
protected:
    // Alpha: Ant (described "Tail"), Bee, Cat, Eel, Fox; Beta: Dog; six rosters, each of Dog then Ant.
    void MakeFile() {
        alpha = Folder().AddCategory(QStringLiteral("Alpha"));
        const qint64 beta = Folder().AddCategory(QStringLiteral("Beta"));
        ant = Folder().AddCreature(alpha, QStringLiteral("Ant"));
        Folder().Exec(QStringLiteral("UPDATE Creatures SET Description = 'Tail' WHERE IDCreature = ?1"), {ant});
        for (const char* name : {"Bee", "Cat", "Eel", "Fox"}) Folder().AddCreature(alpha, QString::fromLatin1(name));
        dog = Folder().AddCreature(beta, QStringLiteral("Dog"));
        for (int i = 1; i <= 6; ++i) {
            const qint64 roster = Folder().AddRoster(QStringLiteral("Party %1").arg(i));
            Folder().AddRosterEntry(roster, dog);
            Folder().AddRosterEntry(roster, ant);
        }
    }
    QVariant CategoryOf(qint64 creature) {
        return Folder().Scalar(QStringLiteral("SELECT IDCategory FROM Creatures WHERE IDCreature = ?1"), {creature});
    }
    static QPoint CentreOf(QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); }
    // The list's item under the spot (global), "" when none.
    static QString ItemAt(ListBox* list, QPoint spot) {
        const QListWidgetItem* item = list->itemAt(list->viewport()->mapFromGlobal(spot));
        return item ? item->text() : QString();
    }

    qint64 alpha = 0, ant = 0, dog = 0;
};

}  // namespace

TEST_F(InputRuns, TheRestOfARunOfClicksOnAListItemReachesNothingBeneath) {
    MakeFile();
    StartMainWindow();
    ASSERT_EQ(w()->lblName->caption(), "Ant");
    Pick(2, QStringLiteral("Party 1"));
    Click(w()->imgLock);
    ASSERT_TRUE(w()->m_bLocked);

    // A roster item over a roster line (Dog's): the double-click opens that
    // roster and neither shows Dog nor, under the lock, moves Ant to Beta.
    Click(w()->imgList[2]);
    const QPoint line = CentreOf(w()->lblRosterEntry[0]);
    const QString roster = ItemAt(w()->lstRoster, line);
    ASSERT_FALSE(roster.isEmpty()) << "no roster item lies over the first roster line";
    WithoutQuestion([&] { ClickRun(line, 2); });
    EXPECT_EQ(w()->lblRosterCurrent->caption(), roster);
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(CategoryOf(ant), alpha);
    Click(w()->imgLock);
    ASSERT_FALSE(w()->m_bLocked);

    // A creature item over the category label: no rename prompt.
    Click(w()->imgList[0]);
    const QPoint label = CentreOf(w()->lblCategory);
    const QString creature = ItemAt(w()->lstCreature, label);
    ASSERT_FALSE(creature.isEmpty()) << "no creature item lies over the category label";
    WithoutQuestion([&] { ClickRun(label, 2); });
    EXPECT_EQ(w()->lblName->caption(), creature);

    // A triple-click on a creature item over the lock: the lock stays off.
    Click(w()->imgList[0]);
    const QPoint lock = CentreOf(w()->imgLock);
    ASSERT_FALSE(ItemAt(w()->lstCreature, lock).isEmpty()) << "no creature item lies over the lock";
    WithoutQuestion([&] { ClickRun(lock, 3); });
    EXPECT_FALSE(w()->m_bLocked);
    EXPECT_FALSE(w()->lstCreature->isVisible());

    // The next double-click is the user's own.
    AnswerInputBox(std::nullopt);
    DoubleClick(w()->lblCategory);
}

TEST_F(InputRuns, TheRestOfARunOfClicksThatOpensOrClosesAWindowReachesNothing) {
    MakeFile();
    StartMainWindow();
    Pick(2, QStringLiteral("Party 1"));
    Click(w()->lblRosterEntry[0]);  // highlighted: Remove would take it out

    // A triple-click on the about box's Cancel over Remove: the box closes,
    // and the roster keeps its entries.
    const QPoint remove = CentreOf(w()->imgRemove);
    WhenModalShown([&](QWidget* about) {
        auto* cancel = about->findChild<QWidget*>(QStringLiteral("imgCancel"));
        ASSERT_NE(cancel, nullptr);
        about->move(about->pos() + remove - CentreOf(cancel));
        QApplication::processEvents();
        ClickRun(remove, 3);
    });
    Click(w()->imgHelp);
    EXPECT_EQ(w()->m_nRosterCount, 2);

    // A double-click on Help: the about box opens, and the second press, on
    // its background, leaves it open.
    bool bStayedOpen = false;
    WhenModalShown([&](QWidget* about) {
        EXPECT_TRUE(WaitForClickRun());
        bStayedOpen = about->isVisible();
        about->close();
    });
    ClickRun(CentreOf(w()->imgHelp), 2);
    EXPECT_TRUE(bStayedOpen);

    // The window moved so that a Delete button lies under the confirmation's
    // Yes: a triple-click on Delete leaves the question open, and nothing is deleted.
    QPoint yes;
    WhenModalShown([&](QWidget* question) {
        yes = CentreOf(question->findChild<QWidget*>(QStringLiteral("imgYes")));
        ClickChild(question, "imgNo");
    });
    Click(w()->imgDelete[0]);
    w()->move(w()->pos() + yes - CentreOf(w()->imgDelete[0]));
    QApplication::processEvents();
    ASSERT_TRUE(w()->imgDelete[0]->rect().contains(w()->imgDelete[0]->mapFromGlobal(yes)));
    bool bAsked = false;
    WhenModalShown([&](QWidget* question) {
        EXPECT_TRUE(WaitForClickRun());
        bAsked = question->isVisible();
        ClickChild(question, "imgNo");
    });
    ClickRun(yes, 3);
    EXPECT_TRUE(bAsked);
    EXPECT_EQ(Folder().Scalar(QStringLiteral("SELECT COUNT(*) FROM Creatures")).toInt(), 6);

    // A triple-click that closes the start-up splash over the lock: the lock stays off.
    giStartupDone = 0;
    const QPoint lock = CentreOf(w()->imgLock);
    WhenModalShown([&](QWidget* splash) {
        ASSERT_TRUE(splash->frameGeometry().contains(lock));
        ClickRun(lock, 3);
    });
    ShowSplash(programDir(), w());
    giStartupDone = 1;
    EXPECT_FALSE(w()->m_bLocked);

    // A triple-click on a message box's OK over a roster line, and a fourth
    // press: the line is neither highlighted nor double-clicked.
    w()->centreOnScreen();
    QApplication::processEvents();
    const QPoint line = CentreOf(w()->lblRosterEntry[1]);
    WhenModalShown([&](QWidget* box) {
        auto* ok = qobject_cast<QMessageBox*>(box) ? qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok) : nullptr;
        ASSERT_NE(ok, nullptr);
        box->move(box->pos() + line - CentreOf(ok));
        QApplication::processEvents();
        ClickRun(line, 4);
    });
    {
        const RealMessageBoxes real;
        MsgBox(QStringLiteral("Error: a test"), QStringLiteral("A Title"));
    }
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(w()->lblRosterEntry[1]->foreColor(), kDarkBrown);
}

TEST_F(InputRuns, TheRestOfARunOfClicksThatClosesAListOfTheFileChooserReachesNothing) {
    MakeFile();
    StartMainWindow();
    // A folder of pictures, enough to fill the chooser's file list, with
    // hidden folders inside it, which the list leaves out.
    const QString pictures = programDir() + QStringLiteral("/pictures");
    const QString inside = pictures + QStringLiteral("/.a/.b/.c");
    ASSERT_TRUE(QDir().mkpath(inside));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const int kPictures = 60;
    for (int i = 0; i < kPictures; ++i)
        ASSERT_TRUE(image.save(QStringLiteral("%1/picture_%2.bmp").arg(pictures).arg(i, 2, 10, QLatin1Char('0')), "BMP"));
    Click(w()->imgPicture);
    ASSERT_TRUE(w()->picPicture->isVisible());

    // The chooser stands in a folder three below the pictures' folder, having
    // listed that before. The Look-in list, opened with a click, has the
    // pictures' folder as an entry over the file list: four quick clicks on it
    // open the folder, and the three after the first reach none of its pictures.
    QString openedFolder, pictureOnTheSpot;
    bool bStayedOpen = false;
    WhenModalShown([&](QWidget* dialog) {
        auto* chooser = qobject_cast<QFileDialog*>(dialog);
        auto* lookIn = chooser ? chooser->findChild<QComboBox*>(QStringLiteral("lookInCombo")) : nullptr;
        QAbstractItemView* files = nullptr;
        for (const char* name : {"listView", "treeView"})
            if (auto* view = chooser ? chooser->findChild<QAbstractItemView*>(QLatin1String(name)) : nullptr)
                if (view->isVisible()) files = view;
        if (!lookIn || !files) {
            ADD_FAILURE() << "no file dialog with a Look-in list and a file list";
            dialog->close();
            return;
        }
        const auto listed = [&](const QString& folder, int entries) {
            chooser->setDirectory(folder);
            return QTest::qWaitFor([&] { return files->model()->rowCount(files->rootIndex()) == entries; });
        };
        EXPECT_TRUE(listed(pictures, kPictures));
        EXPECT_TRUE(listed(inside, 0));
        Click(lookIn);
        QWidget* popup = QApplication::activePopupWidget();
        QAbstractItemView* entries = lookIn->view();
        const QModelIndexList found = entries->model()->match(entries->model()->index(0, 0), Qt::DisplayRole,
                                                              pictures, 1, Qt::MatchExactly);
        QPoint spot;
        if (popup && !found.isEmpty())
            spot = entries->viewport()->mapToGlobal(entries->visualRect(found.first()).center());
        if (!popup || found.isEmpty() || !files->viewport()->rect().contains(files->viewport()->mapFromGlobal(spot))) {
            ADD_FAILURE() << "no entry of the pictures' folder over the file list";
            dialog->close();
            return;
        }
        ClickRun(spot, 4);
        openedFolder = chooser->directory().absolutePath();
        pictureOnTheSpot = files->indexAt(files->viewport()->mapFromGlobal(spot)).data().toString();
        bStayedOpen = dialog->isVisible();
        dialog->close();
    });
    DoubleClick(w()->lblNoPicAvail);
    EXPECT_EQ(openedFolder, pictures);
    EXPECT_TRUE(pictureOnTheSpot.endsWith(QStringLiteral(".bmp"))) << "no picture lies under the entry";
    EXPECT_TRUE(bStayedOpen);
    EXPECT_EQ(w()->m_sPicturePath, "");
    const QVariant stored = Folder().Scalar(QStringLiteral("SELECT Picture FROM Creatures WHERE IDCreature = ?1"), {ant});
    EXPECT_EQ(stored.toString(), "");
}

TEST_F(InputRuns, AHeldKeyActsOnlyWhereItWentDown) {
    MakeFile();
    StartMainWindow();
    TextBox* description = w()->txtStatText[10];

    // Enter held in the rename prompt: its repeats reach neither the
    // description, which has the focus again, nor, once saved, the file.
    FocusBox(description);
    WhenModalShown([](QWidget* prompt) {
        KeyAt(prompt, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"), NextKeyTime());
    });
    DoubleClick(w()->lblName);
    KeyRepeats(w(), Qt::Key_Return, QStringLiteral("\r"), 4);
    EXPECT_EQ(description->text(), "Tail");
    FocusBox(w()->txtStatText[0]);
    EXPECT_EQ(Folder().Scalar(QStringLiteral("SELECT Description FROM Creatures WHERE IDCreature = ?1"), {ant}), "Tail");

    // Space held on a message box's OK: the release of its first repeat, which
    // Qt did not mark, clicks OK and the box closes; the press that comes at
    // the same time, and the repeats after it, type no space into the box
    // that has the focus again. A new press after the key's release types one.
    FocusBox(description);
    bool bClosedByRepeat = false;
    WhenModalShown([&](QWidget* box) {
        KeyAt(box, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "), NextKeyTime());
        const quint64 repeat = NextKeyTime() + 500;
        KeyAt(box, QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "), repeat);
        bClosedByRepeat = !box->isVisible();
        KeyAt(w(), QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "), repeat);
        if (!bClosedByRepeat) box->close();
    });
    {
        const RealMessageBoxes real;
        MsgBox(QStringLiteral("Error: a test"), QStringLiteral("A Title"));
    }
    EXPECT_TRUE(bClosedByRepeat);
    KeyRepeats(w(), Qt::Key_Space, QStringLiteral(" "), 3);
    EXPECT_EQ(description->text(), "Tail");
    KeyAt(w(), QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "), NextKeyTime());
    KeyAt(w(), QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "), NextKeyTime());
    EXPECT_TRUE(description->text().contains(QLatin1Char(' ')));

    // The same repeats of Enter leave the error box that the prompt's answer brings open.
    std::string why;
    auto cfgGuard = MakeUnwritable(Folder().cfgPath(), false, &why);
    if (cfgGuard) {
        bool bStayedOpen = false;
        WhenModalShown([&](QWidget* prompt) {
            WhenModalShown([&](QWidget* box) {
                KeyRepeats(box, Qt::Key_Return, QStringLiteral("\r"), 4);
                bStayedOpen = box->isVisible() && box->windowTitle() == "Error Saving Label";
                box->close();
            });
            QTest::keyClicks(prompt->findChild<TextBox*>(QStringLiteral("txtInput"))->editor(), QStringLiteral("Rarity"));
            KeyAt(prompt, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"), NextKeyTime());
        });
        const RealMessageBoxes real;
        DoubleClick(w()->lblStatLabel[2]);
        EXPECT_TRUE(bStayedOpen);
        cfgGuard.reset();
    }

    // A key held while the start-up splash closes itself types nothing into
    // the box that gets the focus; pressed anew, it types.
    FocusBox(w()->txtStatText[0]);
    const QString before = w()->txtStatText[0]->text();
    giStartupDone = 0;
    WhenModalShown([](QWidget* splash) {
        KeyAt(splash, QEvent::KeyPress, Qt::Key_X, QStringLiteral("x"), NextKeyTime());
        auto* self = static_cast<frmSplash*>(splash);
        for (int tick = 0; tick < 5 && self->isVisible(); ++tick) self->Timer1_Timer();
    });
    ShowSplash(programDir(), w());
    giStartupDone = 1;
    KeyRepeats(w(), Qt::Key_X, QStringLiteral("x"), 4);
    EXPECT_EQ(w()->txtStatText[0]->text(), before);
    KeyAt(w(), QEvent::KeyPress, Qt::Key_X, QStringLiteral("x"), NextKeyTime());
    KeyAt(w(), QEvent::KeyRelease, Qt::Key_X, QStringLiteral("x"), NextKeyTime());
    EXPECT_EQ(w()->txtStatText[0]->text(), before + "x");
    if (!cfgGuard && !why.empty()) GTEST_SKIP() << "the error box's case: " << why;
}
