#include "platform/modal.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

// Ends the modal loop when the window is hidden, which closing it also does.
class ModalSession : public QObject {
public:
    ModalSession(QWidget* window, QEventLoop* loop) : m_window(window), m_loop(loop) {
        m_window->installEventFilter(this);
    }
    ~ModalSession() override { m_window->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (obj == m_window && ev->type() == QEvent::Hide) m_loop->quit();
        return false;
    }

private:
    QWidget* m_window;
    QEventLoop* m_loop;
};

// The window that the last modal window to close handed the activation back
// to. The window system confirms an activation only later, so a modal window
// that opens at once after another one closed finds no active window.
QPointer<QWidget>& handedBackTo() {
    static QPointer<QWidget> window;
    return window;
}

// The window the user works in beneath a modal window about to open: the
// active one; else the window the modal window belongs to; else the one that a
// modal window closed just before handed the activation to.
QWidget* windowBeneath(QWidget* modal) {
    if (QWidget* active = QApplication::activeWindow()) return active;
    if (QWidget* parent = modal->parentWidget()) return parent->window();
    return handedBackTo();
}

}  // namespace

void ShowModal(QWidget* window) {
    const QPointer<QWidget> beneath = windowBeneath(window);
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    ModalSession session(window, &loop);
    window->show();
    window->activateWindow();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);
    // The window has closed (an end of the program also ends the loop, with
    // the window still up): the window beneath is active again. A window
    // manager does so by itself; without one the keyboard focus falls to the
    // screen's root, and the window beneath would hear of no move of its focus.
    if (window->isVisible() || !beneath || beneath == window || !beneath->isVisible()) return;
    beneath->activateWindow();
    handedBackTo() = beneath;
}
