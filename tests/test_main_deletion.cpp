// Deleting creatures, categories and rosters with the Delete buttons, answered
// through the real confirmation, and what the window shows afterwards.
#include <QApplication>
#include <QTimer>

#include "frame/button_store.h"
#include "support/main_window_fixture.h"

namespace {

class Deletion : public MainWindowFixture {
protected:
    // Alpha: Ant, Bee, Cow   Beta: Cat
    void MakeAlphaBeta() {
        ProgramFolder& f = Folder();
        alpha = f.AddCategory(QStringLiteral("Alpha"));
        beta = f.AddCategory(QStringLiteral("Beta"));
        ant = f.AddCreature(alpha, QStringLiteral("Ant"));
        bee = f.AddCreature(alpha, QStringLiteral("Bee"));
        cow = f.AddCreature(alpha, QStringLiteral("Cow"));
        cat = f.AddCreature(beta, QStringLiteral("Cat"));
    }
    int Count(const QString& sql, std::initializer_list<QVariant> params = {}) {
        return Folder().Scalar(sql, params).toInt();
    }
    bool CreatureExists(qint64 id) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM Creatures WHERE IDCreature = ?1"), {id}) == 1;
    }
    static qint64 SelectedID(const ListBox* l) { return l->ListIndex() < 0 ? -1 : l->ItemData(l->ListIndex()); }
    QStringList Lines() const {
        QStringList l;
        for (Label* line : w()->lblRosterEntry) l << line->caption();
        return l;
    }
    static QStringList Padded(QStringList l) {
        while (l.size() < 8) l << QString();
        return l;
    }

    // Clicks Delete of a row and answers the question.
    void Delete(int row, bool yes) {
        AnswerAreYouSure(yes);
        Click(w()->imgDelete[size_t(row)]);
    }
    void ExpectNoMessages() { EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString(); }

    qint64 alpha = 0, beta = 0, ant = 0, bee = 0, cow = 0, cat = 0;
};

TEST_F(Deletion, AnsweringNoChangesNothingAndTheButtonStaysPressedMeanwhile) {
    MakeAlphaBeta();
    const qint64 party = Folder().AddRoster(QStringLiteral("Party"));
    Folder().AddRosterEntry(party, bee);
    StartMainWindow();
    Pick(2, "Party");
    const QByteArray before = Folder().DatabaseBytes();

    for (int row = 0; row < 3; ++row) {
        const QImage pressed =
            frmImageStore::Instance().Cell(StoreGrid::clpIcons, 9 * row + 3 * LookPressed + 2).toImage();
        bool pressedWhileAsked = false;
        QString question;
        WhenModalShown([&](QWidget* dialog) {
            pressedWhileAsked = w()->imgDelete[size_t(row)]->picture().toImage() == pressed;
            if (auto* label = dialog->findChild<Label*>(QStringLiteral("Label1"))) question = label->caption();
            ClickChild(dialog, "imgNo");
        });
        Click(w()->imgDelete[size_t(row)]);
        EXPECT_TRUE(pressedWhileAsked) << row;
        EXPECT_EQ(question, "Are you sure?") << row;
    }
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "Party");
    EXPECT_EQ(Lines(), Padded({"Bee"}));
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingACreatureShowsTheFirstOfTheListNotANeighbour) {
    MakeAlphaBeta();
    StartMainWindow();
    Pick(0, "Cow");
    Click(w()->imgPage2);

    Delete(0, true);
    EXPECT_FALSE(CreatureExists(cow));
    EXPECT_EQ(w()->lstCreature->ListCount(), 2);
    EXPECT_EQ(w()->lstCreature->ListIndex(), 0);
    EXPECT_EQ(SelectedID(w()->lstCreature), ant);
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_TRUE(w()->txtStatText[0]->isVisible()) << "statistics page 0";
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingTheOnlyCreatureLeavesAnEmptySheet) {
    MakeAlphaBeta();
    Folder().Exec(QStringLiteral("UPDATE Creatures SET Field0 = 'tough' WHERE IDCreature = ?1"), {cat});
    StartMainWindow();
    Pick(1, "Beta");
    ASSERT_EQ(w()->txtStatText[0]->text(), "tough");

    Delete(0, true);
    EXPECT_FALSE(CreatureExists(cat));
    EXPECT_EQ(w()->lstCreature->ListCount(), 0);
    EXPECT_EQ(w()->lblName->caption(), "");
    EXPECT_EQ(w()->txtStatText[0]->text(), "");
    EXPECT_EQ(w()->lblCategory->caption(), "Beta");
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingACategoryShowsTheFirstRemainingOne) {
    MakeAlphaBeta();
    const qint64 party = Folder().AddRoster(QStringLiteral("Party"));
    Folder().AddRosterEntry(party, bee);
    StartMainWindow();
    Pick(2, "Party");

    Delete(1, true);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Creatures WHERE IDCategory = ?1"), {alpha}), 0);
    EXPECT_EQ(w()->lstCategory->ListCount(), 1);
    EXPECT_EQ(SelectedID(w()->lstCategory), beta);
    EXPECT_EQ(w()->lblCategory->caption(), "Beta");
    EXPECT_EQ(w()->lblName->caption(), "Cat");
    // Bee's roster entry went with it, from the file and from the open roster.
    EXPECT_EQ(Lines(), Padded({}));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM RosterList")), 0);
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingTheLastCategoryLeavesTheCreatureListAndRefusesNewCreatures) {
    ProgramFolder& f = Folder();
    alpha = f.AddCategory(QStringLiteral("Alpha"));
    ant = f.AddCreature(alpha, QStringLiteral("Ant"));
    bee = f.AddCreature(alpha, QStringLiteral("Bee"));
    StartMainWindow();

    Delete(1, true);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Categories")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Creatures")), 0);
    EXPECT_EQ(w()->lstCategory->ListCount(), 0);
    EXPECT_EQ(w()->lblCategory->caption(), "");
    EXPECT_EQ(w()->lstCreature->ListCount(), 2);
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    WithoutQuestion([&] { Click(w()->imgNew[0]); });
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Creatures")), 0);

    // A creature deletion with no category to list: nothing fails, and the
    // list of creatures that no longer exist is emptied with the sheet.
    Delete(0, true);
    EXPECT_EQ(w()->lstCreature->ListCount(), 0);
    EXPECT_EQ(w()->lblName->caption(), "");
    ExpectNoMessages();
}

