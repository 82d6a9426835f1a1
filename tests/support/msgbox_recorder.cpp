#include "support/msgbox_recorder.h"

#include "platform/msgbox.h"

std::vector<ShownMsgBox>& MsgBoxRecorder::shown() {
    static std::vector<ShownMsgBox> list;
    return list;
}

void MsgBoxRecorder::installDefault() {
    SetMsgBoxHandler([](const QString& prompt, const QString& title) { shown().push_back({prompt, title}); });
}

void MsgBoxRecorder::clear() { shown().clear(); }

QStringList MsgBoxRecorder::titles() {
    QStringList t;
    for (const auto& b : shown()) t << b.title;
    return t;
}

QStringList TitlesShownBy(const std::function<void()>& operation) {
    MsgBoxRecorder::clear();
    operation();
    return MsgBoxRecorder::titles();
}
