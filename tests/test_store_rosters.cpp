// Roster entries: load and save, and the refresh of the open roster after a
// creature deletion. The panel that shows them is the main window's, tested
// with the window.
#include <gtest/gtest.h>

#include "support/msgbox_recorder.h"
#include "support/program_folder.h"
#include "support/store_controls.h"

namespace {

class RosterTest : public ::testing::Test {
protected:
    void SetUp() override {
        MsgBoxRecorder::clear();
        cat = f.AddCategory(QStringLiteral("c"));
        rosterId = f.AddRoster(QStringLiteral("R"));
        f.AddRoster(QStringLiteral("Other"));
        LoadRosters(c.ctx, c.lstRoster);
        StoreControls::SelectById(c.lstRoster, qint32(rosterId));
        c.lblRosterCurrent->setCaption(QStringLiteral("R"));
    }
    // n creatures named "Name00".."Name<n-1>", each once in the roster.
    QList<qint64> FillRoster(int n) {
        QList<qint64> ids;
        for (int i = 0; i < n; ++i) {
            ids << f.AddCreature(cat, QStringLiteral("Name%1").arg(i, 2, 10, QLatin1Char('0')));
            f.AddRosterEntry(rosterId, ids.last());
        }
        return ids;
    }
    void Open() {
        LoadRoster(c.ctx, qint32(rosterId), roster, panel);
        c.m_nRosterTop = 0;
    }
    QStringList Titles() const { return MsgBoxRecorder::titles(); }

    ProgramFolder f;
    StoreControls c{f.dir()};
    OpenRoster roster = c.roster();
    RosterPanel panel = c.panel();
    qint64 cat = 0;
    qint64 rosterId = 0;
};

}  // namespace

TEST_F(RosterTest, LoadKeepsStoredOrderDuplicatesAndSkipsMissingCreatures) {
    Open();
    EXPECT_EQ(c.m_nRosterCount, 0);
    const qint64 a = f.AddCreature(cat, QStringLiteral("Zeta"));
    const qint64 b = f.AddCreature(cat, QStringLiteral("Alpha"));
    const qint64 gone = f.AddCreature(cat, QStringLiteral("Gone"));
    for (qint64 id : {a, gone, b, a}) f.AddRosterEntry(rosterId, id);
    f.Exec(QStringLiteral("DELETE FROM Creatures WHERE IDCreature = ?1"), {gone});
    Open();
    EXPECT_EQ(c.m_nRosterCount, 3);
    EXPECT_EQ(c.m_asRosterName, (QStringList{"Zeta", "Alpha", "Zeta"}));
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{qint32(a), qint32(b), qint32(a)}));

    // The next save rewrites the roster without the missing creature, in memory's order.
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(f.RosterEntries(rosterId), (QList<qint64>{a, b, a}));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT group_concat(quote(Probability)) FROM RosterList")).toString(),
              QStringLiteral("0,0,0"));
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(RosterTest, SaveReplacesTheSelectedRostersRowsOnly) {
    const QList<qint64> ids = FillRoster(5);
    const qint64 other = c.lstRoster->ItemData(1);
    f.AddRosterEntry(other, ids[0]);
    c.m_asRosterName = QStringList{"c", "a", "b"};
    c.m_alRosterCreatureID = QList<qint32>{qint32(ids[2]), qint32(ids[0]), qint32(ids[1])};
    c.m_nRosterCount = 3;
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(f.RosterEntries(rosterId), (QList<qint64>{ids[2], ids[0], ids[1]}));
    EXPECT_EQ(f.RosterEntries(other), QList<qint64>{ids[0]});
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM RosterList WHERE IDRoster = ?1 AND Probability = 0"), {rosterId})
                  .toInt(), 3);

    // An empty roster is stored without rows.
    c.m_asRosterName.clear();
    c.m_alRosterCreatureID.clear();
    c.m_nRosterCount = 0;
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_TRUE(f.RosterEntries(rosterId).isEmpty());

    // No roster selected: the save fails before anything is deleted.
    f.AddRosterEntry(rosterId, ids[4]);
    c.lstRoster->setListIndex(-1);
    const QByteArray before = f.DatabaseBytes();
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(Titles(), QStringList{"Error Saving Roster to Database"});
    EXPECT_EQ(f.DatabaseBytes(), before);
}