TEST_F(Deletion, UnderTheLockACategoryDeletionLeavesNoCreatureSelected) {
    MakeAlphaBeta();
    StartMainWindow();
    Click(w()->imgLock);

    Delete(1, true);
    EXPECT_EQ(w()->lblCategory->caption(), "Beta");
    EXPECT_EQ(w()->lstCreature->ListCount(), 1);
    EXPECT_EQ(w()->lstCreature->ListIndex(), -1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Creatures WHERE IDCategory = ?1"), {beta}), 1);
    // A list with items but none selected: nothing to delete, nothing asked.
    WithoutQuestion([&] { Click(w()->imgDelete[0]); });
    EXPECT_TRUE(CreatureExists(cat));
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingTheOpenRosterOpensTheFirstRemainingOne) {
    MakeAlphaBeta();
    const qint64 first = Folder().AddRoster(QStringLiteral("First"));
    Folder().AddRosterEntry(first, ant);
    const qint64 second = Folder().AddRoster(QStringLiteral("Second"));
    Folder().AddRosterEntry(second, bee);
    Folder().AddRosterEntry(second, cat);
    StartMainWindow();

    // No roster open: nothing happens, even though rosters exist.
    WithoutQuestion([&] { Click(w()->imgDelete[2]); });
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Rosters")), 2);

    Pick(2, "Second");
    Delete(2, true);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Rosters WHERE IDRoster = ?1"), {second}), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM RosterList WHERE IDRoster = ?1"), {second}), 0);
    EXPECT_EQ(SelectedID(w()->lstRoster), first);
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "First");
    EXPECT_EQ(Lines(), Padded({"Ant"}));
    EXPECT_FALSE(w()->lstRoster->isVisible());
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingTheLastRosterClosesItButLeavesThePanel) {
    MakeAlphaBeta();
    const qint64 only = Folder().AddRoster(QStringLiteral("Only"));
    Folder().AddRosterEntry(only, ant);
    StartMainWindow();
    Pick(2, "Only");
    Click(w()->lblRosterEntry[0]);   // highlighted

    Delete(2, true);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Rosters")), 0);
    EXPECT_EQ(w()->lstRoster->ListCount(), 0);
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "");
    EXPECT_EQ(Lines(), Padded({"Ant"}));
    EXPECT_EQ(w()->lblRosterEntry[0]->foreColor(), kHighlightBlue);

    // With no roster open, Add changes nothing and stores nothing.
    Click(w()->imgAdd);
    EXPECT_EQ(Lines(), Padded({"Ant"}));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM RosterList")), 0);
    ExpectNoMessages();
}

