#include "frame/modal_window.h"

#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

#include "platform/widgets.h"

namespace {

// Ends a modal loop when its window is hidden, which closing it also does.
class UnloadWatcher : public QObject {
public:
    explicit UnloadWatcher(QEventLoop* loop) : m_loop(loop) {}

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (ev->type() == QEvent::Hide) m_loop->quit();
        return QObject::eventFilter(obj, ev);
    }

private:
    QEventLoop* m_loop;
};

}  // namespace

Qt::WindowFlags CaptionlessDialogFlags() { return Qt::Dialog | Qt::CustomizeWindowHint; }

void FitCaptionlessFrame(Form* form) { form->setFixedSize(form->width(), form->height() + Form::kCaptionPx); }

void CentreCaptionlessOnScreen(Form* form) {
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    const int outerW = form->width() + 2 * Form::kFrameBorderPx;
    const int outerH = form->height() + 2 * Form::kFrameBorderPx;
    form->move(avail.x() + (avail.width() - outerW) / 2, avail.y() + (avail.height() - outerH) / 2);
}

void ShowModal(Form* form) {
    form->setWindowModality(Qt::ApplicationModal);
    CentreCaptionlessOnScreen(form);
    QEventLoop loop;
    UnloadWatcher watcher(&loop);
    form->installEventFilter(&watcher);
    form->show();
    form->activateWindow();
    if (form->isVisible()) loop.exec(QEventLoop::DialogExec);
    form->removeEventFilter(&watcher);
}
