// The window layer's controls, driven through real widgets: list boxes (order,
// item data, Click), labels (ampersands, self-sizing), text boxes (Enter, key
// presses, length), picture buttons, and which mouse moves reach the window's
// background.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <functional>

#include "platform/widgets.h"

namespace {

QStringList Items(const ListBox& list) {
    QStringList out;
    for (int i = 0; i < list.ListCount(); ++i) out << list.List(i);
    return out;
}

// Shows a top-level window and waits until it is on screen and active.
void ShowActive(QWidget* w) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    QApplication::setActiveWindow(w);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

// A list in a window, filled with items, Click counted with the selection seen
// at the moment Click runs.
struct ListWindow {
    std::vector<int> clicks;  // ListIndex() as seen inside each Click (outlives the window)
    Form window;
    ListBox* list;

    explicit ListWindow(bool sorted, const QStringList& items) {
        window.resize(300, 300);
        list = new ListBox(&window, sorted);
        list->setGeometry(10, 10, 200, 200);
        for (const QString& s : items) list->AddItem(s);
        QObject::connect(list, &ListBox::Click, [this] { clicks.push_back(list->ListIndex()); });
    }
};

// Where a hand's pick or move leaves a list: the selected row and the rows
// that Click saw.
struct Outcome {
    int row;
    std::vector<int> clicks;
    bool operator==(const Outcome&) const = default;
};
void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "row " << o.row << ", clicks {";
    for (int c : o.clicks) *os << ' ' << c;
    *os << " }";
}

}  // namespace

// ---------------------------------------------------------------- list order and item data

TEST(ListBoxOrder, SortedListIsCaseInsensitiveAndReportsWhereItemsGo) {
    ListBox list(nullptr, true);
    EXPECT_EQ(list.AddItem("zombie"), 0);
    EXPECT_EQ(list.NewIndex(), 0);
    EXPECT_EQ(list.AddItem("Orc"), 0);
    EXPECT_EQ(list.AddItem("goblin"), 0);
    EXPECT_EQ(list.AddItem("Bat"), 0);
    EXPECT_EQ(Items(list), QStringList({"Bat", "goblin", "Orc", "zombie"}));

    EXPECT_EQ(list.AddItem("ghoul"), 1);
    EXPECT_EQ(list.NewIndex(), 1);
    EXPECT_EQ(list.AddItem("Zebra"), 4);
    EXPECT_EQ(list.NewIndex(), 4);
    EXPECT_EQ(Items(list), QStringList({"Bat", "ghoul", "goblin", "Orc", "Zebra", "zombie"}));
}

TEST(ListBoxOrder, UnsortedListKeepsTheOrderOfAdding) {
    ListBox list(nullptr, false);
    for (const char* s : {"zombie", "Orc", "goblin", "Bat"}) {
        const int i = list.AddItem(s);
        EXPECT_EQ(i, list.ListCount() - 1);
        EXPECT_EQ(list.NewIndex(), i);
    }
    EXPECT_EQ(Items(list), QStringList({"zombie", "Orc", "goblin", "Bat"}));
}

TEST(ListBoxOrder, ItemDataStaysWithItsItemWhenOthersAreInsertedBefore) {
    ListBox list(nullptr, true);
    const std::pair<const char*, qint32> rows[] = {
        {"Wyvern", 7}, {"Ant", -3}, {"kobold", 2147483647}, {"Imp", -2147483647 - 1}, {"Dragon", 0}, {"imp", 12}};
    for (const auto& [text, id] : rows) list.setItemData(list.AddItem(text), id);
    ASSERT_EQ(list.ListCount(), 6);
    for (const auto& [text, id] : rows) {
        const int i = int(Items(list).indexOf(QString::fromLatin1(text)));
        ASSERT_GE(i, 0) << text;
        EXPECT_EQ(list.ItemData(i), id) << text;
    }
    // Out of range reads give nothing, and writes change nothing.
    list.setItemData(99, 5);
    EXPECT_EQ(list.ItemData(99), 0);
    EXPECT_EQ(list.List(-1), QString());
}

TEST(ListBoxOrder, TenThousandItemsAddedOneByOneInRandomOrderEndSorted) {
    QStringList names;
    for (int i = 0; i < 10000; ++i) {
        // Mixed case so the case-insensitive order differs from the plain one.
        QString s = QStringLiteral("creature %1").arg(i, 5, 10, QLatin1Char('0'));
        if (i % 3 == 0) s[0] = QLatin1Char('C');
        if (i % 7 == 0) s = s.toUpper();
        names << s;
    }
    QList<int> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    QRandomGenerator rng(20240601);
    std::shuffle(order.begin(), order.end(), rng);

    ListBox list(nullptr, true);
    for (int i : order) list.setItemData(list.AddItem(names[i]), i);

    ASSERT_EQ(list.ListCount(), 10000);
    for (int i = 0; i < list.ListCount(); ++i) {
        EXPECT_EQ(list.List(i), names[list.ItemData(i)]) << i;
        if (i > 0) {
            ASSERT_LE(QString::compare(list.List(i - 1), list.List(i), Qt::CaseInsensitive), 0) << i;
        }
    }
    EXPECT_EQ(list.ListIndex(), -1);
}

