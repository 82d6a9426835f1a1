#pragma once
// The window layer: thin Qt widgets that behave the way the program's windows
// expect their controls to behave.
//
// - Geometry is given in twips and shown in pixels (SetTwipsGeometry).
// - A mouse event over a control belongs to that control alone: it never
//   reaches the window's own background handlers (every control sets
//   Qt::WA_NoMousePropagation and consumes its mouse events).
// - Picture buttons raise MouseMove, MouseDown and Click; labels raise Click and
//   DblClick; lists raise Click when an item is picked by mouse or keyboard and
//   when the program selects an item; picture boxes raise Click and DblClick;
//   text boxes raise GotFocus, KeyPress and LostFocus.
// - Any mouse button raises MouseDown; only the primary (left) button clicks,
//   double-clicks or picks a list item.
#include <QFrame>
#include <QListWidget>
#include <QPixmap>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

inline const QColor kParchment(214, 198, 173);
inline const QColor kDarkBrown(86, 53, 13);
inline const QColor kHighlightBlue(0, 0, 255);
inline const char* const kProgramFace = "Comic Sans MS";

// Places a widget from a rectangle in twips, converted to pixels with the
// screen's factors (twips per pixel). Rounds to the nearest pixel.
void SetTwipsGeometry(QWidget* w, long leftTw, long topTw, long widthTw, long heightTw, long tppX, long tppY);

// Gives a control the program's face in the given style.
void SetProgramFont(QWidget* w, bool bold = false, bool italic = false);

// A top-level window with a background picture drawn from the client area's
// top-left corner. Mouse moves over the background (over no control) raise
// MouseMove with the position in pixels; a click there raises Click.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    void setBackground(const QPixmap& pm);
    const QPixmap& background() const { return m_background; }
    // Fixed outer size in pixels: the window manager draws a frame of a fixed
    // single border (3 px each side) and a caption bar of 19 px below the top
    // border (22 px from the outer top edge to the client area), so the client
    // area is the outer size less 6 px across and 25 px down: 644 x 480 outside
    // leaves 638 x 455 inside.
    static constexpr int kFrameBorderPx = 3;
    static constexpr int kCaptionPx = 19;
    void setOuterSizePx(int width, int height);
    // The outer size in pixels: the client size with that frame around it. A
    // window that has no frame of the window system's returns its own size.
    virtual QSize outerSizePx() const {
        return QSize(width() + 2 * kFrameBorderPx, height() + 2 * kFrameBorderPx + kCaptionPx);
    }
    // Places the window so that its outer rectangle is centred on its screen's
    // available area. Called before the window is first on the screen, it
    // places the window for the frame above; once the window is shown, a
    // frame the window manager really drew (of another size) is centred
    // instead, once.
    void centreOnScreen();

signals:
    void MouseMove(QPoint posPx);
    void MouseDown(QPoint posPx);
    void Click();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QPixmap m_background;
    bool m_pressed = false;
};

// An image control: shows its picture at its natural size from the top-left
// corner. Used for picture buttons and for plain pictures (the cover).
class PictureButton : public QWidget {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr, int index = 0);
    int index() const { return m_index; }
    void setPicture(const QPixmap& pm);
    const QPixmap& picture() const { return m_picture; }

signals:
    void MouseMove(int index);
    void MouseDown(int index);
    void Click(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int m_index;
    QPixmap m_picture;
    bool m_pressed = false;
};

// A caption on a transparent background. The ampersand marks an access key
// (the next character underlined, "&&" shows one ampersand) unless the label
// shows ampersands literally. A self-sizing label takes the size of its
// caption in its own font whenever the caption or the font changes; any other
// label keeps its size, draws a caption that fits its width on one line and
// wraps a wider one at its blanks.
class Label : public QWidget {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr, int index = 0);
    int index() const { return m_index; }
    void setCaption(const QString& text);
    const QString& caption() const { return m_caption; }
    void setAlignment(Qt::Alignment a);
    void setAutoSize(bool on);
    void setLiteralAmpersand(bool on);
    void setForeColor(const QColor& c);
    QColor foreColor() const { return m_foreColor; }
    // The caption as drawn (access-key markers removed).
    QString displayText() const;

