// The pop-up lists, picking categories and creatures with the mouse and the
// keyboard, and the creature lock that moves a creature to another category.
#include <QTest>

#include "support/main_window_fixture.h"

namespace {

QString SelectedText(const ListBox* l) { return l->ListIndex() < 0 ? QString() : l->List(l->ListIndex()); }
qint32 SelectedID(const ListBox* l) { return l->ListIndex() < 0 ? -1 : l->ItemData(l->ListIndex()); }

QStringList Items(const ListBox* l) {
    QStringList out;
    for (int i = 0; i < l->ListCount(); ++i) out << l->List(i);
    return out;
}

class MainLists : public MainWindowFixture {
protected:
    //   Birds: Crow, Owl   Empty: (none)   Fish: Carp, Pike, Trout
    void MakeCategories() {
        ProgramFolder& f = Folder();
        birds = f.AddCategory(QStringLiteral("Birds"));
        empty = f.AddCategory(QStringLiteral("Empty"));
        fish = f.AddCategory(QStringLiteral("Fish"));
        owl = AddCreature(birds, "Owl", "hoot");
        crow = AddCreature(birds, "Crow", "caw");
        pike = AddCreature(fish, "Pike", "teeth");
        carp = AddCreature(fish, "Carp", "pond");
        trout = AddCreature(fish, "Trout", "river");
        f.AddRoster(QStringLiteral("Patrol"));
    }
    qint64 AddCreature(qint64 cat, const char* name, const char* field0) {
        return Folder().Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Field0, Description, Picture) "
                                              "VALUES (?1, ?2, ?3, '', '')"),
                               {cat, QString::fromLatin1(name), QString::fromLatin1(field0)});
    }
    qint64 StoredCategory(qint64 id) {
        return Folder().Scalar(QStringLiteral("SELECT IDCategory FROM Creatures WHERE IDCreature = ?1"), {id}).toLongLong();
    }
    void PickCategory(const QString& name) {
        if (!w()->lstCategory->isVisible()) Click(w()->imgList[1]);
        ClickListItem(w()->lstCategory, RowOf(w()->lstCategory, name));
    }
    void PickCreature(const QString& name) {
        if (!w()->lstCreature->isVisible()) Click(w()->imgList[0]);
        ClickListItem(w()->lstCreature, RowOf(w()->lstCreature, name));
    }
    QList<bool> Open() {
        return {w()->lstCreature->isVisible(), w()->lstCategory->isVisible(), w()->lstRoster->isVisible()};
    }

    qint64 birds = 0, empty = 0, fish = 0, owl = 0, crow = 0, pike = 0, carp = 0, trout = 0;
};

// ---------------------------------------------------------------- opening and closing

TEST_F(MainLists, ListButtonsOpenOneListAtATimeAndGiveItTheFocus) {
    MakeCategories();
    StartMainWindow();
    EXPECT_EQ(Open(), (QList<bool>{false, false, false}));
    Click(w()->imgList[0]);
    EXPECT_EQ(Open(), (QList<bool>{true, false, false}));
    EXPECT_EQ(QApplication::focusWidget(), w()->lstCreature);
    Click(w()->imgList[1]);
    EXPECT_EQ(Open(), (QList<bool>{false, true, false}));
    EXPECT_EQ(QApplication::focusWidget(), w()->lstCategory);
    Click(w()->imgList[2]);
    EXPECT_EQ(Open(), (QList<bool>{false, false, true}));
    EXPECT_EQ(QApplication::focusWidget(), w()->lstRoster);
    Click(w()->imgList[2]);  // its own button closes it again
    EXPECT_EQ(Open(), (QList<bool>{false, false, false}));
    // Other indexes do nothing.
    w()->imgList_Click(3);
    w()->imgList_Click(-1);
    EXPECT_EQ(Open(), (QList<bool>{false, false, false}));
}

TEST_F(MainLists, BackgroundClickClosesTheOpenListButAClickOnAControlDoesNot) {
    MakeCategories();
    StartMainWindow();
    Click(w()->imgList[1]);
    Click(w()->lblName);
    Click(w()->lblStatLabel[4]);
    EXPECT_TRUE(w()->lstCategory->isVisible());
    Click(w(), QPoint(340, 20));  // background between the sheet and the right column
    EXPECT_EQ(Open(), (QList<bool>{false, false, false}));

    Click(w()->imgList[0]);
    Click(w(), QPoint(5, 440));
    EXPECT_EQ(Open(), (QList<bool>{false, false, false}));
}

