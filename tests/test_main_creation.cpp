// Creating categories, creatures and rosters with the New buttons, and
// renaming the category and the creature by double-clicking their labels,
// answered through the real text prompt and checked in the window and the file.
#include <QApplication>
#include <QTimer>

#include "frame/button_store.h"
#include "support/main_window_fixture.h"

namespace {

QString Sixty() {
    QString s;
    for (int i = 0; s.size() < 60; ++i) s += QChar(u'a' + i % 26);
    return s;
}

class Creation : public MainWindowFixture {
protected:
    // Alpha: Ant, Bee   Beta: Cat
    void MakeAlphaBeta() {
        ProgramFolder& f = Folder();
        alpha = f.AddCategory(QStringLiteral("Alpha"));
        beta = f.AddCategory(QStringLiteral("Beta"));
        ant = f.AddCreature(alpha, QStringLiteral("Ant"));
        bee = f.AddCreature(alpha, QStringLiteral("Bee"));
        cat = f.AddCreature(beta, QStringLiteral("Cat"));
    }
    QString Name(const char* table, const char* key, qint64 id) {
        return Folder()
            .Scalar(QStringLiteral("SELECT Name FROM %1 WHERE %2 = ?1").arg(QLatin1String(table), QLatin1String(key)),
                    {id})
            .toString();
    }
    QStringList Names(const char* table) {
        QStringList l;
        for (const auto& row : Folder().Query(QStringLiteral("SELECT Name FROM %1 ORDER BY rowid").arg(QLatin1String(table))))
            l << row.value(0).toString();
        return l;
    }
    qint64 CategoryOf(qint64 creature) {
        return Folder()
            .Scalar(QStringLiteral("SELECT IDCategory FROM Creatures WHERE IDCreature = ?1"), {creature})
            .toLongLong();
    }
    static QString Selected(const ListBox* l) { return l->ListIndex() < 0 ? QString() : l->List(l->ListIndex()); }
    static qint64 SelectedID(const ListBox* l) { return l->ListIndex() < 0 ? -1 : l->ItemData(l->ListIndex()); }
    static int LastRowOf(const ListBox* l, const QString& text) {
        int last = -1;
        for (int i = 0; i < l->ListCount(); ++i)
            if (l->List(i) == text) last = i;
        return last;
    }

    // Clicks New of a row and answers the prompt (nullopt: Cancel); returns
    // the prompt and initial text the dialog showed.
    QStringList New(int row, std::optional<QString> answer) {
        QStringList shown;
        AnswerInputBox(answer, &shown);
        Click(w()->imgNew[size_t(row)]);
        return shown;
    }
    QStringList Rename(Label* label, std::optional<QString> answer) {
        QStringList shown;
        AnswerInputBox(answer, &shown);
        DoubleClick(label);
        return shown;
    }
    void PickCreature(const QString& name) { Pick(0, name); }
    static QImage IconLook(int index, int button, int look) {
        return frmImageStore::Instance().Cell(StoreGrid::clpIcons, 9 * index + 3 * look + button).toImage();
    }
    void ExpectNoMessages() { EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString(); }

    qint64 alpha = 0, beta = 0, ant = 0, bee = 0, cat = 0;
};

TEST_F(Creation, NewRecordsAreStoredSelectedAndShown) {
    MakeAlphaBeta();
    const qint64 roster = Folder().AddRoster(QStringLiteral("Party"));
    Folder().AddRosterEntry(roster, ant);
    StartMainWindow();

    EXPECT_EQ(New(0, QStringLiteral("Dragon")), (QStringList{"Enter name of new creature:", ""}));
    const qint64 dragon = SelectedID(w()->lstCreature);
    EXPECT_EQ(Name("Creatures", "IDCreature", dragon), "Dragon");
    EXPECT_EQ(CategoryOf(dragon), alpha);
    EXPECT_EQ(w()->lblName->caption(), "Dragon");

    EXPECT_EQ(New(1, QStringLiteral("Gamma")), (QStringList{"Enter name of new category:", ""}));
    EXPECT_EQ(Selected(w()->lstCategory), "Gamma");
    EXPECT_EQ(w()->lblCategory->caption(), "Gamma");
    EXPECT_EQ(w()->lstCreature->ListCount(), 0);
    EXPECT_EQ(w()->lblName->caption(), "");

    // A new roster is opened, empty, in place of the one that was open.
    Click(w()->imgList[2]);
    ClickListItem(w()->lstRoster, 0);
    ASSERT_EQ(w()->lblRosterEntry[0]->caption(), "Ant");
    EXPECT_EQ(New(2, QStringLiteral("Hunt")), (QStringList{"Enter name of new roster:", ""}));
    EXPECT_EQ(Selected(w()->lstRoster), "Hunt");
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "Hunt");
    EXPECT_EQ(w()->lblRosterEntry[0]->caption(), "");
    EXPECT_EQ(w()->m_nRosterCount, 0);
    EXPECT_EQ(Names("Rosters"), (QStringList{"Party", "Hunt"}));
    ExpectNoMessages();
}