TEST_F(RosterTest, AFailedRewriteLeavesTheStoredRosterAsItWas) {
    const QList<qint64> ids = FillRoster(4);
    Open();
    f.Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON RosterList WHEN NEW.IDCreature = %1 "
                          "BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(ids[2]));
    const QByteArray before = f.DatabaseBytes();
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(Titles(), QStringList{"Error Saving Roster to Database"});
    EXPECT_EQ(f.DatabaseBytes(), before);
}

TEST_F(RosterTest, APartlyFailedLoadNeverMakesALaterSaveDropUnreadEntries) {
    const QList<qint64> ids = FillRoster(5);
    f.Exec(QStringLiteral("UPDATE Creatures SET Name = NULL WHERE IDCreature = ?1"), {ids[2]});
    Open();
    EXPECT_EQ(Titles(), QStringList{"Error Loading Roster from Database"});
    // The entries before the failure stay; the half-read one is not kept.
    EXPECT_EQ(c.m_nRosterCount, 2);
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{qint32(ids[0]), qint32(ids[1])}));
    EXPECT_EQ(c.m_asRosterName, (QStringList{"Name00", "Name01"}));

    // A change saves the open entries and keeps the stored ones that were not read.
    c.m_asRosterName.removeAt(0);
    c.m_alRosterCreatureID.removeAt(0);
    c.m_nRosterCount = 1;
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(f.RosterEntries(rosterId), (QList<qint64>{ids[1], ids[2], ids[3], ids[4]}));
}

TEST_F(RosterTest, UnreadRowsGoBackWithTheirOwnTypeAndBytes) {
    QList<qint64> ids = FillRoster(2);
    // Rows made by hand after a Null that stops the load: text, a number
    // beyond 32 bits, a real, Latin-1 text, text led by a byte-order mark, two
    // BLOBs; then an entry of a creature that exists.
    const double real = 0.1 + 0.2;
    f.Exec(QStringLiteral("INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, NULL, 0), "
                          "(?1, 'not a number', 0), (?1, 4294967296, 0), (?1, ?2, 0), (?1, CAST(X'E9' AS TEXT), 0), "
                          "(?1, CAST(X'EFBBBF41' AS TEXT), 0), (?1, X'0102', 0), (?1, X'', 0)"),
           {rosterId, real});
    ids << f.AddCreature(cat, QStringLiteral("Name02"));
    f.AddRosterEntry(rosterId, ids[2]);
    // Each row's type and bytes, "type hex" in stored order.
    const auto rows = [&] {
        QStringList l;
        for (const QVariantList& row : f.Query(QStringLiteral("SELECT typeof(IDCreature), hex(IDCreature) FROM "
                                                              "RosterList WHERE IDRoster = ?1 ORDER BY rowid"),
                                               {rosterId}))
            l << row.value(0).toString() + QLatin1Char(' ') + row.value(1).toString();
        return l;
    };
    const auto text = [](const QStringList& l) { return l.join(QStringLiteral(", ")).toStdString(); };
    const QStringList before = rows();
    ASSERT_EQ(before.size(), 11);
    ASSERT_EQ(text(before.mid(6, 4)), "text E9, text EFBBBF41, blob 0102, blob ");

    Open();
    EXPECT_EQ(Titles(), QStringList{"Error Loading Roster from Database"});
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{qint32(ids[0]), qint32(ids[1])}));
    MsgBoxRecorder::clear();
    c.m_asRosterName.removeAt(0);
    c.m_alRosterCreatureID.removeAt(0);
    c.m_nRosterCount = 1;
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_TRUE(Titles().isEmpty()) << Titles().join(QLatin1Char('|')).toStdString();
    // Every unread row is stored again in its order, type and bytes; the real to its last bit.
    EXPECT_EQ(text(rows()), text(before.mid(1)));
    EXPECT_EQ(f.Scalar(QStringLiteral("SELECT count(*) FROM RosterList WHERE IDCreature = ?1 AND typeof(IDCreature) = "
                                      "'real'"),
                       {real})
                  .toInt(),
              1);
}