// ---------------------------------------------------------------- list Click

TEST(ListBoxClick, ProgramSelectionRunsClickBeforeItReturns) {
    bool inside = false;
    int seenDuringCall = -2;
    ListWindow w(true, {"Orc", "Bat", "goblin"});
    QObject::connect(w.list, &ListBox::Click, [&] { inside = true; seenDuringCall = w.list->ListIndex(); });

    w.list->setListIndex(2);
    EXPECT_TRUE(inside);
    EXPECT_EQ(seenDuringCall, 2);
    EXPECT_EQ(w.clicks, std::vector<int>({2}));
    EXPECT_EQ(w.list->ListIndex(), 2);

    w.list->setListIndex(0);
    EXPECT_EQ(w.clicks, std::vector<int>({2, 0}));

    // Selecting none raises no Click; out-of-range indexes change nothing.
    w.list->setListIndex(-1);
    EXPECT_EQ(w.list->ListIndex(), -1);
    w.list->setListIndex(3);
    w.list->setListIndex(-2);
    EXPECT_EQ(w.list->ListIndex(), -1);
    EXPECT_EQ(w.clicks.size(), 2u);
}

TEST(ListBoxClick, ClickHandlerMaySelectInAnotherList) {
    // The category list's Click fills the creature list and selects its first
    // item, whose Click must run at once, inside the first.
    std::vector<QString> log;
    Form window;
    ListBox categories(&window, true), creatures(&window, true);
    QObject::connect(&categories, &ListBox::Click, [&] {
        log.push_back("category " + categories.List(categories.ListIndex()));
        creatures.Clear();
        creatures.AddItem("Wolf");
        creatures.AddItem("Bear");
        creatures.setListIndex(0);
        log.push_back("category done");
    });
    QObject::connect(&creatures, &ListBox::Click, [&] { log.push_back("creature " + creatures.List(creatures.ListIndex())); });
    categories.AddItem("Animals");
    categories.setListIndex(0);
    EXPECT_EQ(log, std::vector<QString>({"category Animals", "creature Bear", "category done"}));
}

TEST(ListBoxClick, MousePickRaisesClickOnce) {
    ListWindow w(true, {"Orc", "Bat", "goblin", "zombie"});
    ShowActive(&w.window);
    const QRect r = w.list->visualItemRect(w.list->item(2));
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(w.list->ListIndex(), 2);
    EXPECT_EQ(w.clicks, std::vector<int>({2}));

    const QRect r0 = w.list->visualItemRect(w.list->item(0));
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, r0.center());
    EXPECT_EQ(w.list->ListIndex(), 0);
    EXPECT_EQ(w.clicks, std::vector<int>({2, 0}));
}

TEST(ListBoxClick, ClickBelowTheItemsPicksNothing) {
    ListWindow w(true, {"Orc", "Bat"});
    ShowActive(&w.window);
    w.list->setListIndex(1);
    const QRect last = w.list->visualItemRect(w.list->item(1));
    const QPoint empty(last.center().x(), last.bottom() + 40);
    ASSERT_EQ(w.list->itemAt(empty), nullptr);
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(w.list->ListIndex(), 1);
    EXPECT_EQ(w.clicks, std::vector<int>({1}));
    // The next real pick still counts.
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.list->visualItemRect(w.list->item(0)).center());
    EXPECT_EQ(w.clicks, std::vector<int>({1, 0}));
}

TEST(ListBoxClick, DragOutOfTheListStillRunsClickForTheNewSelection) {
    ListWindow w(true, {"Alpha", "Beta", "Gamma"});
    ShowActive(&w.window);
    w.list->setListIndex(0);
    // Press on Beta, then let go outside the list: the selection moved, so its
    // click handling must run (nothing may show Alpha while Beta is selected).
    QTest::mousePress(w.list->viewport(), Qt::LeftButton, {}, w.list->visualItemRect(w.list->item(1)).center());
    QTest::mouseRelease(w.list->viewport(), Qt::LeftButton, {}, QPoint(250, 250));
    EXPECT_EQ(w.list->ListIndex(), 1);
    EXPECT_EQ(w.clicks, std::vector<int>({0, 1}));
}

TEST(ListBoxClick, KeyboardMovesRaiseClickButFocusAloneDoesNot) {
    ListWindow w(true, {"Orc", "Bat", "goblin", "zombie"});
    QLineEdit other(&w.window);
    other.setGeometry(220, 10, 60, 20);
    ShowActive(&w.window);
    other.setFocus();
    QCoreApplication::processEvents();

    // Taking the focus may make an item current, but selects nothing.
    w.list->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.list->hasFocus());
    EXPECT_EQ(w.list->ListIndex(), -1);
    EXPECT_TRUE(w.clicks.empty());

    w.list->setListIndex(1);
    ASSERT_EQ(w.clicks, std::vector<int>({1}));
    QTest::keyClick(w.list, Qt::Key_Down);
    EXPECT_EQ(w.list->ListIndex(), 2);
    EXPECT_EQ(w.clicks, std::vector<int>({1, 2}));
    QTest::keyClick(w.list, Qt::Key_Down);
    QTest::keyClick(w.list, Qt::Key_Up);
    EXPECT_EQ(w.list->ListIndex(), 2);
    EXPECT_EQ(w.clicks, std::vector<int>({1, 2, 3, 2}));
}

