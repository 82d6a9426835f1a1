#pragma once
// The layout of a multi-line text box's document: Qt's plain-text layout, with
// lines broken the way Qt's word wrapping breaks them (at blanks and other
// break opportunities where it can, a word wider than the line where the line
// ends), in time that grows with the text's length, however long its words.
//
// Qt's word wrapping measures the word that starts a line to its end before
// it finds the word too wide and lays the line out again, breaking anywhere.
// Inside a word of n characters that is n characters of work for every line,
// so a long text without a blank took time growing with its square (a word of
// a million characters: minutes). Here a line that starts a word more than
// twice as long as the line can hold is broken anywhere at once, which gives
// the same line without measuring the rest of the word; every other line is
// left to Qt's word wrapping.
//
// For an editor whose lines wrap at the width of its viewport (the box never
// scrolls sideways): the layout fills the viewport's width less the document
// margin on either side.
#include <QPlainTextDocumentLayout>
#include <QPointer>

class TextBoxLayout : public QPlainTextDocumentLayout {
public:
    TextBoxLayout(QTextDocument* document, QWidget* viewport);

    // Lays the block out first when it has no lines yet.
    QRectF blockBoundingRect(const QTextBlock& block) const override;

protected:
    // A change inside one block lays that block out again here; every other
    // change is the plain-text layout's (it drops the changed blocks' lines,
    // and they are laid out again here when next asked for).
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    void layOutBlock(const QTextBlock& block);
    QPointer<QWidget> m_viewport;
    int m_blockCount = 1;         // the document's blocks at the last change
    bool m_reportingSize = false; // documentSizeChanged is being delivered
};
