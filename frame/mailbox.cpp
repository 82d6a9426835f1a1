#include "frame/mailbox.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace {

// The family's settings file, without the system-wide fallbacks: a value that
// this program could not delete must never be read again and again.
class MailboxSettings : public QSettings {
public:
    MailboxSettings() : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quenmarrow")) {
        setFallbacksEnabled(false);
    }
};

const QString kKey = QStringLiteral("Communications/Message");

}  // namespace

QString ReadMessage() {
    MailboxSettings settings;
    if (!settings.contains(kKey)) return QString::fromLatin1(kNoMessage);
    const QVariant value = settings.value(kKey);
    // An unquoted value with commas comes back as a list; give it back as written.
    const QString sText = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',')
                                                                   : value.toString();
    settings.remove(kKey);
    settings.sync();
    return sText;
}

QString MailboxFilePath() { return MailboxSettings().fileName(); }
