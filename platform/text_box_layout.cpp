#include "platform/text_box_layout.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

// Words up to this many characters long are left to Qt's word wrapping: it
// measures them whole, which costs no more than the line itself.
constexpr int kLongWord = 64;

// Characters that end a word for Qt's line breaking whatever stands around
// them. Taking one too many only leaves a line to Qt's word wrapping.
bool endsWord(QChar c) {
    return c.isSpace() || c.category() == QChar::Other_Control || c == QChar::ObjectReplacementCharacter;
}

// Where the word that starts a line ends, found from the line's start on:
// blanks and the text's line-break opportunities end a word. The end found for
// one line serves the lines after it that start before it, so the text is
// searched once from start to end whatever the number of lines.
class WordEnds {
public:
    explicit WordEnds(const QString& text) : m_text(text) {}

    // The end of the word starting at `start` when that word is longer than
    // kLongWord characters, otherwise 0.
    int longWordFrom(int start) {
        if (m_end <= start) m_end = wordEnd(start);
        return m_end - start > kLongWord ? m_end : 0;
    }

private:
    int wordEnd(int start) {
        const int size = int(m_text.size());
        // A blank close by settles it without the break opportunities.
        const int reach = std::min(size, start + kLongWord + 1);
        for (int p = start + 1; p < reach; ++p)
            if (endsWord(m_text.at(p))) return p;
        if (reach - start <= kLongWord) return size;  // the text ends first
        if (!m_breaks) m_breaks.emplace(QTextBoundaryFinder::Line, m_text);
        int p = start + 1;
        for (; p < size && !endsWord(m_text.at(p)); ++p) {
            m_breaks->setPosition(p);
            if (m_breaks->isAtBoundary()) break;
        }
        return p;
    }

    const QString& m_text;
    std::optional<QTextBoundaryFinder> m_breaks;  // found when a long word first needs them
    int m_end = 0;
};

}  // namespace

TextBoxLayout::TextBoxLayout(QTextDocument* document, QWidget* viewport)
    : QPlainTextDocumentLayout(document), m_viewport(viewport) {}

QRectF TextBoxLayout::blockBoundingRect(const QTextBlock& block) const {
    if (block.isValid() && block.layout()->lineCount() == 0) const_cast<TextBoxLayout*>(this)->layOutBlock(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void TextBoxLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    QTextDocument* doc = document();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1));
    if (first.isValid() && first == last && doc->blockCount() == m_blockCount) {
        // Typing inside a paragraph: only its lines change.
        const bool hadLines = first.layout()->lineCount() > 0;
        const qreal oldHeight = hadLines ? QPlainTextDocumentLayout::blockBoundingRect(first).height() : -1;
        layOutBlock(first);
        if (QPlainTextDocumentLayout::blockBoundingRect(first).height() == oldHeight)
            emit updateBlock(first);
        else
            emit update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
        return;
    }
    m_blockCount = doc->blockCount();
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

void TextBoxLayout::layOutBlock(const QTextBlock& block) {
    QTextDocument* doc = document();
    const qreal margin = doc->documentMargin();
    QTextLayout* tl = block.layout();
    const QTextOption option = doc->defaultTextOption();
    QTextOption anywhere = option;
    anywhere.setWrapMode(QTextOption::WrapAnywhere);
    const bool wrapAtWords = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    // The text as the layout holds it: the block's, with what an input method
    // is composing.
    QString text = block.text();
    if (!tl->preeditAreaText().isEmpty()) text.insert(tl->preeditAreaPosition(), tl->preeditAreaText());
    WordEnds words(text);

    qreal width = m_viewport ? m_viewport->width() : 0;
    if (width <= 0) width = qreal(INT_MAX);  // no width yet: nothing wraps
    width -= 2 * margin;
    if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetrics(block.charFormat().font()).horizontalAdvance(QChar(0x21B5));

    tl->setTextOption(option);
    tl->beginLayout();
    qreal height = 0;
    for (;;) {
        QTextLine line = tl->createLine();
        if (!line.isValid()) break;
        line.setLeadingIncluded(true);
        bool laidOut = false;
        if (wrapAtWords) {
            const int start = line.textStart();
            if (const int wordEnd = words.longWordFrom(start)) {
                // Breaking anywhere fills the line from the word. A word more
                // than twice as long as what fits is wider than the line, and
                // Qt's word wrapping would lay the line out the same way.
                tl->setTextOption(anywhere);
                line.setLineWidth(width);
                tl->setTextOption(option);
                laidOut = wordEnd - start > 2 * line.textLength();
            }
        }
        if (!laidOut) line.setLineWidth(width);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0) height += std::ceil(line.leading());
    }
    tl->endLayout();

    const int oldLineCount = doc->lineCount();
    const_cast<QTextBlock&>(block).setLineCount(block.isVisible() ? tl->lineCount() : 0);
    // The editor sizes its scrolling from the document's line count, and lays
    // out more blocks while it does: one report at a time.
    if (doc->lineCount() != oldLineCount && !m_reportingSize) {
        m_reportingSize = true;
        emit documentSizeChanged(documentSize());
        m_reportingSize = false;
    }
}