TEST(ListBoxClick, NoModifierEmptiesTheSelectionOrMovesOnlyTheCurrentItem) {
    // Once an item is selected, every pick and move of the hand, with any
    // modifiers held, leaves exactly one item selected, the current one, and
    // ends as the same pick or move without modifiers ends: the same item,
    // and Click once when the selection changed (also on re-picking with the
    // mouse), never when it did not.
    QStringList names;
    for (int i = 0; i < 30; ++i) names << QStringLiteral("Item %1").arg(i, 2, 10, QLatin1Char('0'));
    ListWindow w(false, names);
    ShowActive(&w.window);
    w.list->setFocus();
    const int start = 12;
    const auto act = [&](const std::function<void()>& hand) {
        w.list->setListIndex(-1);
        w.list->setListIndex(start);
        w.list->scrollToItem(w.list->item(start));
        w.clicks.clear();
        hand();
        QApplication::processEvents();
        EXPECT_EQ(w.list->selectedItems().size(), 1);
        EXPECT_EQ(w.list->currentRow(), w.list->ListIndex());
        return Outcome{w.list->ListIndex(), w.clicks};
    };
    const auto clickRow = [&](int row, Qt::KeyboardModifiers mods) {
        return act([&] { QTest::mouseClick(w.list->viewport(), Qt::LeftButton, mods, w.list->visualItemRect(w.list->item(row)).center()); });
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods) { return act([&] { QTest::keyClick(w.list, k, mods); }); };

    EXPECT_EQ(clickRow(start, Qt::NoModifier), (Outcome{start, {start}}));
    EXPECT_EQ(clickRow(start + 2, Qt::NoModifier), (Outcome{start + 2, {start + 2}}));
    EXPECT_EQ(key(Qt::Key_Down, Qt::NoModifier), (Outcome{start + 1, {start + 1}}));
    EXPECT_EQ(key(Qt::Key_Space, Qt::NoModifier), (Outcome{start, {}}));
    const Qt::Key keys[] = {Qt::Key_Space, Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown, Qt::Key_PageUp};
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
                                             Qt::ControlModifier | Qt::ShiftModifier}) {
        const int m = int(mods);
        EXPECT_EQ(clickRow(start, mods), clickRow(start, Qt::NoModifier)) << "modifiers " << m;
        EXPECT_EQ(clickRow(start + 2, mods), clickRow(start + 2, Qt::NoModifier)) << "modifiers " << m;
        for (const Qt::Key k : keys) EXPECT_EQ(key(k, mods), key(k, Qt::NoModifier)) << "modifiers " << m << " key " << k;
    }
}

TEST(ListBoxClick, ClearLeavesNothingSelected) {
    ListWindow w(true, {"Orc", "Bat"});
    w.list->setListIndex(1);
    w.list->Clear();
    EXPECT_EQ(w.list->ListCount(), 0);
    EXPECT_EQ(w.list->ListIndex(), -1);
    // Filling it again selects nothing and raises no Click.
    w.list->AddItem("Imp");
    w.list->AddItem("Ant");
    EXPECT_EQ(w.list->ListIndex(), -1);
    EXPECT_EQ(w.clicks, std::vector<int>({1}));
    // Selecting the item now at the old index is a change and raises Click.
    w.list->setListIndex(1);
    EXPECT_EQ(w.clicks, std::vector<int>({1, 1}));
    EXPECT_EQ(w.list->List(1), "Imp");
}

TEST(ListBoxDrawing, ALongItemRunsToTheEdgeOnOneLineWithoutDots) {
    // An item too long for the list is cut at the list's edge: its text is
    // drawn up to the last column (a run of underscores draws an unbroken
    // line), with no "..." before the edge. A line break in an item starts
    // no second line: the item is drawn as its text without the break.
    QRect row;  // the second item's row
    const auto render = [&row](const QStringList& items) {
        ListWindow w(false, items);
        w.list->setGeometry(10, 10, 249, 123);
        SetProgramFont(w.list);
        ShowActive(&w.window);
        row = w.list->visualItemRect(w.list->item(1));
        return w.list->viewport()->grab().toImage();
    };
    const QImage list = render({QStringLiteral("Bat"), QStringLiteral("Wyrm of the deep fens ") + QString(60, QLatin1Char('_'))});
    const QRgb background = list.pixel(list.width() - 1, list.height() - 1);
    int rightmostInk = -1;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = 0; x < list.width(); ++x)
            if (list.pixel(x, y) != background) rightmostInk = std::max(rightmostInk, x);
    EXPECT_EQ(rightmostInk, list.width() - 1);

    EXPECT_TRUE(render({QStringLiteral("Bat"), QStringLiteral("Two\nLines"), QStringLiteral("Three\r\nmore\rlines")}) ==
                render({QStringLiteral("Bat"), QStringLiteral("TwoLines"), QStringLiteral("Threemorelines")}))
        << "items with line breaks are not drawn as their text on one line";
}

// ---------------------------------------------------------------- labels