TEST_F(RosterTest, ARosterWhoseRowsCouldNotBeListedIsNotRewrittenUntilOpenedAgain) {
    const QList<qint64> ids = FillRoster(3);
    // Without the Creatures table the load cannot take a single entry.
    f.Exec(QStringLiteral("ALTER TABLE Creatures RENAME TO Hidden"));
    Open();
    EXPECT_EQ(Titles(), QStringList{"Error Loading Roster from Database"});
    EXPECT_EQ(c.m_nRosterCount, 0);
    MsgBoxRecorder::clear();

    // A change of the open roster is not stored: it would drop every stored entry.
    c.m_asRosterName = QStringList{"Name00"};
    c.m_alRosterCreatureID = QList<qint32>{qint32(ids[0])};
    c.m_nRosterCount = 1;
    const QByteArray before = f.DatabaseBytes();
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(Titles(), QStringList{"Error Saving Roster to Database"});
    EXPECT_EQ(f.DatabaseBytes(), before);

    // Opened again and read whole, the roster is stored as usual.
    f.Exec(QStringLiteral("ALTER TABLE Hidden RENAME TO Creatures"));
    MsgBoxRecorder::clear();
    Open();
    ASSERT_EQ(c.m_nRosterCount, 3);
    c.m_asRosterName.removeAt(0);
    c.m_alRosterCreatureID.removeAt(0);
    c.m_nRosterCount = 2;
    SaveRoster(c.ctx, roster, c.lstRoster);
    EXPECT_EQ(f.RosterEntries(rosterId), (QList<qint64>{ids[1], ids[2]}));
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(RosterTest, DeletingACreatureRefreshesTheOpenRosterOneStepBack) {
    const QList<qint64> ids = FillRoster(20);
    Open();
    c.m_nRosterTop = 12;
    DeleteCreature(c.ctx, qint32(ids[3]), roster, panel);
    EXPECT_EQ(c.m_nRosterCount, 19);
    EXPECT_EQ(c.m_nRosterTop, 11);
    EXPECT_EQ(c.m_asRosterName[c.m_nRosterTop], QStringLiteral("Name12"));
    EXPECT_EQ(c.m_asRosterName.last(), QStringLiteral("Name19"));

    // Not in the roster, at least 8 left from the offset: the offset stays.
    const qint64 outsider = f.AddCreature(cat, QStringLiteral("Outsider"));
    c.m_nRosterTop = 5;
    DeleteCreature(c.ctx, qint32(outsider), roster, panel);
    EXPECT_EQ(c.m_nRosterTop, 5);
    EXPECT_EQ(c.m_nRosterCount, 19);

    // At offset 0 the offset stays 0.
    c.m_nRosterTop = 0;
    DeleteCreature(c.ctx, qint32(ids[0]), roster, panel);
    EXPECT_EQ(c.m_nRosterTop, 0);
    EXPECT_EQ(c.m_nRosterCount, 18);

    // A creature standing in the roster many times: still one step back.
    for (int k = 0; k < 6; ++k) f.AddRosterEntry(rosterId, ids[19]);
    Open();
    ASSERT_EQ(c.m_nRosterCount, 24);
    c.m_nRosterTop = 16;
    DeleteCreature(c.ctx, qint32(ids[19]), roster, panel);
    EXPECT_EQ(c.m_nRosterCount, 17);
    EXPECT_EQ(c.m_nRosterTop, 15);

    // Only an offset past the last entry is brought back, to the last eight.
    for (int k = 0; k < 10; ++k) f.AddRosterEntry(rosterId, ids[18]);
    Open();
    ASSERT_EQ(c.m_nRosterCount, 27);
    c.m_nRosterTop = 20;
    DeleteCreature(c.ctx, qint32(ids[18]), roster, panel);
    EXPECT_EQ(c.m_nRosterCount, 16);
    EXPECT_EQ(c.m_nRosterTop, 8);
    EXPECT_TRUE(Titles().isEmpty());
}

TEST_F(RosterTest, DeletingACreatureWithoutAnOpenRosterLeavesThePanelAlone) {
    const QList<qint64> ids = FillRoster(3);
    Open();
    c.lblRosterCurrent->setCaption(QString());
    const int redraws = c.m_nRosterRedraws;
    DeleteCreature(c.ctx, qint32(ids[0]), roster, panel);
    EXPECT_EQ(c.m_nRosterRedraws, redraws);
    EXPECT_EQ(c.m_nRosterCount, 3);

    // A roster open without a selected list item: its entries of the creature
    // leave memory, nothing is read or stored for it.
    c.lblRosterCurrent->setCaption(QStringLiteral("R"));
    c.lstRoster->setListIndex(-1);
    DeleteCreature(c.ctx, qint32(ids[1]), roster, panel);
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{qint32(ids[0]), qint32(ids[2])}));
    EXPECT_EQ(c.m_nRosterCount, 2);
    EXPECT_EQ(c.m_asRosterName, (QStringList{"Name00", "Name02"}));
    EXPECT_EQ(c.m_nRosterRedraws, redraws + 1);
    EXPECT_TRUE(Titles().isEmpty());
}