TEST_F(MainLists, TheCoverPictureDoesNotCloseAList) {
    MakeCategories();
    StartMainWindow();
    QTest::mouseMove(w(), QPoint(600, 420));
    Click(w()->imgScreen);
    ASSERT_TRUE(w()->imgConceal->isVisible());
    w()->imgList_Click(2);  // its button lies under the cover
    Click(w()->imgConceal, QPoint(20, 360));
    EXPECT_TRUE(w()->lstRoster->isVisible());
}

// ---------------------------------------------------------------- picking

TEST_F(MainLists, PickingACategoryListsItsCreaturesAndShowsTheFirst) {
    MakeCategories();
    StartMainWindow();
    EXPECT_EQ(w()->lblName->caption(), "Crow");
    PickCategory("Fish");
    EXPECT_FALSE(w()->lstCategory->isVisible());
    EXPECT_EQ(w()->lblCategory->caption(), "Fish");
    EXPECT_EQ(Items(w()->lstCreature), (QStringList{"Carp", "Pike", "Trout"}));
    EXPECT_EQ(SelectedText(w()->lstCreature), "Carp");
    EXPECT_EQ(w()->lblName->caption(), "Carp");
    EXPECT_EQ(w()->txtStatText[0]->text(), "pond");
    EXPECT_FALSE(w()->lstCreature->isVisible());
}

TEST_F(MainLists, PickingACategoryWithoutCreaturesEmptiesTheSheet) {
    MakeCategories();
    StartMainWindow();
    PickCategory("Empty");
    EXPECT_EQ(w()->lblCategory->caption(), "Empty");
    EXPECT_EQ(w()->lstCreature->ListCount(), 0);
    EXPECT_EQ(w()->lstCreature->ListIndex(), -1);
    EXPECT_EQ(w()->lblName->caption(), "");
    for (auto* t : w()->txtStatText) EXPECT_EQ(t->text(), "");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainLists, PickingACreatureLoadsItOnPageZero) {
    MakeCategories();
    StartMainWindow();
    Click(w()->imgPage2);
    PickCreature("Owl");
    EXPECT_FALSE(w()->lstCreature->isVisible());
    EXPECT_EQ(w()->lblName->caption(), "Owl");
    EXPECT_EQ(w()->txtStatText[0]->text(), "hoot");
    EXPECT_TRUE(w()->lblStatLabel[10]->isVisible());
}

TEST_F(MainLists, MovingTheSelectionWithTheKeyboardRunsTheClickHandling) {
    MakeCategories();
    StartMainWindow();
    Click(w()->imgList[1]);
    QTest::keyClick(w()->lstCategory, Qt::Key_Down);  // Birds -> Empty
    QApplication::processEvents();
    EXPECT_EQ(w()->lblCategory->caption(), "Empty");
    EXPECT_EQ(w()->lblName->caption(), "");

    PickCategory("Fish");
    Click(w()->imgList[0]);
    QTest::keyClick(w()->lstCreature, Qt::Key_Down);  // Carp -> Pike
    QApplication::processEvents();
    EXPECT_EQ(w()->lblName->caption(), "Pike");
    EXPECT_EQ(w()->txtStatText[0]->text(), "teeth");
}