TEST(LabelCaption, AmpersandIsAnAccessKeyUnlessShownLiterally) {
    Label keyed, literal;
    literal.setLiteralAmpersand(true);
    for (Label* l : {&keyed, &literal}) l->setCaption("Salt && &Pepper");
    EXPECT_EQ(keyed.displayText(), "Salt & Pepper");
    EXPECT_EQ(keyed.caption(), "Salt && &Pepper");
    EXPECT_EQ(literal.displayText(), "Salt && &Pepper");
}

TEST(LabelCaption, DrawnTextFollowsTheAmpersandRule) {
    // "&&" drawn by a label with access keys looks exactly like "&" drawn by a
    // label that shows ampersands literally; "&&" drawn literally does not.
    auto render = [](const QString& caption, bool literal) {
        Label l;
        SetProgramFont(&l);
        l.setLiteralAmpersand(literal);
        l.setCaption(caption);
        l.resize(120, 24);
        return l.grab().toImage();
    };
    EXPECT_EQ(render("A && B", false), render("A & B", true));
    EXPECT_NE(render("A && B", true), render("A & B", true));
    // With access keys, "&x" draws x (underlined), not the ampersand.
    EXPECT_NE(render("&Save", false), render("&Save", true));
}

TEST(LabelSize, SelfSizingLabelTakesItsCaptionsSizeAndKeepsItsPlace) {
    QWidget parent;
    Label l(&parent);
    QFont f(QString::fromLatin1(kProgramFace));
    f.setPointSize(9);
    l.setFont(f);
    l.setLiteralAmpersand(true);
    l.move(32, 144);
    l.setAutoSize(true);
    l.setCaption("Sizing label");
    QFontMetrics fm(f);
    EXPECT_EQ(l.size(), QSize(fm.horizontalAdvance("Sizing label"), fm.height()));

    l.setCaption("A much longer caption & more");
    EXPECT_EQ(l.width(), fm.horizontalAdvance("A much longer caption & more"));
    EXPECT_EQ(l.pos(), QPoint(32, 144));

    // A new font size resizes it too.
    f.setPointSize(18);
    f.setBold(true);
    l.setFont(f);
    const QFontMetrics big(f);
    EXPECT_EQ(l.size(), QSize(big.horizontalAdvance("A much longer caption & more"), big.height()));
    EXPECT_EQ(l.pos(), QPoint(32, 144));
}

TEST(LabelSize, AccessKeyLabelIsMeasuredWithoutTheMarker) {
    Label l;
    SetProgramFont(&l);
    l.setAutoSize(true);
    l.setCaption("R&&D &Lab");
    EXPECT_EQ(l.width(), QFontMetrics(l.font()).horizontalAdvance("R&D Lab"));
}

TEST(LabelSize, OtherLabelsKeepTheirSize) {
    Label l;
    l.resize(105, 17);
    l.setCaption("A caption much wider than one hundred and five pixels");
    EXPECT_EQ(l.size(), QSize(105, 17));
    l.setFont(QFont(QString::fromLatin1(kProgramFace), 30));
    EXPECT_EQ(l.size(), QSize(105, 17));
}

// ---------------------------------------------------------------- text boxes

namespace {
struct BoxWindow {
    std::vector<std::pair<int, int>> keys;  // (index, key ascii), outlives the window
    Form window;
    TextBox* single;
    TextBox* multi;

    BoxWindow() {
        window.resize(400, 200);
        single = new TextBox(&window, 3, false);
        single->setGeometry(10, 10, 177, 19);
        multi = new TextBox(&window, 10, true);
        multi->setGeometry(10, 40, 177, 107);
        for (TextBox* b : {single, multi})
            QObject::connect(b, &TextBox::KeyPress, [this](int i, int k) { keys.emplace_back(i, k); });
    }
};
}  // namespace

TEST(TextBoxKeys, EnterAddsNothingToASingleLineBox) {
    BoxWindow w;
    ShowActive(&w.window);
    w.single->setFocus();
    QTest::keyClicks(w.single->editor(), "ab");
    QTest::keyClick(w.single->editor(), Qt::Key_Return);
    QTest::keyClick(w.single->editor(), Qt::Key_Enter);
    QTest::keyClicks(w.single->editor(), "c");
    EXPECT_EQ(w.single->text(), "abc");
    EXPECT_EQ(w.keys, (std::vector<std::pair<int, int>>{{3, 'a'}, {3, 'b'}, {3, 13}, {3, 13}, {3, 'c'}}));
}