// How a RosterList made by hand declares IDCreature, and whether it indexes it.
struct RosterColumn {
    const char* type;
    bool indexed;
};

void PrintTo(const RosterColumn& column, std::ostream* os) {
    *os << (*column.type ? column.type : "no type") << (column.indexed ? ", indexed" : ", not indexed");
}

class RosterDeletionTest : public RosterTest, public ::testing::WithParamInterface<RosterColumn> {};

TEST_P(RosterDeletionTest, DeletingCreaturesTakesEveryRowALoadWouldTakeForThemFromEveryRoster) {
    // Without a declared type IDCreature keeps reals, text and BLOBs as they
    // were written; INTEGER and REAL keep only what is no number as text, and
    // TEXT stores every number as text.
    f.Exec(QStringLiteral("DROP TABLE RosterList"));
    f.Exec(QStringLiteral("CREATE TABLE RosterList (IDRoster INTEGER, IDCreature %1, Probability INTEGER)")
               .arg(QLatin1String(GetParam().type)));
    if (GetParam().indexed) f.Exec(QStringLiteral("CREATE INDEX RosterListByCreature ON RosterList (IDCreature)"));
    const qint64 x = f.AddCreature(cat, QStringLiteral("X")), y = f.AddCreature(cat, QStringLiteral("Y"));
    const qint64 other = f.AddCategory(QStringLiteral("d"));
    const qint64 z = f.AddCreature(other, QStringLiteral("Z"));
    ASSERT_EQ((QList<qint64>{x, y, z}), (QList<qint64>{1, 2, 3}));
    // Creatures of hand-made files with keys at the ends of 32 bits and beyond.
    const qint64 keyMax = 2147483647, keyMin = -2147483648LL, keyBeyond = 1099511627776LL;
    for (const qint64 key : {qint64(-5), keyMax, keyMin, keyBeyond})
        f.Exec(QStringLiteral("INSERT INTO Creatures (IDCreature, IDCategory, Name) VALUES (?1, ?2, 'E')"),
               {key, other});
    // Each IDCreature as written and the creature a load takes it for (0:
    // none); a key beyond 32 bits, which no load reads, takes the rows that
    // hold it.
    struct Row {
        const char* value;
        qint64 names;
    };
    const QList<Row> taken = {{"1.25", 1}, {"' 1 '", 1}, {"1", 1}, {"X'31'", 1},  {"1.75", 2},
                              {"2", 2},    {"2.5", 2},   {"'3.0'", 3}, {"3", 3}, {"3.5", 4}};
    // Rows that stop a load, kept out of the open roster.
    const QList<Row> untaken = {{"NULL", 0}, {"'abc'", 0}};
    // Numbers near the ends of each creature's range, in a roster never opened.
    const QList<Row> edges = {{"0.5000000001", 1},  {"0.5", 0},           {"0.000000001", 0},   {"1.9999999", 2},
                              {"1.5", 2},           {"-5", -5},           {"-5.4999", -5},      {"'-5.0'", -5},
                              {"-4.5", 0},          {"-5.5", 0},          {"-4.0000001", 0},    {"-5.9999999", 0},
                              {"2147483647", keyMax}, {"2147483647.4", keyMax}, {"2147483646.6", keyMax},
                              {"2147483647.5", 0},  {"2147483648", 0},    {"-2147483648", keyMin},
                              {"-2147483648.5", keyMin}, {"-2147483647.5", keyMin}, {"-2147483648.6", 0},
                              {"-2147483649", 0},   {"1099511627776", keyBeyond}, {"1099511627776.5", 0},
                              {"1e300", 0},         {"-1e300", 0},        {"9223372036854775807", 0}, {"X''", 0}};
    const qint64 third = f.AddRoster(QStringLiteral("Third"));
    const qint64 second = c.lstRoster->ItemData(1);
    QList<std::pair<qint64, Row>> all;
    for (const Row& r : taken) all.append({rosterId, r});
    all.append({second, untaken[0]});
    for (const Row& r : taken) all.append({second, r});
    all.append({second, untaken[1]});
    for (const Row& r : taken + edges) all.append({third, r});
    for (const auto& [id, r] : all)
        f.Exec(QStringLiteral("INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, %1, 0)")
                   .arg(QLatin1String(r.value)),
               {id});
    // Each row as "roster type value", in stored order.
    const auto rows = [&] {
        QStringList l;
        for (const QVariantList& row : f.Query(QStringLiteral("SELECT IDRoster, typeof(IDCreature), quote(IDCreature) "
                                                              "FROM RosterList ORDER BY rowid")))
            l << row.value(0).toString() + QLatin1Char(' ') + row.value(1).toString() + QLatin1Char(' ') +
                     row.value(2).toString();
        return l;
    };
    const QStringList written = rows();
    ASSERT_EQ(written.size(), all.size());
    const auto stored = [&] { return rows().join(QStringLiteral(", ")).toStdString(); };
    const auto without = [&](const QSet<qint64>& gone) {
        QStringList l;
        for (qsizetype i = 0; i < all.size(); ++i)
            if (!gone.contains(all[i].second.names)) l << written[i];
        return l.join(QStringLiteral(", ")).toStdString();
    };
    Open();
    ASSERT_EQ(c.m_alRosterCreatureID, (QList<qint32>{1, 1, 1, 1, 2, 2, 2, 3, 3}));

    DeleteCreature(c.ctx, qint32(x), roster, panel);
    EXPECT_EQ(stored(), without({1}));
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{2, 2, 2, 3, 3}));

    // A category's creatures go by the same rule; halves go to the even
    // neighbour, so 2.5 stays with Y.
    DeleteCategory(c.ctx, qint32(other), roster, panel);
    EXPECT_EQ(stored(), without({1, 3, -5, keyMax, keyMin, keyBeyond}));
    EXPECT_EQ(c.m_alRosterCreatureID, (QList<qint32>{2, 2, 2}));
    EXPECT_TRUE(Titles().isEmpty()) << Titles().join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryDeclaration, RosterDeletionTest,
                         ::testing::Values(RosterColumn{"", true}, RosterColumn{"", false},
                                           RosterColumn{"INTEGER", true}, RosterColumn{"INTEGER", false},
                                           RosterColumn{"TEXT", true}, RosterColumn{"TEXT", false},
                                           RosterColumn{"REAL", true}),
                         [](const ::testing::TestParamInfo<RosterColumn>& info) {
                             return std::string(*info.param.type ? info.param.type : "NoType") +
                                    (info.param.indexed ? "Indexed" : "Unindexed");
                         });
