#include "platform/msgbox.h"

#include <QMessageBox>

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
    box.exec();
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler) {
    MsgBoxHandler old = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return old;
}