TEST(TextBoxKeys, EnterStartsANewLineInAMultiLineBox) {
    BoxWindow w;
    ShowActive(&w.window);
    w.multi->setFocus();
    QTest::keyClicks(w.multi->editor(), "Fierce");
    QTest::keyClick(w.multi->editor(), Qt::Key_Return);
    QTest::keyClicks(w.multi->editor(), QStringLiteral("and\u00a0old"));
    // Shift or Ctrl held with Enter still starts a new line.
    QTest::keyClick(w.multi->editor(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(w.multi->editor(), Qt::Key_Return, Qt::ControlModifier);
    // Stored as the family's files hold a new line; a typed no-break space stays one.
    EXPECT_EQ(w.multi->text(), QStringLiteral("Fierce\r\nand\u00a0old\r\n\r\n"));
    ASSERT_EQ(w.keys.size(), 16u);
    EXPECT_EQ(w.keys[6], std::make_pair(10, 13));
    EXPECT_EQ(w.keys[14], std::make_pair(10, 13));
    EXPECT_EQ(w.keys[15], std::make_pair(10, 10));
}

TEST(TextBoxKeys, NoScrollBarsAndLongLinesWrap) {
    BoxWindow w;
    ShowActive(&w.window);
    auto* edit = qobject_cast<QPlainTextEdit*>(w.multi->editor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    w.multi->setText(QString(40, QLatin1Char('w')) + " " + QString(40, QLatin1Char('w')));
    QCoreApplication::processEvents();
    EXPECT_GT(edit->document()->documentLayout()->documentSize().height(), 1.0);
    EXPECT_FALSE(edit->verticalScrollBar()->isVisible());
    EXPECT_FALSE(edit->horizontalScrollBar()->isVisible());
}

namespace {
using Lines = std::vector<std::pair<int, int>>;  // (start, length) of each line of a paragraph

// The lines of each of the box's paragraphs as shown, beside the lines that
// Qt's own word wrapping gives the same paragraph at the same width; every
// shown line fits the box and starts where the one before it ended.
void ExpectLinesOfQtsWordWrapping(QPlainTextEdit* edit) {
    QTextDocument* doc = edit->document();
    const qreal width = edit->viewport()->width() - 2 * doc->documentMargin();
    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next()) {
        doc->documentLayout()->blockBoundingRect(block);  // laid out when first asked for
        QTextLayout* shown = block.layout();
        Lines got;
        int next = 0;
        for (int i = 0; i < shown->lineCount(); ++i) {
            const QTextLine line = shown->lineAt(i);
            got.emplace_back(line.textStart(), line.textLength());
            EXPECT_EQ(line.textStart(), next) << "paragraph " << block.blockNumber();
            EXPECT_LE(line.naturalTextWidth(), width) << "paragraph " << block.blockNumber() << " line " << i;
            next = line.textStart() + line.textLength();
        }
        EXPECT_EQ(next, block.text().size());

        QTextLayout qt(block.text(), doc->defaultFont(), edit->viewport());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        qt.setTextOption(option);
        qt.beginLayout();
        for (QTextLine line = qt.createLine(); line.isValid(); line = qt.createLine()) line.setLineWidth(width);
        qt.endLayout();
        Lines expected;
        for (int i = 0; i < qt.lineCount(); ++i) expected.emplace_back(qt.lineAt(i).textStart(), qt.lineAt(i).textLength());
        EXPECT_EQ(got, expected) << "paragraph " << block.blockNumber();
    }
}
}  // namespace

// A word wider than the box is broken where each line ends, words around it
// at blanks, exactly as Qt wraps words: after typing into the word too, and
// in a box wide enough for a long word to fit whole.
TEST(TextBoxKeys, AWordWiderThanTheBoxBreaksWhereTheLineEnds) {
    BoxWindow w;
    w.window.resize(800, 200);
    ShowActive(&w.window);
    auto* edit = qobject_cast<QPlainTextEdit*>(w.multi->editor());
    ASSERT_NE(edit, nullptr);
    const QString roar = QStringLiteral("A roar: ") + QString(3000, QLatin1Char('A')) +
                         QStringLiteral("RGH! It bites, see https://example.org/a-long-address-with-hyphens-that-runs-"
                                        "on-and-on-and-on and\u00a0then \u4e2d\u6587\u4e2d\u6587\u4e2d\u6587 it flies.");
    // A word of 88 characters, narrower than the wide box.
    const QString spell = QStringLiteral("abracadabra").repeated(8) + QStringLiteral(" and the spell goes on").repeated(8);
    // Korean, Lao and Thai without blanks: Qt breaks them at blanks only, nowhere, and by a dictionary.
    const QString scripts = QStringLiteral("\ud55c\uad6d\uc5b4").repeated(1000) + u' ' +
                            QStringLiteral("\u0e81\u0e82\u0e84").repeated(700) + u' ' +
                            QStringLiteral("\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35").repeated(300);
    const QString text = roar + QStringLiteral("\r\n") + QString(500, QLatin1Char('z')) + QStringLiteral("\r\n") + spell +
                         QStringLiteral("\r\n") + scripts;
    w.multi->setText(text);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.multi->text(), text);
    ExpectLinesOfQtsWordWrapping(edit);

    // Typing into the middle of the long word, then a new line there.
    w.multi->setFocus();
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(1500);
    edit->setTextCursor(cursor);
    QTest::keyClicks(edit, " cut ");
    ExpectLinesOfQtsWordWrapping(edit);
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.multi->text(), text.left(1500) + QStringLiteral(" cut \r\n") + text.mid(1500));
    ExpectLinesOfQtsWordWrapping(edit);

    w.multi->setGeometry(10, 40, 760, 107);
    QCoreApplication::processEvents();
    ExpectLinesOfQtsWordWrapping(edit);
}

