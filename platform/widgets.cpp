#include "platform/widgets.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <limits>
#include <optional>

#include "platform/input_runs.h"
#include "platform/text_box_layout.h"

namespace {

long roundDiv(long num, long den) {
    if (den <= 0) return num;
    // Nearest pixel, halves away from zero (positions are whole pixels in practice).
    const long q = num / den;
    const long r = num % den;
    if (2 * std::labs(r) >= den) return q + (num < 0 ? -1 : 1);
    return q;
}

// Every control keeps the mouse to itself, so the window's background handlers
// only see movements and clicks over the background.
void keepMouseEvents(QWidget* w) { w->setAttribute(Qt::WA_NoMousePropagation); }

}  // namespace

void SetTwipsGeometry(QWidget* w, long leftTw, long topTw, long widthTw, long heightTw, long tppX, long tppY) {
    const int x = int(roundDiv(leftTw, tppX));
    const int y = int(roundDiv(topTw, tppY));
    const int width = std::max(0, int(roundDiv(widthTw, tppX)));
    const int height = std::max(0, int(roundDiv(heightTw, tppY)));
    w->setGeometry(x, y, width, height);
}

void SetProgramFont(QWidget* w, bool bold, bool italic) {
    QFont f = w->font();
    f.setFamily(kProgramFace);
    f.setBold(bold);
    f.setItalic(italic);
    w->setFont(f);
}

// ---------------------------------------------------------------- Form

Form::Form(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kParchment);
    setPalette(p);
}

void Form::setBackground(const QPixmap& pm) {
    m_background = pm;
    update();
}

void Form::setOuterSizePx(int width, int height) {
    setFixedSize(std::max(0, width - 2 * kFrameBorderPx), std::max(0, height - 2 * kFrameBorderPx - kCaptionPx));
}

namespace {

// The top-left corner that centres a rectangle of that size on the form's
// screen's available area.
std::optional<QPoint> CentredCorner(const QWidget* form, QSize size) {
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    const QRect avail = screen->availableGeometry();
    return QPoint(avail.x() + (avail.width() - size.width()) / 2, avail.y() + (avail.height() - size.height()) / 2);
}

// Centres the frame an X11 window manager draws around a form, once, as soon
// as the form is first on the screen. Before that, the frame's size is not
// known (the window manager makes it when the window is mapped), so the form
// was placed for the frame it is expected to get. When the window system then
// reports a frame, the form is moved so that this real frame is centred;
// without one (no window manager, a window without a frame) it stays where it
// is. Only on X11 does a window manager frame a window the program placed
// itself: elsewhere (the offscreen platform and its made-up frame, Wayland,
// where the compositor places windows) the form stays where it was placed. It
// is done once, when the window is first exposed: a window the user moved
// afterwards stays put.
class FramePlacer : public QObject {
public:
    static constexpr const char* kName = "framePlacer";

    explicit FramePlacer(QWidget* form) : QObject(form), m_form(form) {
        setObjectName(QLatin1String(kName));
        if (QWindow* window = form->windowHandle()) window->installEventFilter(this);
        else form->installEventFilter(this);  // the window is made before the form is shown
    }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (obj == m_form) {
            if (ev->type() == QEvent::Show && m_form->windowHandle()) {
                m_form->removeEventFilter(this);
                m_form->windowHandle()->installEventFilter(this);
            }
        } else if (ev->type() == QEvent::Expose && m_form->windowHandle() && m_form->windowHandle()->isExposed()) {
            obj->removeEventFilter(this);
            place();
            deleteLater();
        }
        return false;
    }

private:
    void place() {
        const QMargins frame = m_form->windowHandle() ? m_form->windowHandle()->frameMargins() : QMargins();
        if (!frame.isNull()) {
            const QRect client = m_form->geometry();
            const QSize outer = client.size().grownBy(frame);
            if (const std::optional<QPoint> corner = CentredCorner(m_form, outer)) {
                const QPoint clientCorner = *corner + QPoint(frame.left(), frame.top());
                if (clientCorner != client.topLeft()) m_form->setGeometry(QRect(clientCorner, client.size()));
            }
        }
    }

    QWidget* m_form;
};

}  // namespace

void Form::centreOnScreen() {
    if (const std::optional<QPoint> corner = CentredCorner(this, outerSizePx())) move(*corner);
    const bool bOnScreen = windowHandle() && windowHandle()->isExposed();
    if (!bOnScreen && QGuiApplication::platformName() == QLatin1String("xcb") &&
        !findChild<QObject*>(FramePlacer::kName, Qt::FindDirectChildrenOnly)) new FramePlacer(this);
}

