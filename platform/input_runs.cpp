#include "platform/input_runs.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>

namespace {

// A press: where on the screen, when (the event's own time, as the window
// system's double-click test counts it) and with which button.
struct Press {
    QPointF global;
    quint64 time = 0;
    Qt::MouseButton button = Qt::NoButton;
};

// Sees every mouse press and key of the application before anything else and
// keeps those that continue a run ended by EndInputRuns from everything.
// A press reaches the program twice, once as the window's and once as the
// control's; both copies carry the same time, button and place, and share
// one judgement.
class InputRunWatch : public QObject {
public:
    static InputRunWatch& Instance() {
        static InputRunWatch* watch = [] {
            auto* w = new InputRunWatch;
            w->setParent(qApp);  // gone with the application
            qApp->installEventFilter(w);
            return w;
        }();
        return *watch;
    }

    void MoveFirst() {
        qApp->removeEventFilter(this);
        qApp->installEventFilter(this);
    }

    void EndRuns() {
        m_clicksEnded = m_haveLast;
        for (auto it = m_heldKeys.begin(); it != m_heldKeys.end(); ++it) it.value() = true;
    }

protected:
    bool eventFilter(QObject*, QEvent* ev) override {
        switch (ev->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: return JudgePress(*static_cast<QMouseEvent*>(ev));
        case QEvent::MouseButtonRelease: {
            const Qt::MouseButton button = static_cast<QMouseEvent*>(ev)->button();
            if (!(m_keptButtons & button)) return false;
            m_keptButtons &= ~button;
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: return JudgeKey(*static_cast<QKeyEvent*>(ev));
        default: return false;
        }
    }

private:
    // True when the press is kept from everything.
    bool JudgePress(const QMouseEvent& me) {
        const Press press{me.globalPosition(), me.timestamp(), me.button()};
        if (m_haveLast && press.time == m_last.time && press.button == m_last.button &&
            press.global == m_last.global)
            return m_keptButtons & press.button;  // another copy of the press judged last
        if (!m_haveLast || !Continues(press)) m_clicksEnded = false;
        m_last = press;
        m_haveLast = true;
        if (m_clicksEnded) m_keptButtons |= press.button;
        else m_keptButtons &= ~press.button;
        return m_clicksEnded;
    }

    // Whether the press continues the run whose last press is m_last.
    bool Continues(const Press& press) const {
        if (press.button != m_last.button || press.time < m_last.time) return false;
        const QStyleHints* hints = QGuiApplication::styleHints();
        if (press.time - m_last.time >= quint64(hints->mouseDoubleClickInterval())) return false;
        const QPointF moved = press.global - m_last.global;
        const int distance = hints->mouseDoubleClickDistance();
        return qAbs(moved.x()) <= distance && qAbs(moved.y()) <= distance;
    }

    // True when the key event is kept from everything: the repeats and the
    // release of a key that was held down when its run ended. A key whose
    // first press came before the program saw it (held down while a window
    // appeared) is held from its first repeat on.
    bool JudgeKey(const QKeyEvent& ke) {
        const int key = ke.key();
        if (key == 0 || key == Qt::Key_unknown) return false;
        const auto held = m_heldKeys.constFind(key);
        const bool ended = held != m_heldKeys.constEnd() && held.value();
        if (ke.type() == QEvent::KeyPress) {
            if (!ke.isAutoRepeat()) {
                m_heldKeys.insert(key, false);
                return false;
            }
            if (held == m_heldKeys.constEnd()) m_heldKeys.insert(key, false);
            return ended;
        }
        if (!ke.isAutoRepeat()) m_heldKeys.remove(key);
        return ended;
    }

    Press m_last;
    bool m_haveLast = false;
    bool m_clicksEnded = false;             // the run of m_last has ended: its further presses are kept
    Qt::MouseButtons m_keptButtons;         // buttons whose last press was kept: its double-click and release too
    QHash<int, bool> m_heldKeys;            // keys down, and whether their run has ended
};

}  // namespace

void EndInputRuns() { InputRunWatch::Instance().EndRuns(); }

void WatchInputRunsFirst() { InputRunWatch::Instance().MoveFirst(); }