TEST(TextBoxKeys, NoLengthLimit) {
    BoxWindow w;
    ShowActive(&w.window);
    const QString big(100000, QLatin1Char('x'));
    for (TextBox* b : {w.single, w.multi}) {
        b->setText(big);
        EXPECT_EQ(b->text().size(), 100000);
        b->setFocus();
        QTest::keyClick(b->editor(), Qt::Key_End, b->multiLine() ? Qt::ControlModifier : Qt::NoModifier);
        QTest::keyClicks(b->editor(), "yz");
        EXPECT_EQ(b->text().size(), 100002);
        EXPECT_TRUE(b->text().endsWith("yz"));
    }
}

TEST(TextBoxKeys, SelectAllCoversTheWholeText) {
    BoxWindow w;
    for (TextBox* b : {w.single, w.multi}) {
        b->setText("Armour class");
        b->selectAll();
        EXPECT_EQ(b->selStart(), 0);
        EXPECT_EQ(b->selLength(), 12);
    }
}

TEST(TextBoxKeys, TabMovesOnWithoutAKeyPress) {
    BoxWindow w;
    ShowActive(&w.window);
    w.single->setFocus();
    QTest::keyClick(w.single->editor(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(w.keys.empty());
}

TEST(TextBoxKeys, KeyPressComesOnlyWithCharactersAndTheKeysThatControlABox) {
    BoxWindow w;
    ShowActive(&w.window);
    for (TextBox* b : {w.single, w.multi}) {
        b->setText("abcdef");
        b->setFocus();
        QWidget* ed = b->editor();
        // As the X11 keyboard delivers them: Delete carries the text U+007F,
        // Ctrl with a letter its control character, the other keys no text.
        QTest::keyClick(ed, Qt::Key_Home, b->multiLine() ? Qt::ControlModifier : Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
        for (Qt::Key k : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_End, Qt::Key_Insert,
                          Qt::Key_Insert, Qt::Key_F2, Qt::Key_F8, Qt::Key_Home})
            QTest::sendKeyEvent(QTest::Click, ed, k, QString(), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
        EXPECT_EQ(b->text(), "cdef");
        EXPECT_TRUE(w.keys.empty()) << w.keys.front().second;

        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_X, QStringLiteral("x"), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_Backspace, QStringLiteral("\b"), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_Escape, QStringLiteral("\x1b"), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_C, QString(QChar(3)), Qt::ControlModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_Z, QString(QChar(26)), Qt::ControlModifier | Qt::ShiftModifier);
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_1, QStringLiteral("1"), Qt::ControlModifier);
        // A character composed by an input method (a dead key, a compose sequence).
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("\u00e9"));
        QApplication::sendEvent(ed, &composed);
        EXPECT_TRUE(b->text().contains(QStringLiteral("\u00e9"))) << b->text().toStdString();
        const int i = b->index();
        EXPECT_EQ(w.keys, (std::vector<std::pair<int, int>>{{i, 'x'}, {i, 8}, {i, 27}, {i, 3}, {i, 26}, {i, 0xE9}}));
        w.keys.clear();
    }
}

TEST(TextBoxFocus, AContextMenuIsNoLeavingOfTheBox) {
    std::vector<QString> log;
    BoxWindow w;
    QObject::connect(w.single, &TextBox::GotFocus, [&](int i) { log.push_back(QStringLiteral("got %1").arg(i)); });
    QObject::connect(w.single, &TextBox::LostFocus, [&](int i) { log.push_back(QStringLiteral("lost %1").arg(i)); });
    ShowActive(&w.window);
    w.single->setFocus();
    QCoreApplication::processEvents();
    log.clear();
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QFocusEvent in(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(w.single->editor(), &out);
    QApplication::sendEvent(w.single->editor(), &in);
    EXPECT_TRUE(log.empty());
}

TEST(TextBoxFocus, GotFocusAndLostFocusCarryTheIndex) {
    std::vector<QString> log;  // outlives the window, whose teardown moves the focus
    BoxWindow w;
    for (TextBox* b : {w.single, w.multi}) {
        QObject::connect(b, &TextBox::GotFocus, [&](int i) { log.push_back(QStringLiteral("got %1").arg(i)); });
        QObject::connect(b, &TextBox::LostFocus, [&](int i) { log.push_back(QStringLiteral("lost %1").arg(i)); });
    }
    ShowActive(&w.window);
    w.single->setFocus();
    QCoreApplication::processEvents();
    w.multi->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(log, std::vector<QString>({"got 3", "lost 3", "got 10"}));
}

TEST(TextBoxFocus, OnlyAMoveWithinTheProgramLeavesTheBox) {
    std::vector<QString> log;  // outlives the windows
    BoxWindow w;
    Form question;  // a window of the program with no control that takes the focus
    question.resize(200, 60);
    (new Label(&question))->setCaption("Are you sure?");
    Form prompt;  // one with a text box
    prompt.resize(200, 60);
    auto* promptBox = new TextBox(&prompt, 7, false);
    promptBox->setGeometry(10, 10, 100, 19);
    for (TextBox* b : {w.single, w.multi, promptBox}) {
        QObject::connect(b, &TextBox::GotFocus, [&](int i) { log.push_back(QStringLiteral("got %1").arg(i)); });
        QObject::connect(b, &TextBox::LostFocus, [&](int i) { log.push_back(QStringLiteral("lost %1").arg(i)); });
    }
    w.single->setText("Armour class");
    w.multi->setText("Fierce\nand old");
    ShowActive(&w.window);
    for (TextBox* b : {w.single, w.multi}) {
        b->setFocus();
        QCoreApplication::processEvents();
        if (auto* line = qobject_cast<QLineEdit*>(b->editor())) line->setSelection(2, 4);
        else {
            auto* edit = qobject_cast<QPlainTextEdit*>(b->editor());
            QTextCursor c = edit->textCursor();
            c.setPosition(2);
            c.setPosition(6, QTextCursor::KeepAnchor);
            edit->setTextCursor(c);
        }
        log.clear();
        // Another application takes the activation and gives it back.
        QApplication::setActiveWindow(nullptr);
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(&w.window);
        QCoreApplication::processEvents();
        EXPECT_TRUE(log.empty()) << log.front().toStdString();
        EXPECT_TRUE(b->editor()->hasFocus());
        EXPECT_EQ(b->selStart(), 2);
        EXPECT_EQ(b->selLength(), 4);
    }

    // A message box comes and goes: the box is not left either.
    QMessageBox message(QMessageBox::NoIcon, "Title", "Prompt", QMessageBox::Ok);
    message.show();
    QApplication::setActiveWindow(&message);
    QCoreApplication::processEvents();
    message.hide();
    QApplication::setActiveWindow(&w.window);
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty());

    // Another window of the program takes the activation: that leaves the box,
    // also when the window system passes through no active window on the way.
    question.show();
    QApplication::setActiveWindow(&question);
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&w.window);
    QCoreApplication::processEvents();
    prompt.show();
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&prompt);
    QCoreApplication::processEvents();
    ASSERT_TRUE(promptBox->editor()->hasFocus());
    QApplication::setActiveWindow(&w.window);
    QCoreApplication::processEvents();
    EXPECT_EQ(log, std::vector<QString>({"lost 10", "got 10", "lost 10", "got 7", "lost 7", "got 10"}));
}