void Form::paintEvent(QPaintEvent*) {
    if (m_background.isNull()) return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_background);
}

void Form::mouseMoveEvent(QMouseEvent* e) { emit MouseMove(e->position().toPoint()); }

void Form::mousePressEvent(QMouseEvent* e) {
    m_pressed = e->button() == Qt::LeftButton;
    emit MouseDown(e->position().toPoint());
}

void Form::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && rect().contains(e->position().toPoint())) emit Click();
}

// ---------------------------------------------------------------- PictureButton

PictureButton::PictureButton(QWidget* parent, int index) : QWidget(parent), m_index(index) {
    setMouseTracking(true);
    keepMouseEvents(this);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setPicture(const QPixmap& pm) {
    m_picture = pm;
    update();
}

void PictureButton::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}

void PictureButton::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    emit MouseMove(m_index);
}

void PictureButton::mousePressEvent(QMouseEvent* e) {
    e->accept();
    // Any mouse button presses the button; only the primary one clicks it.
    m_pressed = e->button() == Qt::LeftButton;
    emit MouseDown(m_index);
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double-click is the double-click itself: the first
    // click has acted already, so one double-click never acts twice (it would
    // add a creature twice, or switch the lock on and off again).
    e->accept();
    m_pressed = false;
}

void PictureButton::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && rect().contains(e->position().toPoint())) emit Click(m_index);
}

// ---------------------------------------------------------------- Label

Label::Label(QWidget* parent, int index) : QWidget(parent), m_index(index) {
    keepMouseEvents(this);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void Label::setCaption(const QString& text) {
    if (text == m_caption) return;
    m_caption = text;
    if (m_autoSize) fitToCaption();
    update();
}

void Label::setAlignment(Qt::Alignment a) {
    m_alignment = a;
    update();
}

void Label::setAutoSize(bool on) {
    m_autoSize = on;
    if (on) fitToCaption();
}

void Label::setLiteralAmpersand(bool on) {
    m_literalAmpersand = on;
    if (m_autoSize) fitToCaption();
    update();
}

void Label::setForeColor(const QColor& c) {
    if (c == m_foreColor) return;
    m_foreColor = c;
    update();
}

QString Label::displayText() const {
    if (m_literalAmpersand) return m_caption;
    QString out;
    out.reserve(m_caption.size());
    for (qsizetype i = 0; i < m_caption.size(); ++i) {
        const QChar c = m_caption[i];
        if (c == QLatin1Char('&') && i + 1 < m_caption.size()) {
            ++i;
            out += m_caption[i];  // "&&" gives one ampersand, "&x" gives x
        } else {
            out += c;
        }
    }
    return out;
}

int Label::textFlags() const {
    int flags = int(m_alignment);
    if (!m_autoSize && !captionFitsWidth()) flags |= Qt::TextWordWrap;
    if (!m_literalAmpersand) flags |= Qt::TextShowMnemonic;
    return flags;
}

bool Label::captionFitsWidth() const {
    // A label of fixed size wraps a caption wider than itself at its blanks;
    // a caption whose advance fits its width is drawn on one line. Qt's wrap
    // alone would also count the overhang of the last glyph past its advance
    // (the stroke of a t or a y), and push the last word of a caption that
    // fits by a fraction of a pixel onto a line below.
    const QFontMetricsF metrics(font());
    const QStringList lines = displayText().split(QLatin1Char('\n'));
    return std::all_of(lines.begin(), lines.end(), [&](const QString& line) { return metrics.horizontalAdvance(line) <= width(); });
}

void Label::fitToCaption() {
    const QFontMetrics fm(font());
    resize(fm.horizontalAdvance(displayText()), fm.height());
}

void Label::paintEvent(QPaintEvent*) {
    if (m_caption.isEmpty()) return;
    QPainter p(this);
    p.setFont(font());
    p.setPen(m_foreColor);
    p.drawText(rect(), textFlags(), m_caption);
}

void Label::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange && m_autoSize) fitToCaption();
    QWidget::changeEvent(e);
}

void Label::mousePressEvent(QMouseEvent* e) {
    e->accept();
    m_pressed = e->button() == Qt::LeftButton;
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && rect().contains(e->position().toPoint())) emit Click(m_index);
}

void Label::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    m_pressed = false;
    if (e->button() == Qt::LeftButton) emit DblClick(m_index);
}

void Label::mouseMoveEvent(QMouseEvent* e) { e->accept(); }

// ---------------------------------------------------------------- ListBox

namespace {
// Draws an item's text as it is, on its one line: a line break in it starts
// no second line (which the item has no room for, and which would end the
// first in "...").
class ListItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale&) const override { return value.toString(); }
};
}  // namespace

