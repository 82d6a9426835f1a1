// Picking a creature whose description is one word of a million characters,
// against one whose description is a million characters of ordinary words.
#include <sqlite3.h>

#include <cstdlib>

#include "bench_support.h"
#include "mainwindow/main_window.h"

namespace {

constexpr int kDescriptionLength = 1000000;

// A million characters of ordinary words, and the same letters without a blank.
QString Words() {
    const QString sentence = QStringLiteral("the old dragon sleeps under the mountain on a hoard of gold and wakes "
                                            "when thieves come near with torches and ropes ");
    QString text = sentence.repeated(kDescriptionLength / int(sentence.size()) + 1);
    text.truncate(kDescriptionLength);
    return text;
}

QString OneWord() {
    QString letters = Words().remove(u' ');
    QString text = letters.repeated(kDescriptionLength / int(letters.size()) + 1);
    text.truncate(kDescriptionLength);
    return text;
}

// A program folder whose one category holds the two creatures.
QString LongWordsFolder() {
    const QString folder = CopyOfProgramFolder(DatabaseKind::Empty, QStringLiteral("long-words"));
    BareDatabase db(DatabaseIn(folder));
    if (db.Scalar("SELECT count(*) FROM Creatures") == 0) {
        db.Exec("INSERT INTO Categories (Name) VALUES ('Giants')");
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db.db(), "INSERT INTO Creatures (IDCategory, Name, Description) VALUES (1, ?1, ?2)", -1, &s,
                           nullptr);
        for (const auto& [name, description] : {std::pair{QStringLiteral("One word"), OneWord()},
                                                 std::pair{QStringLiteral("Words"), Words()}}) {
            const QByteArray n = name.toUtf8(), d = description.toUtf8();
            sqlite3_bind_text(s, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(s, 2, d.constData(), int(d.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(s) != SQLITE_DONE) std::abort();
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
    }
    return folder;
}

int RowOf(const ListBox* list, const QString& text) {
    for (int i = 0; i < list->ListCount(); ++i)
        if (list->List(i) == text) return i;
    return -1;
}

// lstCreature_Click and the window painted: the record loaded into the sheet,
// the description box laid out and shown. The one-word description against the
// description of words; each pick replaces the other's text.
void BM_PickCreatureWithAMillionCharacterWord(benchmark::State& state) {
    const QString folder = LongWordsFolder();
    auto w = StartMainWindow(folder);
    const int rowWord = RowOf(w->lstCreature, QStringLiteral("One word"));
    const int rowWords = RowOf(w->lstCreature, QStringLiteral("Words"));
    if (rowWord < 0 || rowWords < 0) return state.SkipWithError("the two creatures are not listed");
    auto pick = [&](int row) {
        w->lstCreature->setListIndex(row);
        w->repaint();
    };
    pick(rowWords);   // the start showed the first creature: every timed pick loads its text afresh
    PairedTimer timer(1.5);
    for (auto _ : state) {
        w->lstCreature->setListIndex(-1);
        timer.Subject(state, [&] { pick(rowWord); });
        if (w->txtStatText[10]->text().size() != kDescriptionLength || w->txtStatText[10]->text().contains(u' '))
            return state.SkipWithError("the one-word description was not shown");
        w->lstCreature->setListIndex(-1);
        timer.Baseline([&] { pick(rowWords); });
    }
    if (w->txtStatText[10]->text() != Words()) return state.SkipWithError("the description of words was not shown");
    if (FailOnMessageBoxes(state)) return;
    timer.Report(state);
}
BENCHMARK(BM_PickCreatureWithAMillionCharacterWord)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