TEST_F(MainLists, CtrlOnTheSelectedItemKeepsEveryListsSelection) {
    MakeCategories();
    StartMainWindow();
    Pick(2, QStringLiteral("Patrol"));
    ListBox* const lists[] = {w()->lstCreature, w()->lstCategory, w()->lstRoster};
    for (int i = 0; i < 3; ++i) {
        ListBox* list = lists[i];
        const int row = list->ListIndex();
        ASSERT_GE(row, 0) << "list " << i;
        // Ctrl+click on the selected item picks it again, as a plain click does.
        Click(w()->imgList[size_t(i)]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(list->item(row)).center());
        QApplication::processEvents();
        EXPECT_EQ(list->ListIndex(), row) << "list " << i;
        EXPECT_FALSE(list->isVisible()) << "list " << i;
        // Ctrl+Space on it changes nothing.
        Click(w()->imgList[size_t(i)]);
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_EQ(list->ListIndex(), row) << "list " << i;
        Click(w()->imgList[size_t(i)]);
    }
    // The creature, its category and the roster are still there to work on.
    EXPECT_EQ(SelectedText(w()->lstCreature), "Crow");
    EXPECT_EQ(w()->lblName->caption(), "Crow");
    Click(w()->imgAdd);
    EXPECT_EQ(w()->m_nRosterCount, 1);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
    // Ctrl+Down moves the selection and runs the click handling.
    Click(w()->imgList[1]);
    QTest::keyClick(w()->lstCategory, Qt::Key_Down, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(SelectedText(w()->lstCategory), "Empty");
    EXPECT_EQ(w()->lblCategory->caption(), "Empty");
}

// ---------------------------------------------------------------- the lock

TEST_F(MainLists, LockOnMovesTheSelectedCreatureIntoThePickedCategory) {
    MakeCategories();
    StartMainWindow();
    PickCreature("Owl");
    Click(w()->imgLock);
    ASSERT_TRUE(w()->m_bLocked);
    PickCategory("Fish");
    EXPECT_EQ(StoredCategory(owl), fish);
    EXPECT_EQ(w()->lblCategory->caption(), "Fish");
    EXPECT_EQ(Items(w()->lstCreature), (QStringList{"Carp", "Owl", "Pike", "Trout"}));
    EXPECT_EQ(SelectedID(w()->lstCreature), owl);
    EXPECT_EQ(w()->lblName->caption(), "Owl");
    EXPECT_EQ(w()->txtStatText[0]->text(), "hoot");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());

    // The lock stays on: the next pick moves it again.
    PickCategory("Empty");
    EXPECT_EQ(StoredCategory(owl), empty);
    EXPECT_EQ(Items(w()->lstCreature), QStringList{"Owl"});

    // Off again: picking only browses.
    Click(w()->imgLock);
    ASSERT_FALSE(w()->m_bLocked);
    PickCategory("Birds");
    EXPECT_EQ(StoredCategory(owl), empty);
    EXPECT_EQ(Items(w()->lstCreature), QStringList{"Crow"});
}

TEST_F(MainLists, LockOnPickingTheCreaturesOwnCategoryShowsItAgain) {
    MakeCategories();
    StartMainWindow();
    PickCategory("Fish");
    PickCreature("Trout");
    Click(w()->imgLock);
    // The category already selected, picked again from the open list.
    Folder().Exec(QStringLiteral("UPDATE Creatures SET Field0 = 'elsewhere' WHERE IDCreature = ?1"), {trout});
    Click(w()->imgList[1]);
    ClickListItem(w()->lstCategory, RowOf(w()->lstCategory, "Fish"));
    EXPECT_EQ(StoredCategory(trout), fish);
    EXPECT_EQ(SelectedID(w()->lstCreature), trout);
    EXPECT_EQ(w()->lblName->caption(), "Trout");
    EXPECT_EQ(w()->txtStatText[0]->text(), "elsewhere");  // loaded again from the file
}

TEST_F(MainLists, LockOnWithNoCreatureSelectedMovesNothing) {
    MakeCategories();
    StartMainWindow();
    PickCategory("Empty");
    Click(w()->imgLock);
    const QByteArray before = Folder().DatabaseBytes();
    PickCategory("Fish");
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(w()->lblCategory->caption(), "Fish");
    EXPECT_EQ(Items(w()->lstCreature), (QStringList{"Carp", "Pike", "Trout"}));
    EXPECT_EQ(w()->lstCreature->ListIndex(), -1);
    EXPECT_EQ(w()->lblName->caption(), "");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());

    // Listed but none selected: still nothing moves.
    PickCategory("Birds");
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(w()->lstCreature->ListIndex(), -1);
}

TEST_F(MainLists, LockOnWhenTheMoveFailsListsThePickedCategoryWithNothingSelected) {
    MakeCategories();
    StartMainWindow();
    PickCreature("Owl");
    // Every change of a creature's row is refused by the file.
    Folder().Exec(QStringLiteral("CREATE TRIGGER NoMoves BEFORE UPDATE ON Creatures "
                                 "BEGIN SELECT RAISE(ABORT, 'creatures are fixed here'); END"));
    Click(w()->imgLock);
    PickCategory("Fish");
    EXPECT_EQ(MsgBoxTitles(), QStringList{"Error Changing Creature Category in Database"});
    EXPECT_EQ(StoredCategory(owl), birds);
    EXPECT_EQ(Items(w()->lstCreature), (QStringList{"Carp", "Pike", "Trout"}));
    EXPECT_EQ(w()->lstCreature->ListIndex(), -1);
    EXPECT_EQ(w()->lblName->caption(), "");
}

}  // namespace
