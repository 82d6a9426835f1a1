#pragma once
#include <QString>
#include <functional>

// The program's message box: a prompt, a title, an OK button and no icon.
// Tests replace the handler with a recorder so no modal box ever blocks them.
using MsgBoxHandler = std::function<void(const QString& prompt, const QString& title)>;

void MsgBox(const QString& prompt, const QString& title);

// Installs a handler; returns the previous one. An empty handler restores the real box.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);
