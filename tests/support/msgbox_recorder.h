#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/msgbox.h"

// Records every message box the program shows, in order.
struct ShownMsgBox {
    QString prompt;
    QString title;
};

class MsgBoxRecorder {
public:
    // Installed by the test main for the whole run; tests read and clear it.
    static void installDefault();
    static std::vector<ShownMsgBox>& shown();
    static void clear();
    static QStringList titles();
};

// Runs one operation and returns the titles of the message boxes it showed.
QStringList TitlesShownBy(const std::function<void()>& operation);

// While it lives, message boxes are the real ones, shown modally; the
// recorder (or whatever handler was installed) comes back when it goes.
class RealMessageBoxes {
public:
    RealMessageBoxes() : m_saved(SetMsgBoxHandler({})) {}
    ~RealMessageBoxes() { SetMsgBoxHandler(std::move(m_saved)); }
    RealMessageBoxes(const RealMessageBoxes&) = delete;
    RealMessageBoxes& operator=(const RealMessageBoxes&) = delete;

private:
    MsgBoxHandler m_saved;
};
