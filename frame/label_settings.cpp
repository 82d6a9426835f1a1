#include "frame/label_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

#include "platform/regular_file.h"

namespace {

bool IsFieldBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsLineEndChar(QChar c) { return c == u'\r' || c == u'\n'; }

// Moves past one line end at i: CR LF, a lone CR or a lone LF.
qsizetype SkipLineEnd(const QString& s, qsizetype i) {
    if (i < s.size() && s[i] == u'\r') ++i;
    if (i < s.size() && s[i] == u'\n') ++i;
    return i;
}

// The whole file as Latin-1 text, or nothing when it cannot be read. Only a
// regular file of a sane size is read: a pipe or a device could block or grow
// for ever.
std::optional<QString> ReadWholeFile(const QString& sPath) {
    const std::optional<QByteArray> bytes = ReadSettingsFile(sPath);
    if (!bytes) return std::nullopt;
    return QString::fromLatin1(*bytes);
}

// The key of a record: its text before the first "=", or nothing when it has no "=".
std::optional<QStringView> RecordKey(const QString& sRecord) {
    const qsizetype eq = sRecord.indexOf(u'=');
    if (eq < 0) return std::nullopt;
    return QStringView(sRecord).left(eq);
}

// One record as a line of the file: quoted and ended by CR LF. The format has
// no way to quote a double quote, so a record that holds one (read from an
// unquoted line of a hand-edited file) is written back unquoted, exactly as it
// was read, which reads back the same. A record that could be read back
// neither way gives nothing, and the file is then left as it is.
std::optional<QByteArray> RecordLine(const QString& sRecord) {
    if (!sRecord.contains(u'"')) return '"' + sRecord.toLatin1() + "\"\r\n";
    const bool bReadsBackUnquoted = !sRecord.startsWith(u'"') && !sRecord.contains(u',') &&
                                    !sRecord.contains(u'\r') && !sRecord.contains(u'\n') &&
                                    !IsFieldBlank(sRecord.front()) && !IsFieldBlank(sRecord.back());
    if (!bReadsBackUnquoted) return std::nullopt;
    return sRecord.toLatin1() + "\r\n";
}

}  // namespace

QStringList ParseCfgRecords(const QString& sText) {
    QStringList records;
    const qsizetype n = sText.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && IsFieldBlank(sText[i])) ++i;
        QString field;
        if (i < n && sText[i] == u'"') {
            // Quoted: everything up to the closing quote, commas and line ends
            // included; then past whatever stands before the next comma or line end.
            const qsizetype close = sText.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = sText.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            while (i < n && sText[i] != u',' && !IsLineEndChar(sText[i])) ++i;
        } else {
            // Unquoted: up to the next comma or line end, blanks at its end dropped.
            const qsizetype start = i;
            while (i < n && sText[i] != u',' && !IsLineEndChar(sText[i])) ++i;
            qsizetype end = i;
            while (end > start && IsFieldBlank(sText[end - 1])) --end;
            field = sText.mid(start, end - start);
        }
        records.append(field);
        if (i < n) i = sText[i] == u',' ? i + 1 : SkipLineEnd(sText, i);
    }
    return records;
}

QString ReadCfgValue(const QString& sPath, const QString& sKey) {
    const std::optional<QString> text = ReadWholeFile(sPath);
    if (!text) return QString();
    for (const QString& record : ParseCfgRecords(*text)) {
        const std::optional<QStringView> key = RecordKey(record);
        if (key && *key == sKey) return record.mid(key->size() + 1);
    }
    return QString();
}

bool WriteCfgValue(const QString& sPath, const QString& sKey, const QString& sValue) {
    // A read-only file stays as it is, also for a user whom the system would
    // let write it anyway: the file's own write bits decide.
    const QFileInfo info(sPath);
    constexpr QFileDevice::Permissions kAnyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isFile() || !info.isWritable() || !(info.permissions() & kAnyWrite)) return false;

    const std::optional<QString> text = ReadWholeFile(sPath);
    if (!text) return false;

    QStringList records = ParseCfgRecords(*text);
    const QString replacement = sKey + u'=' + sValue;
    for (QString& record : records) {
        const std::optional<QStringView> key = RecordKey(record);
        if (key && *key == sKey) record = replacement;
    }

    QByteArray out;
    for (const QString& record : records) {
        const std::optional<QByteArray> line = RecordLine(record);
        if (!line) return false;
        out += *line;
    }

    // Unbuffered, so that a short write (file size limit, full disk) shows in
    // the count written and the temporary file is discarded, never committed.
    QSaveFile file(sPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}
