// The roster panel's handlers: opening a roster, Add, Remove, Clear, the two
// scroll arrows, the line highlight and the double-click that shows an entry's
// creature; and the panel's own procedures, which empty the open roster,
// shorten its names to a line and draw it. Every change of the open roster is
// saved at once.
//
// The highlight has no variable of its own: a line's text colour is its only
// record, and it belongs to the line, not to the entry shown on it.
#include <QFontMetricsF>

#include <algorithm>
#include <limits>

#include "frame/dialogs.h"
#include "frame/geometry.h"
#include "mainwindow/main_window.h"

namespace {

constexpr int kRosterLines = 8;
// A roster line is 3000 twips wide, whatever the screen's twips per pixel.
constexpr float kRosterLineTwips = 3000.0f;

bool IsHighlighted(const Label* line) { return line->foreColor() == kHighlightBlue; }

}  // namespace

void frmMain::lstRoster_Click() {
    lstRoster->hide();
    const int iItem = lstRoster->ListIndex();
    if (iItem < 0) return;
    lblRosterCurrent->setCaption(lstRoster->List(iItem));
    LoadRoster(lstRoster->ItemData(iItem));
    const qint16 nCount = m_nRosterCount;
    for (qint16 i = 0; i < nCount; ++i) FitRosterEntryName(i);
    m_nRosterTop = 0;
    ShowRoster();
}

void frmMain::imgAdd_Click() {
    if (lblRosterCurrent->caption().isEmpty() || lblName->caption().isEmpty()) return;
    // The shown creature is the one selected in the creature list.
    const int iCreature = lstCreature->ListIndex();
    if (iCreature < 0) return;
    // The count is a 16-bit number: a full roster takes no more entries.
    if (m_nRosterCount >= std::numeric_limits<qint16>::max()) return;

    // The new name, whole, against the stored (already shortened) display
    // names, by character code; equal names go after the ones already there.
    const QString sName = lblName->caption();
    qint16 iPos = 0;
    while (iPos < m_nRosterCount && !(sName < m_asRosterName[iPos])) ++iPos;

    m_asRosterName.insert(iPos, sName);
    m_alRosterCreatureID.insert(iPos, lstCreature->ItemData(iCreature));
    ++m_nRosterCount;
    FitRosterEntryName(iPos);
    SaveRoster();
    ShowRoster();
}

void frmMain::imgRemove_Click() {
    if (lblRosterCurrent->caption().isEmpty() || lblRosterEntry[0]->caption().isEmpty()) return;

    int iLine = 0;
    while (iLine < kRosterLines && !IsHighlighted(lblRosterEntry[size_t(iLine)])) ++iLine;
    if (iLine == kRosterLines) return;
    lblRosterEntry[size_t(iLine)]->setForeColor(kDarkBrown);

    const int k = m_nRosterTop + iLine;
    if (k >= m_nRosterCount) return;   // a blank line: nothing to remove

    m_asRosterName.removeAt(k);
    m_alRosterCreatureID.removeAt(k);
    --m_nRosterCount;
    SaveRoster();
    if (m_nRosterTop != 0 && m_nRosterCount - m_nRosterTop < kRosterLines) --m_nRosterTop;
    ShowRoster();
}

void frmMain::imgClear_Click() {
    if (lblRosterCurrent->caption().isEmpty()) return;
    // The looks are not reset first: Clear keeps its pressed look while asked.
    ShowAreYouSure(this);
    if (giAreYouSureResult != 1) ClearRoster(1);
}

void frmMain::imgRosterScroll_Click(int Index) {
    // An arrow is shown only when there is an entry to scroll to, so a click
    // always has one; the offset never goes below 0 all the same.
    if (Index == 0 && m_nRosterTop > 0) --m_nRosterTop;
    else if (Index == 1 && m_nRosterTop < m_nRosterCount) ++m_nRosterTop;
    ShowRoster();
}

void frmMain::lblRosterEntry_Click(int Index) {
    if (Index < 0 || Index >= kRosterLines) return;
    for (int i = 0; i < kRosterLines; ++i)
        if (i != Index) lblRosterEntry[size_t(i)]->setForeColor(kDarkBrown);
    Label* line = lblRosterEntry[size_t(Index)];
    line->setForeColor(IsHighlighted(line) ? kDarkBrown : kHighlightBlue);
}