ListBox::ListBox(QWidget* parent, bool sorted) : QListWidget(parent), m_sorted(sorted) {
    keepMouseEvents(this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // An item too long for the list is cut at the list's edge, not shortened
    // with "...", and never wraps.
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setItemDelegate(new ListItemDelegate(this));
    setFrameShape(QFrame::Box);
    QPalette p = palette();
    p.setColor(QPalette::Base, kParchment);
    setPalette(p);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_quiet) return;
        if (ListIndex() >= 0) emit Click();
    });
}

bool ListBox::ListOrderLess(const QString& a, const QString& b) {
    const int ci = QString::compare(a, b, Qt::CaseInsensitive);
    if (ci != 0) return ci < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

int ListBox::AddItem(const QString& text) {
    int pos = count();
    if (m_sorted) {
        // Binary search for the first item that sorts after the new one, so
        // equal texts keep the order in which they were added.
        int lo = 0, hi = count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (ListOrderLess(text, item(mid)->text())) hi = mid;
            else lo = mid + 1;
        }
        pos = lo;
    }
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    insertItem(pos, text);
    m_quiet = wasQuiet;
    m_newIndex = pos;
    return pos;
}

void ListBox::AddPresorted(const QStringList& texts, const QList<qint32>& data) {
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    setUpdatesEnabled(false);
    // All rows go in with one insertion, then each gets its data: the view
    // handles one insertion instead of one per item.
    const int first = count();
    addItems(texts);
    for (qsizetype i = 0; i < texts.size(); ++i)
        item(first + int(i))->setData(Qt::UserRole, i < data.size() ? data[i] : 0);
    setUpdatesEnabled(true);
    m_quiet = wasQuiet;
    m_newIndex = count() - 1;
}

void ListBox::setItemData(int index, qint32 data) {
    if (QListWidgetItem* it = item(index)) it->setData(Qt::UserRole, data);
}

qint32 ListBox::ItemData(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->data(Qt::UserRole).toInt() : 0;
}

QString ListBox::List(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

int ListBox::ListIndex() const {
    // One item at most is selected, and it is the current one whenever the
    // selection was made by the program or the user: asked without building
    // the selection's list, as operations ask for it once per row they store.
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isSelected(current)) return current.row();
    const QModelIndexList sel = selectionModel()->selectedIndexes();
    return sel.isEmpty() ? -1 : sel.first().row();
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= count()) return;
    if (index == ListIndex()) return;
    m_quiet = true;
    if (index < 0) {
        clearSelection();
    } else {
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    m_quiet = false;
    if (index >= 0) emit Click();
}

void ListBox::Clear() {
    m_quiet = true;
    clear();
    m_quiet = false;
    m_newIndex = -1;
}

void ListBox::setVisible(bool visible) {
    const bool bChanges = isHidden() == visible;
    QListWidget::setVisible(visible);
    if (bChanges) EndInputRuns();
}

void ListBox::mousePressEvent(QMouseEvent* e) {
    e->accept();
    // Only the primary button picks an item; the others leave the selection alone.
    if (e->button() != Qt::LeftButton) return;
    // A press below the last item picks nothing and keeps the selection: the
    // current category, creature or roster must not be lost to a stray click.
    if (!itemAt(e->position().toPoint())) return;
    // The selection follows the press, but the pick counts when the button is
    // released over an item.
    m_quiet = true;
    m_pressIndex = ListIndex();
    QListWidget::mousePressEvent(e);
}

