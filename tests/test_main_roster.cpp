// The roster panel driven through the real window: opening rosters from the
// roster list, the scroll arrows, the line highlight, Add, Remove, Clear and
// the double-click on a line, each checked on the panel and in the database.
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "frame/button_store.h"
#include "frame/geometry.h"
#include "support/main_window_fixture.h"
#include "support/msgbox_recorder.h"

namespace {

QString Beast(int i) { return QStringLiteral("Beast %1").arg(i, 2, 10, QLatin1Char('0')); }

class RosterPanel : public MainWindowFixture {
protected:
    // ---- the database before the start
    qint64 Category(const char* name) { return Folder().AddCategory(QString::fromUtf8(name)); }
    qint64 Creature(qint64 cat, const QString& name) { return Folder().AddCreature(cat, name); }
    qint64 Roster(const char* name, const QList<qint64>& creatures) {
        const qint64 id = Folder().AddRoster(QString::fromUtf8(name));
        for (qint64 c : creatures) Folder().AddRosterEntry(id, c);
        return id;
    }
    // A category "Beasts" of n creatures "Beast 00".. and a roster "Herd" of all of them in order.
    QList<qint64> MakeHerd(int n) {
        const qint64 cat = Category("Beasts");
        QList<qint64> ids;
        for (int i = 0; i < n; ++i) ids << Creature(cat, Beast(i));
        herd = Roster("Herd", ids);
        return ids;
    }
    QList<qint64> Stored(qint64 roster) { return Folder().RosterEntries(roster); }

    // ---- the user's hand
    void OpenRoster(const char* name) { Pick(2, QString::fromUtf8(name)); }
    void PickCategory(const char* name) { Pick(1, QString::fromUtf8(name)); }
    void PickCreature(const QString& name) { Pick(0, name); }
    void ScrollDown() {
        ASSERT_TRUE(w()->imgRosterScroll[1]->isVisible()) << "the down arrow is hidden";
        Click(w()->imgRosterScroll[1]);
    }
    void ScrollUp() {
        ASSERT_TRUE(w()->imgRosterScroll[0]->isVisible()) << "the up arrow is hidden";
        Click(w()->imgRosterScroll[0]);
    }
    void ClickLine(int i) { Click(w()->lblRosterEntry[size_t(i)]); }

    // ---- what the panel shows
    QStringList Lines() const {
        QStringList l;
        for (Label* line : w()->lblRosterEntry) l << line->caption();
        return l;
    }
    QList<int> HighlightedLines() const {
        QList<int> l;
        for (int i = 0; i < 8; ++i)
            if (w()->lblRosterEntry[size_t(i)]->foreColor() == kHighlightBlue) l << i;
        return l;
    }
    bool UpShown() const { return w()->imgRosterScroll[0]->isVisible(); }
    bool DownShown() const { return w()->imgRosterScroll[1]->isVisible(); }
    // The names shown from entry `from`, padded to eight lines.
    static QStringList Expected(const QStringList& names) {
        QStringList l = names;
        while (l.size() < 8) l << QString();
        return l;
    }
    static QStringList Beasts(std::initializer_list<int> numbers) {
        QStringList l;
        for (int i : numbers) l << Beast(i);
        return l;
    }
    static QStringList BeastRange(int first, int last) {
        QStringList l;
        for (int i = first; i <= last; ++i) l << Beast(i);
        return l;
    }
    // Width in twips of a text in the roster lines' font, as a line lays it out.
    float WidthTwips(const QString& text) const {
        return float(QFontMetricsF(w()->lblSizing->font()).horizontalAdvance(text)) * float(glTwipsPerPixelX);
    }
    // A text exactly as wide as a line (3000 twips), found by search: a run of
    // a wide character, then a narrow one up to the line, then two more; ""
    // when the font has none.
    QString ExactLineWidthText() const {
        const QString chars = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.,:;'|!-");
        for (const QChar wide : QStringLiteral("MWmwOQ")) {
            QString base;
            while (WidthTwips(base + wide) <= 2700.0f) base += wide;
            for (const QChar narrow : chars) {
                QString s = base + narrow;
                while (WidthTwips(s + narrow) <= 3000.0f) s += narrow;
                for (const QChar b : chars)
                    for (const QChar c : chars)
                        if (WidthTwips(s + b + c) == 3000.0f) return s + b + c;
            }
        }
        return QString();
    }
    // True when a roster line, drawn, shows the last word of its caption on
    // its one visible line: its ink reaches past the middle of that word.
    static bool LastWordShown(Label* line) {
        const QString caption = line->caption();
        const QFontMetricsF metrics(line->font());
        const double wordStart = metrics.horizontalAdvance(caption.left(caption.lastIndexOf(QLatin1Char(' ')) + 1));
        const double wordMiddle = (wordStart + metrics.horizontalAdvance(caption)) / 2;
        QImage drawn(line->size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::white);
        line->render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
        int rightmostInk = -1;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixel(x, y) != qRgb(255, 255, 255)) rightmostInk = std::max(rightmostInk, x);
        return rightmostInk > wordMiddle;
    }
    // Gives the roster lines and the sizing label the pixel size of their
    // font on a screen of 120 dpi (7 points there), on this screen.
    void UseLineFontOf120Dpi() {
        QFont f = w()->lblSizing->font();
        f.setPointSizeF(7.0 * 120.0 / w()->logicalDpiY());
        w()->lblSizing->setFont(f);
        for (Label* line : w()->lblRosterEntry) line->setFont(f);
    }

