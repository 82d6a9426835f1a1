#include "platform/modal.h"

#include <QEvent>
#include <QEventLoop>
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

}  // namespace

void ShowModal(QWidget* window) {
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    ModalSession session(window, &loop);
    window->show();
    window->activateWindow();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);
}