TEST_F(Creation, CancelOrAnEmptyAnswerChangesNothing) {
    MakeAlphaBeta();
    StartMainWindow();
    const QByteArray before = Folder().DatabaseBytes();
    for (int row = 0; row < 3; ++row) {
        New(row, std::nullopt);
        New(row, QString());
        // The looks were reset before the prompt opened.
        EXPECT_EQ(w()->imgNew[size_t(row)]->picture().toImage(), IconLook(row, 1, LookNormal)) << row;
    }
    Rename(w()->lblCategory, std::nullopt);
    Rename(w()->lblName, QString());
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    ExpectNoMessages();
}

TEST_F(Creation, CreatureNeedsAChosenCategory) {
    StartMainWindow();   // no category at all
    WithoutQuestion([&] { Click(w()->imgNew[0]); });
    EXPECT_EQ(Folder().Scalar(QStringLiteral("SELECT COUNT(*) FROM Creatures")).toInt(), 0);
    // Nothing at all happened: the button keeps the look pressing gave it.
    EXPECT_EQ(w()->imgNew[0]->picture().toImage(), IconLook(0, 1, LookPressed));
    // Renames need their label and a chosen category as well.
    WithoutQuestion([&] {
        DoubleClick(w()->lblCategory);
        DoubleClick(w()->lblName);
    });
}

TEST_F(Creation, CreationStoresTheNameAsTypedWhileRenamesRefuseIt) {
    MakeAlphaBeta();
    StartMainWindow();
    const QString quoted = QStringLiteral("Bob's \"Den\" {x}");
    New(1, quoted);
    EXPECT_EQ(Selected(w()->lstCategory), quoted);
    EXPECT_EQ(Names("Categories").last(), quoted);

    New(0, QStringLiteral("  "));   // blanks only is a name
    EXPECT_EQ(w()->lblName->caption(), "  ");
    EXPECT_EQ(Names("Creatures").last(), "  ");

    New(0, Sixty());
    EXPECT_EQ(w()->lblName->caption(), Sixty());
    EXPECT_EQ(Names("Creatures").last(), Sixty());

    const QByteArray before = Folder().DatabaseBytes();
    Rename(w()->lblCategory, QStringLiteral("Den's"));
    Rename(w()->lblCategory, QStringLiteral("Say \"hi\""));
    Rename(w()->lblName, QStringLiteral("curly{"));
    Rename(w()->lblName, QStringLiteral("it's"));
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(w()->lblName->caption(), Sixty());
    ExpectNoMessages();
}

TEST_F(Creation, CreatureRenameChecksTheWholeAnswerThenKeeps48) {
    MakeAlphaBeta();
    StartMainWindow();
    EXPECT_EQ(Rename(w()->lblName, Sixty()), (QStringList{"Enter new name:", "Ant"}));
    EXPECT_EQ(Name("Creatures", "IDCreature", ant), Sixty().left(48));
    EXPECT_EQ(w()->lblName->caption(), Sixty().left(48));
    EXPECT_EQ(SelectedID(w()->lstCreature), ant);

    // A refused character past the cut still refuses the answer.
    Rename(w()->lblName, QStringLiteral("Z") + Sixty().left(49) + QStringLiteral("'"));
    EXPECT_EQ(Name("Creatures", "IDCreature", ant), Sixty().left(48));

    // A category keeps all sixty.
    EXPECT_EQ(Rename(w()->lblCategory, Sixty()), (QStringList{"Enter new name:", "Alpha"}));
    EXPECT_EQ(Name("Categories", "IDCategory", alpha), Sixty());
    EXPECT_EQ(w()->lblCategory->caption(), Sixty());
    ExpectNoMessages();
}