// ---------------------------------------------------------------- mouse over controls

namespace {
struct MouseWindow {
    // What the handlers saw; declared first so it outlives the window.
    std::vector<QPoint> formMoves;
    int formDowns = 0;
    int formClicks = 0;
    std::vector<QString> buttonLog;
    std::vector<QString> clickLog;  // Click and DblClick of the label, the list and the picture box
    Form window;
    Label* label;
    ListBox* list;
    TextBox* box;
    TextBox* multi;
    PictureBox* picture;
    Label* labelInPicture;
    PictureButton* button;

    MouseWindow() {
        window.resize(400, 300);
        label = new Label(&window);
        label->setCaption("Name");
        label->setGeometry(10, 10, 100, 20);
        list = new ListBox(&window, true);
        list->setGeometry(10, 40, 100, 80);
        for (const char* s : {"Orc", "Bat", "Imp", "Elf", "Yeti", "Troll", "Gnome", "Hag", "Ogre", "Wisp"}) list->AddItem(s);
        box = new TextBox(&window, 0, false);
        box->setGeometry(120, 10, 100, 19);
        multi = new TextBox(&window, 10, true);
        multi->setGeometry(120, 40, 100, 80);
        picture = new PictureBox(&window);
        picture->setGeometry(230, 10, 150, 150);
        labelInPicture = new Label(picture->client());
        labelInPicture->setCaption("Inside");
        labelInPicture->setGeometry(10, 10, 60, 20);
        button = new PictureButton(&window, 4);
        button->setGeometry(10, 200, 72, 36);
        QPixmap pm(72, 36);
        pm.fill(Qt::red);
        button->setPicture(pm);
        QObject::connect(&window, &Form::MouseMove, [this](QPoint p) { formMoves.push_back(p); });
        QObject::connect(&window, &Form::MouseDown, [this](QPoint) { ++formDowns; });
        QObject::connect(&window, &Form::Click, [this] { ++formClicks; });
        QObject::connect(button, &PictureButton::MouseMove, [this](int i) { buttonLog.push_back(QStringLiteral("move %1").arg(i)); });
        QObject::connect(button, &PictureButton::MouseDown, [this](int i) { buttonLog.push_back(QStringLiteral("down %1").arg(i)); });
        QObject::connect(button, &PictureButton::Click, [this](int i) { buttonLog.push_back(QStringLiteral("click %1").arg(i)); });
        QObject::connect(label, &Label::Click, [this] { clickLog.push_back("label click"); });
        QObject::connect(label, &Label::DblClick, [this] { clickLog.push_back("label dblclick"); });
        QObject::connect(list, &ListBox::Click, [this] { clickLog.push_back("list click"); });
        QObject::connect(picture, &PictureBox::Click, [this] { clickLog.push_back("picture click"); });
        QObject::connect(picture, &PictureBox::DblClick, [this] { clickLog.push_back("picture dblclick"); });
    }
    // Moves the pointer to a point of the window's client area, as the window
    // system delivers it (to whatever control lies there).
    void moveTo(QPoint p) { QTest::mouseMove(window.windowHandle(), p); }
};
}  // namespace

