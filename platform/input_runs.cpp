#include "platform/input_runs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QWidget>

namespace {

// A press: where on the screen, when (the event's own time, as the window
// system's double-click test counts it) and with which button.
struct Press {
    QPointF global;
    quint64 time = 0;
    Qt::MouseButton button = Qt::NoButton;
};

// A key's run as the window system records it: the time and kind of the
// key's last event, whether that event was kept, and whether the run has ended.
struct KeyRun {
    quint64 time = 0;
    QEvent::Type type = QEvent::None;
    bool kept = false;
    bool ended = false;
};

// Sees every mouse press and key of the application before anything else and
// keeps those that continue a run ended by EndInputRuns from everything; sees
// every window of the application show and hide, and ends the runs then.
// A press or a key reaches the program more than once, as the window's and as
// the control's; every copy carries the same time, and all share one judgement.
class InputRunWatch : public QObject {
public:
    static InputRunWatch& Instance() {
        static QPointer<InputRunWatch> watch;
        if (!watch) {
            QCoreApplication* app = QCoreApplication::instance();
            watch = new InputRunWatch;
            watch->setParent(app);  // gone with the application
            app->installEventFilter(watch);
        }
        return *watch;
    }

    void MoveFirst() {
        QCoreApplication::instance()->removeEventFilter(this);
        QCoreApplication::instance()->installEventFilter(this);
    }

    // Every key's run ends, a released key's too: the press that the window
    // system sends with a repeat's release may still be to come.
    void EndRuns() {
        m_clicksEnded = m_haveLast;
        for (KeyRun& run : m_keys) run.ended = true;
    }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        switch (ev->type()) {
        case QEvent::Show:
        case QEvent::Hide:
            if (ChangesWhatLiesUnderTheHand(obj)) EndRuns();
            return false;
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

    // A window of the program, a pop-up list or menu among them, wherever it
    // comes from (the program's own, or one inside a dialog of Qt's such as the
    // file chooser's lists). A tooltip takes no input and comes and goes under
    // the pointer by itself: it changes nothing under the user's hand.
    static bool ChangesWhatLiesUnderTheHand(QObject* obj) {
        if (!obj->isWidgetType()) return false;
        const auto* widget = static_cast<QWidget*>(obj);
        return widget->isWindow() && widget->windowType() != Qt::ToolTip;
    }

    // The key of a key event: the window system's own code of the key where it
    // gives one, which its press, repeats and release share whatever the
    // modifiers make of it; else the key as Qt names it; 0 for none.
    static quint64 KeyOf(const QKeyEvent& ke) {
        if (ke.nativeScanCode() != 0) return (quint64(1) << 32) | ke.nativeScanCode();
        const int key = ke.key();
        if (key == 0 || key == Qt::Key_unknown) return 0;
        return quint32(key);
    }

    // True when the key event is kept from everything: the repeats and the
    // release of a key that was held down when its run ended. The window
    // system sends each repeat of a held key as a release and a press with one
    // time, and Qt marks the pair as a repeat only when the press had already
    // come as it handled the release, which on a busy machine it often has
    // not. So a press continues the key's run when Qt marks it as a repeat or
    // when it comes at the time of the key's release before it; any other
    // press begins a run of its own. A release belongs to the run it ends or
    // goes on. A time of 0 is no time: an event that the window system did not
    // send. A key whose first press came before the program saw it (held down
    // while another program had the keyboard) is followed from its first
    // repeat on.
    bool JudgeKey(const QKeyEvent& ke) {
        const quint64 key = KeyOf(ke);
        if (key == 0) return false;
        KeyRun& run = m_keys[key];
        const quint64 time = ke.timestamp();
        const bool sameTime = time != 0 && time == run.time;
        if (sameTime && ke.type() == run.type) return run.kept;  // another copy of the event judged last
        if (ke.type() == QEvent::KeyPress && !ke.isAutoRepeat() && !sameTime) run.ended = false;
        run.time = time;
        run.type = ke.type();
        run.kept = run.ended;
        return run.kept;
    }

    Press m_last;
    bool m_haveLast = false;
    bool m_clicksEnded = false;             // the run of m_last has ended: its further presses are kept
    Qt::MouseButtons m_keptButtons;         // buttons whose last press was kept: its double-click and release too
    QHash<quint64, KeyRun> m_keys;          // every key seen (KeyOf), with its run
};

// The watch starts with the application, before any window can show.
void StartInputRunWatch() { InputRunWatch::Instance(); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartInputRunWatch)

void EndInputRuns() { InputRunWatch::Instance().EndRuns(); }

void WatchInputRunsFirst() { InputRunWatch::Instance().MoveFirst(); }
