#include "platform/modal.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

namespace {

bool BelongsTo(QObject* obj, QWidget* window) {
    if (obj == window->windowHandle()) return true;
    if (!obj->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(obj);
    return w == window || window->isAncestorOf(w);
}

// A press: where, when (the event's own time, as the double-click test of the
// window system counts it) and with which button.
struct Press {
    QPointF global;
    quint64 time = 0;
    Qt::MouseButton button = Qt::NoButton;
};

// The press that may follow a closing click: when it comes on the same spot
// with the same button within the double-click time, it is the second press
// of a double-click whose first click closed a window, and it reaches nothing:
// not the press, not the double-click the window system makes of it, not its
// release. Whatever the next press is, it is judged once; a later one passes.
class DoubleClickTail : public QObject {
public:
    static DoubleClickTail& Instance() {
        static DoubleClickTail* tail = [] {
            auto* t = new DoubleClickTail;
            t->setParent(qApp);  // gone with the application
            qApp->installEventFilter(t);
            return t;
        }();
        return *tail;
    }

    void Arm(const Press& closing) {
        m_closing = closing;
        m_armed = true;
        m_swallowing = false;
    }

protected:
    bool eventFilter(QObject*, QEvent* ev) override {
        const QEvent::Type type = ev->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease)
            return false;
        const auto* me = static_cast<QMouseEvent*>(ev);
        if (m_swallowing) {
            // The window's copy and the widget's copy of the same press, the
            // double-click that follows it and the release that ends it.
            if (me->button() != m_closing.button) return false;
            if (type == QEvent::MouseButtonRelease) m_swallowing = false;
            return true;
        }
        if (!m_armed || type == QEvent::MouseButtonRelease) return false;
        m_armed = false;
        m_swallowing = IsSecondPress(*me);
        return m_swallowing;
    }

private:
    bool IsSecondPress(const QMouseEvent& me) const {
        if (me.button() != m_closing.button) return false;
        const QStyleHints* hints = QGuiApplication::styleHints();
        const qint64 elapsed = qint64(me.timestamp() - m_closing.time);
        if (me.timestamp() < m_closing.time || elapsed >= hints->mouseDoubleClickInterval()) return false;
        const QPointF moved = me.globalPosition() - m_closing.global;
        const int distance = hints->mouseDoubleClickDistance();
        return qAbs(moved.x()) <= distance && qAbs(moved.y()) <= distance;
    }

    Press m_closing;
    bool m_armed = false;
    bool m_swallowing = false;
};

// Watches a modal window while it is up: ends the modal loop when the window
// is hidden (which closing it also does), and tells whether a mouse click on
// it did that, with that click's press.
class ModalSession : public QObject {
public:
    ModalSession(QWidget* window, QEventLoop* loop) : m_window(window), m_loop(loop) {
        qApp->installEventFilter(this);
    }
    ~ModalSession() override { qApp->removeEventFilter(this); }

    bool closedByClick() const { return m_closedByClick; }
    const Press& closingPress() const { return m_press; }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        switch (ev->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (BelongsTo(obj, m_window)) {
                const auto* me = static_cast<QMouseEvent*>(ev);
                m_press = Press{me->globalPosition(), me->timestamp(), me->button()};
            }
            break;
        case QEvent::MouseButtonRelease:
            // A release that closes the window hides it before its delivery
            // ends; the flag is cleared once the event loop moves on.
            if (BelongsTo(obj, m_window) && static_cast<QMouseEvent*>(ev)->button() == m_press.button) {
                m_inRelease = true;
                QMetaObject::invokeMethod(this, [this] { m_inRelease = false; }, Qt::QueuedConnection);
            }
            break;
        case QEvent::Hide:
            if (obj == m_window) {
                m_closedByClick = m_inRelease;
                m_loop->quit();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* m_window;
    QEventLoop* m_loop;
    Press m_press;
    bool m_inRelease = false;
    bool m_closedByClick = false;
};

}  // namespace

void ShowModal(QWidget* window) {
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    ModalSession session(window, &loop);
    window->show();
    window->activateWindow();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);
    if (session.closedByClick()) DoubleClickTail::Instance().Arm(session.closingPress());
}