TEST(MouseOverControls, OnlyTheBackgroundReachesTheWindowsMouseMove) {
    MouseWindow w;
    ShowActive(&w.window);
    w.moveTo({300, 250});  // background
    ASSERT_EQ(w.formMoves.size(), 1u);
    EXPECT_EQ(w.formMoves.back(), QPoint(300, 250));

    const QPoint overControls[] = {
        {50, 20},    // label
        {50, 60},    // list
        {50, 110},   // list, lower rows
        {150, 15},   // single-line text box
        {150, 80},   // multi-line text box
        {300, 100},  // picture box background
        {250, 25},   // label inside the picture box
        {40, 210},   // picture button
    };
    for (const QPoint& p : overControls) {
        w.moveTo(p);
        EXPECT_EQ(w.formMoves.size(), 1u) << p.x() << "," << p.y();
    }
    w.moveTo({390, 290});
    ASSERT_EQ(w.formMoves.size(), 2u);
    EXPECT_EQ(w.formMoves.back(), QPoint(390, 290));
}

TEST(MouseOverControls, ClicksOnControlsAreNotClicksOnTheBackground) {
    MouseWindow w;
    ShowActive(&w.window);
    for (const QPoint& p : {QPoint(50, 20), QPoint(50, 60), QPoint(150, 15), QPoint(300, 100), QPoint(40, 210)}) {
        QTest::mouseClick(w.window.windowHandle(), Qt::LeftButton, {}, p);
    }
    EXPECT_EQ(w.formClicks, 0);
    EXPECT_EQ(w.formDowns, 0);
    QTest::mouseClick(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
    EXPECT_EQ(w.formDowns, 1);
    EXPECT_EQ(w.formClicks, 1);
}

TEST(MouseOverControls, OnlyThePrimaryButtonClicks) {
    MouseWindow w;
    ShowActive(&w.window);
    const QPoint places[] = {{50, 20}, {50, 50}, {300, 100}, {40, 210}, {300, 250}};
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        for (const QPoint& p : places) {
            QTest::mouseClick(w.window.windowHandle(), button, {}, p);
            QTest::mouseDClick(w.window.windowHandle(), button, {}, p);
        }
    }
    EXPECT_TRUE(w.clickLog.empty()) << w.clickLog.front().toStdString();
    EXPECT_EQ(w.list->ListIndex(), -1);
    EXPECT_EQ(std::count(w.buttonLog.begin(), w.buttonLog.end(), QString("click 4")), 0);
    EXPECT_EQ(w.formClicks, 0);

    // The primary button: one click, then the double-click, on each control.
    QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseClick(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(w.clickLog,
              std::vector<QString>({"picture click", "picture dblclick", "label click", "label dblclick", "list click"}));
}

TEST(PictureButtonEvents, MoveDownAndClickCarryTheIndex) {
    MouseWindow w;
    ShowActive(&w.window);
    w.moveTo({40, 210});
    w.moveTo({41, 211});
    EXPECT_EQ(w.buttonLog, std::vector<QString>({"move 4", "move 4"}));
    w.buttonLog.clear();

    QTest::mouseClick(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(41, 211));
    EXPECT_EQ(w.buttonLog, std::vector<QString>({"down 4", "click 4"}));
    w.buttonLog.clear();

    // Any mouse button presses it.
    QTest::mousePress(w.window.windowHandle(), Qt::RightButton, {}, QPoint(41, 211));
    EXPECT_EQ(w.buttonLog, std::vector<QString>({"down 4"}));
    QTest::mouseRelease(w.window.windowHandle(), Qt::RightButton, {}, QPoint(41, 211));
    w.buttonLog.clear();

    // Released away from the button: pressed, but no click. The button keeps
    // the mouse while it is held, so the window's background sees nothing.
    QTest::mousePress(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(41, 211));
    QTest::mouseRelease(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
    ASSERT_FALSE(w.buttonLog.empty());
    EXPECT_EQ(w.buttonLog.front(), "down 4");
    EXPECT_EQ(std::count(w.buttonLog.begin(), w.buttonLog.end(), QString("click 4")), 0);
    EXPECT_EQ(w.formClicks, 0);
    EXPECT_TRUE(w.formMoves.empty());
}

TEST(PictureButtonEvents, ADoubleClickActsOnce) {
    MouseWindow w;
    ShowActive(&w.window);
    QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, {}, QPoint(41, 211));
    EXPECT_EQ(std::count(w.buttonLog.begin(), w.buttonLog.end(), QString("click 4")), 1);
}

TEST(PictureButtonEvents, ShowsItsPictureFromTheTopLeftCorner) {
    Form window;
    PictureButton b(&window);
    b.setGeometry(0, 0, 20, 20);
    QPixmap pm(20, 20);
    pm.fill(QColor(10, 200, 30));
    b.setPicture(pm);
    EXPECT_EQ(b.picture().toImage(), pm.toImage());
    const QImage shown = b.grab().toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(10, 200, 30));
    EXPECT_EQ(shown.pixelColor(19, 19), QColor(10, 200, 30));
    EXPECT_EQ(b.focusPolicy(), Qt::NoFocus);
}