TEST_F(Deletion, DeletingACreatureWhileARosterIsOpenRedrawsItFromTheRememberedOffset) {
    ProgramFolder& f = Folder();
    alpha = f.AddCategory(QStringLiteral("Beasts"));
    QList<qint64> ids;
    for (int i = 0; i < 20; ++i) ids << f.AddCreature(alpha, QStringLiteral("Beast %1").arg(i, 2, 10, QLatin1Char('0')));
    const qint64 herd = f.AddRoster(QStringLiteral("Herd"));
    for (qint64 id : ids) f.AddRosterEntry(herd, id);
    const qint64 twin = f.AddCreature(alpha, QStringLiteral("Twin"));
    const qint64 pair = f.AddRoster(QStringLiteral("Pair"));
    for (qint64 id : {ids[0], ids[1], twin, ids[2], ids[3], ids[4], ids[5], ids[6], ids[7], twin})
        f.AddRosterEntry(pair, id);
    StartMainWindow();
    Pick(2, "Herd");
    for (int i = 0; i < 12; ++i) Click(w()->imgRosterScroll[1]);
    ASSERT_EQ(w()->m_nRosterTop, 12);

    Pick(0, "Beast 15");
    Delete(0, true);
    ids.removeAt(15);
    EXPECT_EQ(f.RosterEntries(herd), ids);
    EXPECT_EQ(w()->m_nRosterCount, 19);
    EXPECT_EQ(w()->m_nRosterTop, 11);
    EXPECT_EQ(Lines(), (QStringList{"Beast 11", "Beast 12", "Beast 13", "Beast 14", "Beast 16", "Beast 17", "Beast 18",
                                    "Beast 19"}));
    EXPECT_EQ(w()->lblName->caption(), "Beast 00");
    ExpectNoMessages();

    // One step back, whatever the number of entries removed: ten entries, one
    // creature twice, shown from offset 2, leave eight shown from offset 1.
    Pick(2, "Pair");
    Click(w()->imgRosterScroll[1]);
    Click(w()->imgRosterScroll[1]);
    ASSERT_EQ(w()->m_nRosterTop, 2);
    Pick(0, "Twin");
    Delete(0, true);
    EXPECT_EQ(w()->m_nRosterCount, 8);
    EXPECT_EQ(w()->m_nRosterTop, 1);
    EXPECT_EQ(Lines(), Padded({"Beast 01", "Beast 02", "Beast 03", "Beast 04", "Beast 05", "Beast 06", "Beast 07"}));
    EXPECT_TRUE(w()->imgRosterScroll[0]->isVisible());
    EXPECT_FALSE(w()->imgRosterScroll[1]->isVisible());
    ExpectNoMessages();
}

TEST_F(Deletion, NoDeletedCreatureComesBackThroughAPartlyReadRoster) {
    MakeAlphaBeta();
    // Party: Ant, then a Null that stops its load, then Cat (of Beta), a real
    // that a load takes for Bee, and Cow.
    const qint64 party = Folder().AddRoster(QStringLiteral("Party"));
    const double beeReal = double(bee) + 0.25;
    Folder().AddRosterEntry(party, ant);
    Folder().Exec(QStringLiteral("INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, NULL, 0), "
                                 "(?1, ?2, 0), (?1, ?3, 0), (?1, ?4, 0)"),
                  {party, cat, beeReal, cow});
    const auto stored = [&] {
        QStringList l;
        for (const QVariantList& row : Folder().Query(
                 QStringLiteral("SELECT quote(IDCreature) FROM RosterList WHERE IDRoster = ?1 ORDER BY rowid"), {party}))
            l << row.value(0).toString();
        return l;
    };
    const auto n = [](qint64 id) { return QString::number(id); };
    StartMainWindow();
    Pick(2, "Party");
    ASSERT_EQ(Lines(), Padded({"Ant"}));
    ClearMsgBoxes();

    // Deleting Beta takes Cat's row from the file and from the rows the load
    // left unread, so Add does not store it again.
    Pick(1, "Beta");
    Delete(1, true);
    ASSERT_EQ(w()->lblName->caption(), "Ant");
    Click(w()->imgAdd);
    EXPECT_EQ(stored(), (QStringList{n(ant), n(ant), "NULL", QString::number(beeReal), n(cow)}));
    ExpectNoMessages();

    // Deleting Bee reloads the roster (its load stops at the Null again); the
    // real that names Bee is no longer kept, so Remove does not store it again.
    Pick(0, "Bee");
    Delete(0, true);
    EXPECT_EQ(MsgBoxTitles(), QStringList{"Error Loading Roster from Database"});
    Click(w()->lblRosterEntry[0]);
    Click(w()->imgRemove);
    EXPECT_EQ(stored(), (QStringList{n(ant), "NULL", n(cow)}));
}

}  // namespace
