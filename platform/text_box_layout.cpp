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

// Thai, whose words Qt finds with a dictionary: its letters count as word
// ends here, so Thai text is left to Qt's word wrapping as it is.
bool isDictionaryScript(QChar c) {
    return c.script() == QChar::Script_Thai;
}

// Characters that end a word for Qt's line breaking whatever stands around
// them (blanks other than the no-break spaces, controls, embedded objects),
// and the letters above. Taking one too many only leaves a line to Qt's word
// wrapping.
bool endsWord(QChar c) {
    if (c.isSpace()) return c.decompositionTag() != QChar::NoBreak;
    return c.category() == QChar::Other_Control || c == QChar::ObjectReplacementCharacter || isDictionaryScript(c);
}

// Qt's layout breaks Korean at blanks only: no break between two Hangul letters.
bool isHangul(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F) || (u >= 0xA960 && u <= 0xA97F) ||
           (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xD7B0 && u <= 0xD7FF);
}

// Where the word that starts a line ends, found from the line's start on. The
// end found for one line serves the lines after it that start before it, so
// the text is searched once from start to end whatever the number of lines.
class WordEnds {
public:
    explicit WordEnds(const QString& text) : m_text(text), m_size(int(text.size())) {}

    // The end of the word starting at `start` when that word is longer than
    // kLongWord characters, otherwise 0.
    int longWordFrom(int start) {
        if (m_end <= start) m_end = wordEnd(start);
        return m_end - start > kLongWord ? m_end : 0;
    }

private:
    bool endsWordAt(int p) const { return p >= m_size || endsWord(m_text.at(p)); }

    int wordEnd(int start) {
        if (endsWordAt(start)) return start + 1;
        // A word end close by settles it.
        const int reach = std::min(m_size, start + kLongWord + 1);
        int p = start + 1;
        while (p < reach && !endsWord(m_text.at(p))) ++p;
        if (p - start <= kLongWord) return p;
        // A long run of characters between word ends: where the text may
        // break inside it (hyphens, slashes, ideographs...), worked out for the
        // whole run, which is all the context its breaks depend on.
        if (start < m_runStart || start >= m_runEnd) {
            m_runStart = start;
            while (m_runStart > 0 && !endsWordAt(m_runStart - 1)) --m_runStart;
            m_runEnd = p;
            while (!endsWordAt(m_runEnd)) ++m_runEnd;
            m_breaks.emplace(QTextBoundaryFinder::Line, m_text.constData() + m_runStart, m_runEnd - m_runStart,
                             nullptr, 0);
        }
        for (p = start + 1; p < m_runEnd; ++p) {
            m_breaks->setPosition(p - m_runStart);
            if (m_breaks->isAtBoundary() && !(isHangul(m_text.at(p - 1)) && isHangul(m_text.at(p)))) break;
        }
        return p;
    }

    const QString& m_text;
    const int m_size;
    int m_end = 0;  // the end of the word found last
    // The long run around the line's start and its break opportunities.
    int m_runStart = 0, m_runEnd = 0;
    std::optional<QTextBoundaryFinder> m_breaks;
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

    // Until the editor has its size (it gets it when first shown, or shown
    // again after a resize while hidden, and then lays its text out again),
    // lines are not wrapped: no work is spent on a width that will change.
    const QWidget* editor = m_viewport ? m_viewport->parentWidget() : nullptr;
    qreal width = m_viewport ? m_viewport->width() : 0;
    if (!editor || editor->testAttribute(Qt::WA_PendingResizeEvent) || width <= 0) width = qreal(INT_MAX);
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