signals:
    void Click(int index);
    void DblClick(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    int textFlags() const;
    bool captionFitsWidth() const;
    void fitToCaption();
    int m_index;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_autoSize = false;
    bool m_literalAmpersand = false;
    bool m_pressed = false;
    QColor m_foreColor = kDarkBrown;
};

// A list box with item data. A sorted list keeps its items in a
// case-insensitive alphabetical order and reports the index where an item was
// inserted (NewIndex). Click runs when the user picks an item with the mouse
// or moves the selection with the keyboard, and when the program selects an
// item through setListIndex, before setListIndex returns.
// One item at most is selected, and it is the current item. Only the program
// empties the selection: no click or key of the user does, whatever modifiers
// are held with it. An item too long for the list is cut at its edge.
// Showing or hiding the list ends the input runs in progress: the rest of a
// double-click that opened it, or that picked an item, reaches nothing.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr, bool sorted = false);
    bool sorted() const { return m_sorted; }
    // Adds an item and returns the index where it was placed.
    int AddItem(const QString& text);
    int NewIndex() const { return m_newIndex; }
    void setItemData(int index, qint32 data);
    qint32 ItemData(int index) const;
    QString List(int index) const;
    int ListCount() const { return count(); }
    // -1 when no item is selected.
    int ListIndex() const;
    // Selects an item (or none with -1); when the selection changes to an item, Click runs.
    void setListIndex(int index);
    // Removes every item; afterwards no item is selected.
    void Clear();
    // Fills an empty list at once from items that are already in the list's
    // order (for a sorted list: sorted by ListOrderLess). Faster than AddItem
    // one by one for large lists.
    void AddPresorted(const QStringList& texts, const QList<qint32>& data);
    // The order of a sorted list: case-insensitive, then case-sensitive.
    static bool ListOrderLess(const QString& a, const QString& b);

    void setVisible(bool visible) override;

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event = nullptr) const override;

private:
    bool m_sorted;
    int m_newIndex = -1;
    bool m_quiet = false;   // the program or the mouse is changing the selection
    int m_pressIndex = -1;  // the selection when the mouse button went down
};

// A text box: single-line (Enter adds nothing) or multi-line (Enter starts a
// new line, long lines wrap); never scroll bars, no length limit.
class TextBox : public QWidget {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr, int index = 0, bool multiLine = false);
    int index() const { return m_index; }
    bool multiLine() const { return m_multiLine; }
    // The text exactly as setText gave it until the user edits the box; a
    // line break typed into a multi-line box comes back as CR LF.
    QString text() const;
    void setText(const QString& t);
    // Selects the whole text (selection start 0, length the text's length).
    void selectAll();
    int selStart() const;
    int selLength() const;
    QWidget* editor() const;

signals:
    void GotFocus(int index);
    void LostFocus(int index);
    // A key that gives a character: a printable one, Backspace, Enter, Escape
    // or Ctrl with a letter; never Delete, Tab, the arrows or other editing keys.
    void KeyPress(int index, int keyAscii);

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    // GotFocus and LostFocus follow the focus among the program's controls:
    // switching to another application, a context menu or a message box
    // neither leaves nor enters the box.
    void enterFocus();
    void leaveFocus(Qt::FocusReason reason);
    int m_index;
    bool m_multiLine;
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_multi = nullptr;
    // A multi-line box's last text given by setText, and the document as it
    // held that text: text() gives back the former while the latter is unchanged.
    QString m_loaded;
    QString m_loadedShown;
};

// A picture box: a bordered, parchment-coloured box that can carry a background
// picture and a picture of its own, and holds other controls placed from its
// client area (inside the border): make them children of client().
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    QWidget* client() const { return m_client; }
    void setBackground(const QPixmap& pm);
    // The box's picture, fitted into the client area keeping its proportions.
    void setPicture(const QImage& img);
    void clearPicture();
    bool hasPicture() const { return !m_picture.isNull(); }
    const QImage& picture() const { return m_picture; }

signals:
    void Click();
    void DblClick();

protected:
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    QWidget* m_client;
    QPixmap m_background;
    QImage m_picture;
    bool m_pressed = false;
};