TEST_F(Creation, EqualNamesAreSelectedInTurnAndTheLastStays) {
    MakeAlphaBeta();
    const qint64 party = Folder().AddRoster(QStringLiteral("Party"));
    Folder().AddRosterEntry(party, ant);
    StartMainWindow();

    New(1, QStringLiteral("Alpha"));
    EXPECT_EQ(Names("Categories"), (QStringList{"Alpha", "Beta", "Alpha"}));
    EXPECT_EQ(w()->lstCategory->ListIndex(), LastRowOf(w()->lstCategory, "Alpha"));
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");

    New(2, QStringLiteral("Party"));
    ASSERT_EQ(w()->lstRoster->ListCount(), 2);
    EXPECT_EQ(w()->lstRoster->ListIndex(), 1);
    EXPECT_NE(SelectedID(w()->lstRoster), party);
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "Party");
    EXPECT_EQ(w()->m_nRosterCount, 0);

    // A creature renamed to another's name: the last equal item stays selected.
    Click(w()->imgList[1]);
    ClickListItem(w()->lstCategory, RowOf(w()->lstCategory, "Beta"));
    Folder().AddCreature(beta, QStringLiteral("Dog"));
    New(0, QStringLiteral("Eel"));
    ASSERT_EQ(w()->lblName->caption(), "Eel");
    Rename(w()->lblName, QStringLiteral("Cat"));
    EXPECT_EQ(w()->lstCreature->ListIndex(), LastRowOf(w()->lstCreature, "Cat"));
    EXPECT_EQ(w()->lblName->caption(), "Cat");
    ExpectNoMessages();
}

TEST_F(Creation, CategoryRenameSortingElsewhereKeepsTheCreatureShownOnPageZero) {
    MakeAlphaBeta();
    const qint64 party = Folder().AddRoster(QStringLiteral("Party"));
    Folder().AddRosterEntry(party, bee);
    StartMainWindow();
    Click(w()->imgList[2]);
    ClickListItem(w()->lstRoster, 0);
    PickCreature("Bee");
    Click(w()->imgPage2);
    ASSERT_FALSE(w()->txtStatText[0]->isVisible());

    Rename(w()->lblCategory, QStringLiteral("Zeta"));
    EXPECT_EQ(Name("Categories", "IDCategory", alpha), "Zeta");
    EXPECT_EQ(w()->lstCategory->ListIndex(), 1);
    EXPECT_EQ(SelectedID(w()->lstCategory), alpha);
    EXPECT_EQ(w()->lblCategory->caption(), "Zeta");
    EXPECT_EQ(SelectedID(w()->lstCreature), bee);
    EXPECT_EQ(w()->lblName->caption(), "Bee");
    EXPECT_TRUE(w()->txtStatText[0]->isVisible()) << "statistics page 0";

    // Renaming the creature leaves its roster entry under the old name.
    Rename(w()->lblName, QStringLiteral("Bumblebee"));
    EXPECT_EQ(w()->lblName->caption(), "Bumblebee");
    EXPECT_EQ(w()->lblRosterEntry[0]->caption(), "Bee");
    ExpectNoMessages();
}

TEST_F(Creation, ANewCategoryUnderTheLockTakesTheShownCreature) {
    MakeAlphaBeta();
    StartMainWindow();
    PickCreature("Bee");
    Click(w()->imgLock);
    ASSERT_TRUE(w()->m_bLocked);

    New(1, QStringLiteral("Gamma"));
    const qint64 gamma = SelectedID(w()->lstCategory);
    EXPECT_EQ(w()->lblCategory->caption(), "Gamma");
    EXPECT_EQ(CategoryOf(bee), gamma);
    EXPECT_EQ(SelectedID(w()->lstCreature), bee);
    EXPECT_EQ(w()->lblName->caption(), "Bee");
    EXPECT_EQ(CategoryOf(ant), alpha);
    ExpectNoMessages();
}

}  // namespace
