#include "platform/msgbox.h"

#include <QMessageBox>

#include "platform/modal.h"

namespace {
// Made before main, so it outlives every handler that the program registers
// to run at exit (the save at exit reports through it).
MsgBoxHandler g_handler;
MsgBoxHandler& handlerSlot() { return g_handler; }
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