void ListBox::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(e);
    e->accept();
    const bool wasPress = m_quiet;
    m_quiet = false;
    if (!wasPress) return;
    // The pick counts when the button is released over the selected item, and
    // also when a drag moved the selection and the button was released
    // elsewhere: the selection never changes without its click handling.
    const int picked = ListIndex();
    const QListWidgetItem* it = itemAt(e->position().toPoint());
    if (picked >= 0 && (picked != m_pressIndex || (it && row(it) == picked))) emit Click();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* e) {
    // The first click of a double-click has already picked the item.
    e->accept();
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    // Every pick and move of the user selects the item it lands on in place of
    // the one selected before, whatever modifiers are held: Ctrl and Shift
    // neither toggle nor deselect an item, nor move the current item apart
    // from the selection, so the list never loses its selected item to the
    // user's hand. A place without an item and the release of the button
    // that picked change nothing.
    if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease)) return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect;
}

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(QWidget* parent, int index, bool multiLine) : QWidget(parent), m_index(index), m_multiLine(multiLine) {
    keepMouseEvents(this);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    QPalette p = palette();
    p.setColor(QPalette::Base, kParchment);
    p.setColor(QPalette::Text, Qt::black);
    QWidget* ed;
    if (multiLine) {
        m_multi = new QPlainTextEdit(this);
        // Its own document, laid out by TextBoxLayout: a word of any length
        // wraps in time that grows with its length alone.
        auto* doc = new QTextDocument(m_multi);
        auto* layout = new TextBoxLayout(doc, m_multi->viewport());
        layout->setPaintDevice(m_multi->viewport());
        doc->setDocumentLayout(layout);
        doc->setDefaultFont(m_multi->font());
        m_multi->setDocument(doc);
        m_multi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_multi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_multi->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_multi->setTabChangesFocus(true);
        m_multi->document()->setDocumentMargin(1);
        ed = m_multi;
    } else {
        m_line = new QLineEdit(this);
        m_line->setMaxLength(std::numeric_limits<int>::max());
        m_line->setTextMargins(0, 0, 0, 0);
        ed = m_line;
    }
    ed->setPalette(p);
    ed->setAttribute(Qt::WA_NoMousePropagation);
    ed->installEventFilter(this);
    lay->addWidget(ed);
    setFocusProxy(ed);
    setFocusPolicy(Qt::StrongFocus);
}

QWidget* TextBox::editor() const { return m_multi ? static_cast<QWidget*>(m_multi) : m_line; }

QString TextBox::text() const {
    if (!m_multi) return m_line->text();
    // The editor keeps line breaks as paragraph breaks, whatever form they
    // had (CR LF, LF, a lone CR): while the document still holds exactly what
    // was loaded, the loaded text comes back as it was, byte for byte.
    QString shown = m_multi->document()->toRawText();
    if (shown == m_loadedShown) return m_loaded;
    // Edited: a paragraph break is stored as CR LF; no-break spaces and line
    // separators stay what they are.
    shown.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return shown;
}

void TextBox::setText(const QString& t) {
    if (m_multi) {
        if (text() != t) m_multi->setPlainText(t);
        m_loaded = t;
        m_loadedShown = m_multi->document()->toRawText();
    } else {
        // A single-line box shows the text as given; line breaks stay in the text.
        if (m_line->text() != t) m_line->setText(t);
        m_line->setCursorPosition(0);
    }
}

void TextBox::selectAll() {
    if (m_multi) m_multi->selectAll();
    else m_line->selectAll();
}

int TextBox::selStart() const {
    if (m_multi) return m_multi->textCursor().selectionStart();
    return m_line->hasSelectedText() ? m_line->selectionStart() : m_line->cursorPosition();
}