void frmMain::lblRosterEntry_DblClick(int Index) {
    if (Index < 0 || Index >= kRosterLines) return;
    if (lblRosterEntry[0]->caption().isEmpty()) return;
    // The click that came first has toggled the line; a double-click leaves it normal.
    lblRosterEntry[size_t(Index)]->setForeColor(kDarkBrown);
    const int k = m_nRosterTop + Index;
    if (k >= m_nRosterCount) return;

    // The entry's category by the creature's category ID, then the creature
    // by its ID, each selection running its list's click handling.
    ShowCreatureByID(m_alRosterCreatureID[k]);
}

void frmMain::ClearRoster(qint16 iSave) {
    m_nRosterCount = 0;
    m_nRosterTop = 0;
    m_asRosterName.clear();
    m_alRosterCreatureID.clear();
    // The roster is emptied on purpose: nothing unread is kept for it.
    m_rosterUnread = UnreadRosterEntries{};
    if (iSave != 0) SaveRoster();
    ShowRoster();
}

void frmMain::FitRosterEntryName(qint16 i) {
    // A line draws its caption with word wrap, laying the text out with
    // fractional character advances: a caption wider than the line by even a
    // fraction of a pixel wraps, and what wraps falls onto a hidden second
    // line. So a caption is measured as it is laid out, not rounded to whole
    // pixels. It fits when it is at most 3000 twips wide and, on a screen where
    // 3000 twips are more than a line's pixels, no wider than the line.
    const QFontMetricsF metrics(lblSizing->font());
    const double lineWidthPx = lblRosterEntry[0]->width();
    const auto widthOf = [&](const QString& caption) { return metrics.horizontalAdvance(caption); };
    const auto tooWide = [&](double widthPx) {
        return float(widthPx) * float(glTwipsPerPixelX) > kRosterLineTwips || widthPx > lineWidthPx;
    };
    const QString name = m_asRosterName[i];
    lblSizing->setCaption(name);
    const double nameWidth = widthOf(name);
    if (!tooWide(nameWidth)) return;
    // The longest start of the name that fits with "..." after it (none at all
    // when even "..." alone is too wide). A longer start is never narrower, so
    // any search finds the cut that dropping one character at a time finds.
    // Measuring is what costs, so the search starts where the name's average
    // character width puts the cut, usually within a character or two of it,
    // widens its steps from there until the cut is bracketed, then bisects.
    const QString dots = QStringLiteral("...");
    const qsizetype n = name.size();
    const auto fits = [&](qsizetype k) { return !tooWide(widthOf(name.left(k) + dots)); };
    const double roomPx = std::min(double(kRosterLineTwips) / glTwipsPerPixelX, lineWidthPx) - widthOf(dots);
    const qsizetype guess = qBound<qsizetype>(0, qsizetype(roomPx * double(n) / nameWidth), n);
    qsizetype fitting = 0;   // the cut is at least this (0 also when nothing fits)
    qsizetype wide = n + 1;  // every start from here on is too wide
    qsizetype step = 1;
    if (fits(guess)) {
        fitting = guess;
        while (fitting + step < wide) {
            if (!fits(fitting + step)) {
                wide = fitting + step;
                break;
            }
            fitting += step;
            step *= 2;
        }
    } else {
        wide = guess;
        while (wide - step > fitting) {
            if (fits(wide - step)) {
                fitting = wide - step;
                break;
            }
            wide -= step;
            step *= 2;
        }
    }
    while (wide - fitting > 1) {
        const qsizetype mid = fitting + (wide - fitting) / 2;
        if (fits(mid)) fitting = mid;
        else wide = mid;
    }
    const QString fitted = name.left(fitting) + dots;
    lblSizing->setCaption(fitted);
    m_asRosterName[i] = fitted;
}

void frmMain::ShowRoster() {
    const int count = m_nRosterCount;
    const int top = m_nRosterTop;
    imgRosterScroll[0]->setVisible(top != 0);
    imgRosterScroll[1]->setVisible(count - top > kRosterLines);
    for (Label* line : lblRosterEntry) line->setCaption(QString());
    for (int i = 0; i < kRosterLines && top + i < count; ++i)
        lblRosterEntry[size_t(i)]->setCaption(m_asRosterName[top + i]);
}
