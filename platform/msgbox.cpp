#include "platform/msgbox.h"

#include <QMessageBox>

#include "platform/modal.h"

namespace {
MsgBoxHandler& handlerSlot() {
    static MsgBoxHandler h;
    return h;
}
}  // namespace

void MsgBox(const QString& prompt, const QString& title) {
    if (const auto& h = handlerSlot()) {
        h(prompt, title);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok);
    ShowModal(&box);
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler) {
    MsgBoxHandler old = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return old;
}