    qint64 herd = 0;
};

TEST_F(RosterPanel, TwentyEntriesScrollOneEntryPerClickToTheEnd) {
    const QList<qint64> ids = MakeHerd(20);
    StartMainWindow();
    OpenRoster("Herd");

    EXPECT_FALSE(w()->lstRoster->isVisible());
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "Herd");
    EXPECT_EQ(w()->m_nRosterCount, 20);
    EXPECT_EQ(Lines(), BeastRange(0, 7));
    EXPECT_FALSE(UpShown());
    EXPECT_TRUE(DownShown());

    for (int i = 0; i < 12; ++i) ScrollDown();
    EXPECT_EQ(w()->m_nRosterTop, 12);
    EXPECT_EQ(Lines(), BeastRange(12, 19));
    EXPECT_TRUE(UpShown());
    EXPECT_FALSE(DownShown());

    ScrollUp();
    EXPECT_EQ(w()->m_nRosterTop, 11);
    EXPECT_EQ(Lines(), BeastRange(11, 18));
    EXPECT_TRUE(DownShown());
    // Scrolling changes nothing stored.
    EXPECT_EQ(Stored(herd), ids);
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();

    // Drawn from an offset near the end, the lines past the last entry stay blank.
    w()->m_nRosterTop = 17;
    w()->ShowRoster();
    EXPECT_EQ(Lines(), Expected(BeastRange(17, 19)));
    EXPECT_TRUE(UpShown());
    EXPECT_FALSE(DownShown());
}

TEST_F(RosterPanel, ArrowsShowOnlyWhenThereIsAnEntryToScrollTo) {
    const qint64 cat = Category("Beasts");
    QList<qint64> ids;
    for (int i = 0; i < 9; ++i) ids << Creature(cat, Beast(i));
    Roster("Eight", ids.mid(0, 8));
    Roster("Nine", ids);
    Roster("None", {});
    StartMainWindow();
    EXPECT_FALSE(UpShown());
    EXPECT_FALSE(DownShown());

    OpenRoster("Eight");
    EXPECT_EQ(Lines(), BeastRange(0, 7));
    EXPECT_FALSE(UpShown());
    EXPECT_FALSE(DownShown());

    OpenRoster("Nine");
    EXPECT_TRUE(DownShown());
    ScrollDown();
    EXPECT_TRUE(UpShown());
    EXPECT_FALSE(DownShown());

    // Opening another roster shows it from its first entry.
    OpenRoster("None");
    EXPECT_EQ(w()->m_nRosterTop, 0);
    EXPECT_EQ(Lines(), Expected({}));
    EXPECT_FALSE(UpShown());
    EXPECT_FALSE(DownShown());
}

TEST_F(RosterPanel, RemovingFromNineAtOffsetOneStepsBackToTheTop) {
    QList<qint64> ids = MakeHerd(9);
    StartMainWindow();
    OpenRoster("Herd");
    ScrollDown();
    ASSERT_EQ(Lines(), BeastRange(1, 8));

    ClickLine(3);   // shows Beast 04
    EXPECT_EQ(HighlightedLines(), QList<int>{3});
    Click(w()->imgRemove);

    EXPECT_EQ(w()->m_nRosterCount, 8);
    EXPECT_EQ(w()->m_nRosterTop, 0);
    EXPECT_EQ(Lines(), Beasts({0, 1, 2, 3, 5, 6, 7, 8}));
    EXPECT_TRUE(HighlightedLines().isEmpty());
    EXPECT_FALSE(UpShown());
    EXPECT_FALSE(DownShown());
    ids.removeAt(4);
    EXPECT_EQ(Stored(herd), ids);
}

