#include "platform/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

bool AnotherInstanceRunning() {
    static QLockFile* lock = nullptr;
    if (lock) return false;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    auto* candidate = new QLockFile(dir + QStringLiteral("/ostravell.lock"));
    candidate->setStaleLockTime(0);  // only a lock whose process is gone is stale
    if (!candidate->tryLock(0)) {
        delete candidate;
        return true;
    }
    lock = candidate;  // held until the process ends
    return false;
}