int TextBox::selLength() const {
    if (m_multi) {
        const QTextCursor c = m_multi->textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    return int(m_line->selectedText().size());
}

namespace {

// The box that holds the focus as the program sees it: it has raised GotFocus
// and not yet LostFocus. Qt takes the keyboard focus away from it for a while
// when another application becomes active, when a context menu opens and while
// a message box is up; none of these is a leaving of the box.
QPointer<TextBox>& boxWithFocus() {
    static QPointer<TextBox> box;
    return box;
}

// Whether Qt's focus leaving for this reason leaves the box where the program
// is concerned. The focus only leaves for another control of the program:
// within the window, or in another of its windows (a dialog of its own).
bool focusLeavesTheProgramsBox(Qt::FocusReason reason) {
    if (reason == Qt::PopupFocusReason) return false;  // a context menu
    if (reason != Qt::ActiveWindowFocusReason) return true;
    // The window lost the activation: to another application (no active
    // window of ours), to a message box, or to another window of ours.
    QWidget* active = QApplication::activeWindow();
    return active && !qobject_cast<QMessageBox*>(active);
}

bool isControlCharacter(char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// The character code a key hands to KeyPress, 0 for a key that raises none.
// A key press is a key that gives a character: a printable character,
// Backspace (8), Enter (13), Escape (27) or Ctrl with a letter (1 to 26).
// Delete, the arrows, Home, End, Insert, the function keys and Tab raise none,
// even where the keyboard gives them a text (X11 gives Delete the text
// U+007F): a deletion with Delete alone marks nothing.
int keyAsciiOf(const QKeyEvent* ke) {
    const int key = ke->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Ctrl+Enter is a line feed, plain Enter a carriage return.
        return (ke->modifiers() & Qt::ControlModifier) ? 10 : 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = ke->modifiers();
    // Ctrl with Alt is AltGr on some systems, and types what the keyboard shows.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return key - Qt::Key_A + 1;
        return 0;
    }
    // Keys outside the character range are the editing, movement and function keys.
    if (key >= Qt::Key_Escape && key != Qt::Key_unknown) return 0;
    const QString t = ke->text();
    if (t.isEmpty() || isControlCharacter(t.at(0).unicode())) return 0;
    return t.at(0).unicode();
}

}  // namespace

void TextBox::enterFocus() {
    QPointer<TextBox>& holder = boxWithFocus();
    // Back from another application, a context menu or a message box.
    if (holder == this) return;
    // A box whose window lost the focus to this one without hearing where it went.
    if (TextBox* left = holder) {
        holder = nullptr;
        emit left->LostFocus(left->m_index);
    }
    holder = this;
    emit GotFocus(m_index);
}

void TextBox::leaveFocus(Qt::FocusReason reason) {
    QPointer<TextBox>& holder = boxWithFocus();
    // Qt can move its focus away from a box that the program never saw entered:
    // a message box that opens while the focus moves on from another box.
    if (holder != this || !focusLeavesTheProgramsBox(reason)) return;
    holder = nullptr;
    emit LostFocus(m_index);
}

bool TextBox::eventFilter(QObject* obj, QEvent* ev) {
    if (obj == editor()) {
        switch (ev->type()) {
        case QEvent::FocusIn:
            // A context menu takes the focus for a moment: its selection must stay for Cut or Copy.
            if (static_cast<QFocusEvent*>(ev)->reason() != Qt::PopupFocusReason) enterFocus();
            break;
        case QEvent::FocusOut:
            leaveFocus(static_cast<QFocusEvent*>(ev)->reason());
            break;
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(ev);
            const bool bEnter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
            if (const int keyAscii = keyAsciiOf(ke)) emit KeyPress(m_index, keyAscii);
            // Enter adds nothing to a single-line box.
            if (!m_multiLine && bEnter) return true;
            // In a multi-line box Enter starts a new line whatever is held with
            // it: the editor would make Shift+Enter a line separator (stored as
            // U+2028, not as a new line) and Ctrl+Enter nothing at all.
            if (bEnter && (ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
                m_multi->textCursor().insertBlock();
                m_multi->ensureCursorVisible();
                return true;
            }
            break;
        }
        case QEvent::InputMethod: {
            // Characters composed by an input method (dead keys, compose
            // sequences) are typed characters too.
            const QString committed = static_cast<QInputMethodEvent*>(ev)->commitString();
            for (const QChar c : committed)
                if (!isControlCharacter(c.unicode())) emit KeyPress(m_index, c.unicode());
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(obj, ev);
}

// ---------------------------------------------------------------- PictureBox

namespace {
class PictureBoxClient : public QWidget {
public:
    PictureBoxClient(QWidget* parent, const QPixmap* bg, const QImage* pic) : QWidget(parent), m_bg(bg), m_pic(pic) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kParchment);
        if (!m_bg->isNull()) p.drawPixmap(0, 0, *m_bg);
        if (!m_pic->isNull()) {
            QSize s = m_pic->size();
            if (s.width() > width() || s.height() > height()) s.scale(size(), Qt::KeepAspectRatio);
            const QRect target(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(target, *m_pic);
        }
    }

private:
    const QPixmap* m_bg;
    const QImage* m_pic;
};
}  // namespace

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    keepMouseEvents(this);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    m_client = new PictureBoxClient(this, &m_background, &m_picture);
    m_client->installEventFilter(this);
    m_client->setGeometry(contentsRect());
}

void PictureBox::setBackground(const QPixmap& pm) {
    m_background = pm;
    m_client->update();
}

void PictureBox::setPicture(const QImage& img) {
    m_picture = img;
    m_client->update();
}

void PictureBox::clearPicture() {
    m_picture = QImage();
    m_client->update();
}

void PictureBox::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    m_client->setGeometry(contentsRect());
}

bool PictureBox::eventFilter(QObject* obj, QEvent* ev) {
    if (obj == m_client) {
        // Only the primary button clicks; the second press of a double-click
        // is the double-click, and its release is no further click.
        switch (ev->type()) {
        case QEvent::MouseButtonPress:
            m_pressed = static_cast<QMouseEvent*>(ev)->button() == Qt::LeftButton;
            break;
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(ev);
            if (me->button() != Qt::LeftButton) return true;
            const bool wasPressed = m_pressed;
            m_pressed = false;
            if (wasPressed && m_client->rect().contains(me->position().toPoint())) emit Click();
            return true;
        }
        case QEvent::MouseButtonDblClick:
            m_pressed = false;
            if (static_cast<QMouseEvent*>(ev)->button() == Qt::LeftButton) emit DblClick();
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(obj, ev);
}