TEST_F(RosterPanel, HighlightStaysOnItsLineThroughAScrollAndRemoveTakesTheEntryShownThere) {
    QList<qint64> ids = MakeHerd(10);
    StartMainWindow();
    OpenRoster("Herd");

    ClickLine(2);
    ScrollDown();
    EXPECT_EQ(HighlightedLines(), QList<int>{2});
    EXPECT_EQ(Lines()[2], Beast(3));

    Click(w()->imgRemove);
    ids.removeAt(3);
    EXPECT_EQ(Stored(herd), ids);
    // Nine entries remain and eight of them from offset 1: the offset stays.
    EXPECT_EQ(w()->m_nRosterTop, 1);
    EXPECT_EQ(Lines(), Beasts({1, 2, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(HighlightedLines().isEmpty());
    EXPECT_FALSE(DownShown());
}

TEST_F(RosterPanel, LineHighlightTogglesAndIsKeptWhenAnotherRosterOpens) {
    MakeHerd(3);
    Roster("Empty", {});
    StartMainWindow();
    OpenRoster("Herd");

    ClickLine(1);
    EXPECT_EQ(HighlightedLines(), QList<int>{1});
    ClickLine(4);   // blank lines take the highlight as well
    EXPECT_EQ(HighlightedLines(), QList<int>{4});
    ClickLine(4);
    EXPECT_TRUE(HighlightedLines().isEmpty());

    ClickLine(0);
    OpenRoster("Empty");
    EXPECT_EQ(HighlightedLines(), QList<int>{0});
    OpenRoster("Herd");
    EXPECT_EQ(HighlightedLines(), QList<int>{0});
}

TEST_F(RosterPanel, RemoveOnABlankOrNoHighlightedLineRemovesAndSavesNothing) {
    const QList<qint64> ids = MakeHerd(3);
    StartMainWindow();
    OpenRoster("Herd");
    const QByteArray before = Folder().DatabaseBytes();

    Click(w()->imgRemove);   // no line highlighted
    EXPECT_EQ(Lines(), Expected(BeastRange(0, 2)));

    ClickLine(6);
    Click(w()->imgRemove);
    EXPECT_TRUE(HighlightedLines().isEmpty());
    EXPECT_EQ(Lines(), Expected(BeastRange(0, 2)));
    EXPECT_EQ(w()->m_nRosterCount, 3);
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(Stored(herd), ids);
}

TEST_F(RosterPanel, AddPlacesByCharacterCodeAndEqualNamesAfter) {
    const qint64 cat = Category("Monsters");
    const qint64 bat = Creature(cat, "Bat");
    const qint64 orc = Creature(cat, "Orc");
    const qint64 goblin = Creature(cat, "Goblin");
    const qint64 lowerGoblin = Creature(cat, "goblin");
    const qint64 party = Roster("Party", {bat, orc});
    StartMainWindow();
    OpenRoster("Party");

    PickCreature("Goblin");
    Click(w()->imgAdd);
    EXPECT_EQ(Lines(), Expected({"Bat", "Goblin", "Orc"}));
    EXPECT_EQ(Stored(party), (QList<qint64>{bat, goblin, orc}));

    // Lower case comes after every upper-case letter.
    PickCreature("goblin");
    Click(w()->imgAdd);
    EXPECT_EQ(Lines(), Expected({"Bat", "Goblin", "Orc", "goblin"}));
    EXPECT_EQ(Stored(party), (QList<qint64>{bat, goblin, orc, lowerGoblin}));

    // The same creature again: a second entry, after the equal one.
    PickCreature("Goblin");
    Click(w()->imgAdd);
    EXPECT_EQ(Lines(), Expected({"Bat", "Goblin", "Goblin", "Orc", "goblin"}));
    EXPECT_EQ(Stored(party), (QList<qint64>{bat, goblin, goblin, orc, lowerGoblin}));
    EXPECT_EQ(w()->m_alRosterCreatureID, (QList<qint32>{qint32(bat), qint32(goblin), qint32(goblin), qint32(orc),
                                                       qint32(lowerGoblin)}));
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();
}

TEST_F(RosterPanel, AnEqualNameOfAnotherCreatureGoesAfterTheOnesThere) {
    const qint64 cat = Category("Pack");
    const qint64 wolf1 = Creature(cat, "Wolf");
    const qint64 wolf2 = Creature(cat, "Wolf");
    const qint64 pack = Roster("Pack", {wolf1});
    StartMainWindow();
    OpenRoster("Pack");

    Click(w()->imgList[0]);
    ClickListItem(w()->lstCreature, w()->lstCreature->ItemData(0) == wolf2 ? 0 : 1);
    ASSERT_EQ(w()->lstCreature->ItemData(w()->lstCreature->ListIndex()), wolf2);
    Click(w()->imgAdd);
    EXPECT_EQ(Stored(pack), (QList<qint64>{wolf1, wolf2}));
}

TEST_F(RosterPanel, AddRemoveAndClearDoNothingWithoutAnOpenRosterOrAShownCreature) {
    const qint64 cat = Category("Beasts");
    const qint64 bat = Creature(cat, "Bat");
    const qint64 party = Roster("Party", {bat});
    Category("Empty");
    StartMainWindow();
    const QByteArray before = Folder().DatabaseBytes();

    // No roster open.
    ASSERT_EQ(w()->lblName->caption(), "Bat");
    ClickLine(0);
    WithoutQuestion([&] {
        Click(w()->imgAdd);
        Click(w()->imgRemove);
        Click(w()->imgClear);
    });
    EXPECT_EQ(w()->m_nRosterCount, 0);
    EXPECT_EQ(Lines(), Expected({}));

    // A roster open, but no creature shown.
    OpenRoster("Party");
    PickCategory("Empty");
    ASSERT_EQ(w()->lblName->caption(), "");
    Click(w()->imgAdd);
    EXPECT_EQ(Lines(), Expected({"Bat"}));
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(Stored(party), QList<qint64>{bat});
}

TEST_F(RosterPanel, LongNamesAreShortenedToTheLineAndComparedShortened) {
    const qint64 cat = Category("Long");
    StartMainWindow();
    const float limit = 3000.0f;

    const QString exact = ExactLineWidthText();
    if (exact.isEmpty()) GTEST_SKIP() << "no text of exactly 3000 twips in this font";
    const QString wider = exact + QStringLiteral("Wide tail");
    ASSERT_GT(WidthTwips(wider), limit);
    DestroyMainWindow();

    const qint64 exactID = Creature(cat, exact);
    const qint64 widerID = Creature(cat, wider);
    const qint64 roster = Roster("Party", {});
    StartMainWindow();
    OpenRoster("Party");
    PickCreature(exact);
    Click(w()->imgAdd);
    PickCreature(wider);
    Click(w()->imgAdd);

    ASSERT_EQ(w()->m_nRosterCount, 2);
    const QStringList names = w()->m_asRosterName;
    const int iExact = names[0] == exact ? 0 : 1;
    EXPECT_EQ(names[iExact], exact);
    const QString cut = names[1 - iExact];
    ASSERT_TRUE(cut.endsWith(QStringLiteral("..."))) << cut.toStdString();
    const QString kept = cut.chopped(3);
    EXPECT_TRUE(wider.startsWith(kept));
    EXPECT_LE(WidthTwips(cut), limit);
    EXPECT_GT(WidthTwips(wider.left(kept.size() + 1) + QStringLiteral("...")), limit);
    EXPECT_EQ(Lines()[1 - iExact], cut);

    // A new name equal to the shortened one up to its cut, going on with a
    // blank (below "."), is placed before it; one going on with "/" after it.
    DestroyMainWindow();
    const qint64 cutRoster = Roster("Cut", {widerID});
    const qint64 blankID = Creature(cat, kept + QStringLiteral(" z"));
    const qint64 slashID = Creature(cat, kept + QStringLiteral("/z"));
    StartMainWindow();
    OpenRoster("Cut");
    ASSERT_EQ(Lines()[0], cut);
    PickCreature(kept + QStringLiteral(" z"));
    Click(w()->imgAdd);
    PickCreature(kept + QStringLiteral("/z"));
    Click(w()->imgAdd);
    EXPECT_EQ(Stored(cutRoster), (QList<qint64>{blankID, widerID, slashID}));
    EXPECT_EQ(Stored(roster), (QList<qint64>{exactID, widerID}));
}

TEST_F(RosterPanel, NamesOnTheEdgeOfALineAreDrawnWithTheirLastWordAt96And120Dpi) {
    // Names of words that land on the edge of a line, in the lines' font at
    // 96 dpi and in its pixel size at 120 dpi. Three kinds, searched among
    // generated names: names that fit by their advance while their last glyph
    // reaches past the line, which Qt's word wrap counts as width (kept
    // whole); names whose width in whole pixels fits while their advance does
    // not (shortened); and names whose cut by whole pixels, with its "...",
    // lands so. Every name shown must show its last word on its line.
    const QStringList words = QStringLiteral("Grim ogre the Dark Lord of wyrm Fell Beast Ashen Knight Mire troll young "
                                             "silver dragon Elder hag Wolf rider Moss Shadow Reef Hound Deep").split(QLatin1Char(' '));
    for (const bool at120Dpi : {false, true}) {
        SCOPED_TRACE(at120Dpi ? "120 dpi" : "96 dpi");
        StartMainWindow();
        if (at120Dpi) UseLineFontOf120Dpi();
        const QFont font = w()->lblSizing->font();
        const QFontMetrics whole(font);
        const QFontMetricsF laidOut(font);
        const int linePx = w()->lblRosterEntry[0]->width();
        ASSERT_EQ(linePx, 200);
        // Fits by its advance, while its last glyph reaches past the line.
        const auto overhangs = [&](const QString& s) {
            const double advance = laidOut.horizontalAdvance(s);
            return advance <= linePx && advance - laidOut.rightBearing(s.back()) > linePx;
        };
        const auto onTheEdge = [&](const QString& s) { return whole.horizontalAdvance(s) <= linePx && laidOut.horizontalAdvance(s) > linePx; };
        QStringList fittingNames, wholeNames, cutNames;
        quint32 seed = 11;
        for (int n = 0; n < 5000 && (fittingNames.size() < 4 || wholeNames.size() < 4 || cutNames.size() < 4); ++n) {
            QString name;
            while (laidOut.horizontalAdvance(name) < linePx + 40) {
                seed = seed * 1103515245u + 12345u;
                name += words[(seed >> 16) % words.size()] + QLatin1Char(' ');
            }
            name = name.trimmed();
            for (qsizetype k = name.size(); k > 0; --k) {
                if (name[k - 1] == QLatin1Char(' ')) continue;
                const QString start = name.left(k);
                const bool wordEnd = k == name.size() || name[k] == QLatin1Char(' ');
                if (fittingNames.size() < 4 && wordEnd && overhangs(start)) {
                    fittingNames << start;
                    break;
                }
                if (wholeNames.size() < 4 && onTheEdge(start)) {
                    wholeNames << start;
                    break;
                }
            }
            qsizetype k = name.size();
            while (k > 0 && whole.horizontalAdvance(name.left(k) + QStringLiteral("...")) > linePx) --k;
            if (cutNames.size() < 4 && onTheEdge(name.left(k) + QStringLiteral("..."))) cutNames << name;
        }
        ASSERT_FALSE(fittingNames.isEmpty()) << "no fitting name whose last glyph overhangs a line in this font";
        ASSERT_FALSE(wholeNames.isEmpty()) << "no whole name on the edge of a line in this font";
        ASSERT_FALSE(cutNames.isEmpty()) << "no shortened name on the edge of a line in this font";
        const QStringList names = fittingNames + wholeNames + cutNames;
        DestroyMainWindow();

        const char* const roster = at120Dpi ? "Edge 120" : "Edge 96";
        const qint64 cat = Category(roster);
        QList<qint64> ids;
        for (const QString& name : names) ids << Creature(cat, name);
        Roster(roster, ids);
        StartMainWindow();
        if (at120Dpi) UseLineFontOf120Dpi();
        OpenRoster(roster);
        ASSERT_EQ(w()->m_nRosterCount, names.size());
        for (Label* line : w()->lblRosterEntry) {
            if (!line->caption().isEmpty()) {
                EXPECT_TRUE(LastWordShown(line)) << line->caption().toStdString();
            }
        }
        Label* line = w()->lblRosterEntry[0];
        for (int i = 0; i < names.size(); ++i) {
            const QString shown = w()->m_asRosterName[i];
            line->setCaption(shown);
            EXPECT_TRUE(LastWordShown(line)) << shown.toStdString();
            if (i < fittingNames.size()) {
                EXPECT_EQ(shown, names[i]);
                continue;
            }
            ASSERT_TRUE(shown.endsWith(QStringLiteral("..."))) << shown.toStdString();
            const QString kept = shown.chopped(3);
            EXPECT_TRUE(names[i].startsWith(kept)) << shown.toStdString();
            // As much of the name as fits: one character more would not.
            line->setCaption(names[i].left(kept.size() + 1) + QStringLiteral("..."));
            EXPECT_FALSE(LastWordShown(line)) << shown.toStdString();
        }
        DestroyMainWindow();
    }
}

TEST_F(RosterPanel, LongNamesAreCutToTheLineWidthLikeOneCharacterAtATime) {
    StartMainWindow();
    const auto width = [&](const QString& s) { return WidthTwips(s); };
    // The plain way: drop one character at a time.
    const auto stepwise = [&](const QString& name) {
        QString caption = name;
        if (width(caption) > 3000.0f) {
            caption += QStringLiteral("...");
            while (width(caption) > 3000.0f && caption.size() > 3) caption = caption.left(caption.size() - 4) + QStringLiteral("...");
        }
        return caption;
    };
    QStringList names{QStringLiteral("Bat"), QString(), QStringLiteral("&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&"),
                      QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"),
                      QStringLiteral("A very long creature name with blanks in it, far too long for one line"),
                      QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii")};
    quint32 seed = 7;
    for (int n = 0; n < 40; ++n) {
        QString s;
        for (int k = 0; k < 20 + n * 2; ++k) {
            seed = seed * 1103515245u + 12345u;
            s += QChar(char(32 + (seed >> 16) % 91));
        }
        names << s;
    }
    // A name of exactly the line's width stays whole.
    const QString exact = ExactLineWidthText();
    if (!exact.isEmpty()) names << exact;

    w()->m_asRosterName = names;
    w()->m_nRosterCount = qint16(names.size());
    for (int i = 0; i < names.size(); ++i) {
        w()->FitRosterEntryName(qint16(i));
        const QString expected = stepwise(names[i]);
        EXPECT_EQ(w()->m_asRosterName[i], expected) << names[i].toStdString();
        EXPECT_EQ(w()->lblSizing->caption(), expected);
        if (width(names[i]) <= 3000.0f) EXPECT_EQ(w()->m_asRosterName[i], names[i]);
        else EXPECT_TRUE(w()->m_asRosterName[i].endsWith(QStringLiteral("...")));
        // A second pass changes nothing.
        w()->FitRosterEntryName(qint16(i));
        EXPECT_EQ(w()->m_asRosterName[i], expected);
    }
}

TEST_F(RosterPanel, DoubleClickShowsTheEntrysCreatureThroughItsCategory) {
    const qint64 alpha = Category("Alpha");
    Creature(alpha, "Ant");
    const qint64 bee = Creature(alpha, "Bee");
    const qint64 beta = Category("Beta");
    const qint64 cat = Creature(beta, "Cat");
    Roster("Party", {cat, bee});
    StartMainWindow();
    ASSERT_EQ(w()->lblName->caption(), "Ant");
    OpenRoster("Party");

    Click(w()->imgPage2);
    DoubleClick(w()->lblRosterEntry[0]);
    EXPECT_EQ(w()->lblCategory->caption(), "Beta");
    EXPECT_EQ(w()->lstCategory->ItemData(w()->lstCategory->ListIndex()), beta);
    EXPECT_EQ(w()->lblName->caption(), "Cat");
    EXPECT_EQ(w()->lstCreature->ItemData(w()->lstCreature->ListIndex()), cat);
    EXPECT_TRUE(w()->txtStatText[0]->isVisible()) << "statistics page 0";
    EXPECT_TRUE(HighlightedLines().isEmpty());

    DoubleClick(w()->lblRosterEntry[1]);
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_EQ(w()->lblName->caption(), "Bee");
    EXPECT_TRUE(HighlightedLines().isEmpty());

    // A blank line of a roster with entries: only its colour is reset.
    DoubleClick(w()->lblRosterEntry[5]);
    EXPECT_TRUE(HighlightedLines().isEmpty());
    EXPECT_EQ(w()->lblName->caption(), "Bee");
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();
    Q_UNUSED(alpha);
}

TEST_F(RosterPanel, DoubleClickFindsACategoryWhoseIDIsBeyondSixteenBits) {
    Creature(Category("Alpha"), "Ant");
    Folder().Exec(QStringLiteral("INSERT INTO Categories (IDCategory, Name) VALUES (70000, 'Far')"));
    const qint64 yak = Creature(70000, "Yak");
    Roster("Party", {yak});
    StartMainWindow();
    OpenRoster("Party");

    DoubleClick(w()->lblRosterEntry[0]);
    EXPECT_EQ(w()->lstCategory->ItemData(w()->lstCategory->ListIndex()), 70000);
    EXPECT_EQ(w()->lblCategory->caption(), "Far");
    EXPECT_EQ(w()->lblName->caption(), "Yak");
}

TEST_F(RosterPanel, DoubleClickOnAnEntryWhoseCreatureIsGoneSelectsNothing) {
    const qint64 alpha = Category("Alpha");
    const qint64 ant = Creature(alpha, "Ant");
    const qint64 beta = Category("Beta");
    const qint64 cat = Creature(beta, "Cat");
    Roster("Party", {cat});
    StartMainWindow();
    OpenRoster("Party");
    // Gone behind the window's back: the panel still shows it.
    Folder().Exec(QStringLiteral("DELETE FROM Creatures WHERE IDCreature = ?1"), {cat});

    DoubleClick(w()->lblRosterEntry[0]);
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_EQ(w()->lstCategory->ItemData(w()->lstCategory->ListIndex()), alpha);
    EXPECT_EQ(w()->lstCreature->ItemData(w()->lstCreature->ListIndex()), ant);
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_TRUE(HighlightedLines().isEmpty());
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();
}

TEST_F(RosterPanel, ADoubleClickThatClosesAMessageBoxReachesNoLineBeneath) {
    Creature(Category("Alpha"), "Ant");
    const qint64 cat = Creature(Category("Beta"), "Cat");
    const qint64 party = Roster("Party", {cat});
    // A row without a creature before the last one: opening the roster reports it.
    Folder().Exec(QStringLiteral("INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, NULL, 0)"),
                  {party});
    Folder().AddRosterEntry(party, cat);
    StartMainWindow();
    ASSERT_EQ(w()->lblName->caption(), "Ant");
    Label* line = w()->lblRosterEntry[0];
    const QPoint spot = line->mapToGlobal(line->rect().center());

    // The real message box, its OK button over the first line; the first
    // click of a double-click closes it.
    QString title;
    bool bClosedByTheFirstClick = false;
    WhenModalShown([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QAbstractButton* ok = box ? box->button(QMessageBox::Ok) : nullptr;
        if (!ok) {
            ADD_FAILURE() << "no message box with an OK button";
            dialog->close();
            return;
        }
        title = box->windowTitle();
        bClosedByTheFirstClick = FirstClickOfADoubleClick(box, ok, spot);
    });
    {
        const RealMessageBoxes real;
        OpenRoster("Party");
    }
    ASSERT_EQ(title, "Error Loading Roster from Database");
    ASSERT_TRUE(bClosedByTheFirstClick);
    ASSERT_EQ(line->caption(), "Cat");  // the entry before the bad row

    // The second press, on the same spot soon after, lands on the line beneath:
    // neither it nor the double-click it completes shows the line's creature.
    SecondPressAt(spot);
    EXPECT_EQ(w()->lblName->caption(), "Ant");

    // The next double-click is the user's own.
    DoubleClick(line);
    EXPECT_EQ(w()->lblName->caption(), "Cat");
}

TEST_F(RosterPanel, ClickingOrDoubleClickingALineLeavesTheFocusInTheBox) {
    const qint64 alpha = Category("Alpha");
    const qint64 ant = Creature(alpha, "Ant");
    const qint64 cat = Creature(Category("Beta"), "Cat");
    Roster("Party", {cat});
    StartMainWindow();
    OpenRoster("Party");
    TextBox* box = w()->txtStatText[0];
    const auto boxHasFocus = [box] {
        QWidget* f = QApplication::focusWidget();
        return f && (f == box || box->isAncestorOf(f));
    };
    const auto storedField0 = [this](qint64 id) {
        return Folder().Scalar(QStringLiteral("SELECT Field0 FROM Creatures WHERE IDCreature = ?1"), {id}).toString();
    };
    FocusBox(box);
    Type(box, "unsaved");

    // Highlighting a line moves no focus: the typing goes on in the box.
    ClickLine(0);
    EXPECT_EQ(HighlightedLines(), QList<int>{0});
    EXPECT_TRUE(boxHasFocus());
    EXPECT_TRUE(w()->m_bStatChanged);
    EXPECT_EQ(storedField0(ant), "");

    // Neither does the double-click; the typing is stored in its own creature
    // before the entry's creature is loaded over it.
    DoubleClick(w()->lblRosterEntry[0]);
    EXPECT_EQ(w()->lblName->caption(), "Cat");
    EXPECT_TRUE(boxHasFocus());
    EXPECT_FALSE(w()->m_bStatChanged);
    EXPECT_EQ(storedField0(ant), "unsaved");
    EXPECT_EQ(storedField0(cat), "");
    EXPECT_EQ(box->text(), "");

    // The panel still takes the focus by Tab, after the last box of the page.
    FocusBox(w()->txtStatText[10]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w()->picRoster);
}

TEST_F(RosterPanel, ClearAsksFirstKeepsThePressedLookAndStoresTheEmptyRoster) {
    const QList<qint64> ids = MakeHerd(3);
    StartMainWindow();
    OpenRoster("Herd");
    const QImage pressed = frmImageStore::Instance().Image(StoreArray::imgClear, LookPressed).toImage();

    bool pressedWhileAsked = false;
    WhenModalShown([&](QWidget* dialog) {
        pressedWhileAsked = w()->imgClear->picture().toImage() == pressed;
        ClickChild(dialog, "imgNo");
    });
    Click(w()->imgClear);
    EXPECT_TRUE(pressedWhileAsked);
    EXPECT_EQ(Lines(), Expected(BeastRange(0, 2)));
    EXPECT_EQ(Stored(herd), ids);

    AnswerAreYouSure(true);
    Click(w()->imgClear);
    EXPECT_EQ(Lines(), Expected({}));
    EXPECT_EQ(w()->m_nRosterCount, 0);
    EXPECT_TRUE(Stored(herd).isEmpty());
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "Herd");

    // An empty roster is asked about and stored empty all the same.
    bool asked = false;
    WhenModalShown([&](QWidget* dialog) {
        asked = true;
        ClickChild(dialog, "imgYes");
    });
    Click(w()->imgClear);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Lines(), Expected({}));
    EXPECT_TRUE(Stored(herd).isEmpty());
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();
}

TEST_F(RosterPanel, ARosterWithAnUnreadableRowOpensWithWhatWasReadAndKeepsTheRest) {
    const QList<qint64> ids = MakeHerd(6);
    // Rows made by hand: the fourth names its creature by Null, the sixth by text.
    Folder().Exec(QStringLiteral("UPDATE RosterList SET IDCreature = NULL WHERE IDCreature = ?1"), {ids[3]});
    Folder().Exec(QStringLiteral("UPDATE RosterList SET IDCreature = 'Beast 05' WHERE IDCreature = ?1"), {ids[5]});
    const auto storedRows = [&] {
        return Folder()
            .Scalar(QStringLiteral("SELECT group_concat(v, ',') FROM (SELECT quote(IDCreature) AS v FROM RosterList "
                                   "WHERE IDRoster = ?1 ORDER BY rowid)"),
                    {herd})
            .toString();
    };
    const auto row = [&](int i) { return QString::number(ids[i]); };
    StartMainWindow();

    // The load stops at the Null with its error box; the entries before it show.
    OpenRoster("Herd");
    EXPECT_EQ(MsgBoxTitles(), QStringList{"Error Loading Roster from Database"});
    EXPECT_EQ(Lines(), Expected(BeastRange(0, 2)));
    ClearMsgBoxes();

    // Add and Remove store the open entries, then the unread rows as they were.
    PickCreature(Beast(4));
    Click(w()->imgAdd);
    EXPECT_EQ(Lines(), Expected(Beasts({0, 1, 2, 4})));
    EXPECT_EQ(storedRows(), QStringList({row(0), row(1), row(2), row(4), "NULL", row(4), "'Beast 05'"}).join(','));
    ClickLine(0);
    Click(w()->imgRemove);
    EXPECT_EQ(storedRows(), QStringList({row(1), row(2), row(4), "NULL", row(4), "'Beast 05'"}).join(','));
    EXPECT_TRUE(MsgBoxTitles().isEmpty()) << MsgBoxTitles().join(", ").toStdString();

    // Opened again, it shows what it now holds before the Null.
    OpenRoster("Herd");
    EXPECT_EQ(MsgBoxTitles(), QStringList{"Error Loading Roster from Database"});
    EXPECT_EQ(Lines(), Expected(Beasts({1, 2, 4})));

    // Clear, once confirmed, empties the whole roster.
    AnswerAreYouSure(true);
    Click(w()->imgClear);
    EXPECT_EQ(Lines(), Expected({}));
    EXPECT_TRUE(Stored(herd).isEmpty());
}

TEST_F(RosterPanel, ChangesAreStoredAtOnceAndSurviveReopening) {
    const qint64 cat = Category("Beasts");
    const qint64 bat = Creature(cat, "Bat");
    const qint64 orc = Creature(cat, "Orc");
    const qint64 party = Roster("Party", {});
    Roster("Other", {orc});
    StartMainWindow();
    OpenRoster("Party");
    PickCreature("Orc");
    Click(w()->imgAdd);
    PickCreature("Bat");
    Click(w()->imgAdd);
    EXPECT_EQ(Stored(party), (QList<qint64>{bat, orc}));

    OpenRoster("Other");
    EXPECT_EQ(Lines(), Expected({"Orc"}));
    OpenRoster("Party");
    EXPECT_EQ(Lines(), Expected({"Bat", "Orc"}));
}

}  // namespace
