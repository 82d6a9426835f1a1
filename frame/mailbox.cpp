#include "frame/mailbox.h"

#include <QByteArrayView>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

#include "platform/lock_file.h"
#include "platform/regular_file.h"

namespace {

const QString kSection = QStringLiteral("Communications");
const QString kKey = QStringLiteral("Message");

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || IsLineBreak(c); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
int OctValue(char c) { return c >= '0' && c <= '7' ? c - '0' : -1; }

// One logical line of the file, as the settings reader cuts it.
struct IniLine {
    qsizetype start = 0;   // first byte (leading blanks and whole comment lines skipped)
    qsizetype end = 0;     // one past the last byte: a line break, a ";" or the end
    qsizetype equals = -1; // the first "=" outside quotes, or -1
};

// Reads the logical line that begins at pos and moves pos past it. A line ends
// at a line break or a ";" outside quotes; a backslash takes the next byte
// with it (so an escaped line break continues the line); a ";" at the line's
// start makes the rest of that physical line a comment.
bool NextIniLine(QByteArrayView d, qsizetype& pos, IniLine& line) {
    const qsizetype n = d.size();
    bool inQuotes = false;
    line.equals = -1;
    qsizetype start = pos;
    while (start < n && IsBlank(d[start])) ++start;
    qsizetype i = start;
    while (i < n) {
        const char c = d[i++];
        if (c == '=') {
            if (!inQuotes && line.equals < 0) line.equals = i - 1;
        } else if (IsLineBreak(c)) {
            if (i == start + 1) ++start;
            else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < n) {
                const char e = d[i++];
                if (i < n && ((e == '\n' && d[i] == '\r') || (e == '\r' && d[i] == '\n'))) ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < n && !IsLineBreak(d[i])) ++i;
                while (i < n && IsBlank(d[i])) ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

// A section or key name: UTF-8, a backslash stands for "/", "%XX" and
// "%UXXXX" for the character of that hexadecimal code.
QString UnescapedName(QByteArrayView name) {
    const QString s = QString::fromUtf8(name);
    QString out;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == s.size() - 1) {
            out += c;
            ++i;
            continue;
        }
        const qsizetype digitsAt = s[i + 1] == u'U' ? i + 2 : i + 1;
        const qsizetype digits = s[i + 1] == u'U' ? 4 : 2;
        bool ok = false;
        const ushort code = digitsAt + digits <= s.size() ? QStringView(s).sliced(digitsAt, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            out += u'%';
            ++i;
            continue;
        }
        out += QChar(code);
        i = digitsAt + digits;
    }
    return out;
}

// The section a header line opens: what lies between "[" and the first "]"
// (or the line's end), trimmed and unescaped. "General" in any case is the
// root section, which can never be "Communications"; "%General" names the
// section "General".
QString SectionOf(QByteArrayView header) {
    qsizetype close = header.indexOf(']');
    if (close < 0) close = header.size();
    const QByteArrayView name = header.first(close).sliced(1).trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0) return QString();
    if (name.compare("%general", Qt::CaseInsensitive) == 0) return QString::fromLatin1(name.sliced(1));
    return UnescapedName(name);
}

void ChopTrailingBlanks(QString& s, qsizetype limit) {
    while (s.size() > limit && (s.back() == u' ' || s.back() == u'\t')) s.chop(1);
}

// A value as the settings reader decodes it: blanks around it dropped unless
// quoted, double quotes removed, C-style escapes (\n, \t, \", \\, \xHH, octal,
// an escaped line break) replaced, and a comma outside quotes splitting the
// value into a list.
QString DecodedValue(QByteArrayView str) {
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                                           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    QStringList items;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    QString text;
    const qsizetype n = str.size();
    qsizetype i = 0;

    auto skipBlanks = [&] {
        while (i < n && (str[i] == ' ' || str[i] == '\t')) ++i;
    };
    // A numeric escape: digits of the given base (bits per digit) after the
    // first value, as many as follow; the character is added even when the
    // value ends inside it.
    auto numericEscape = [&](char16_t value, int bits, int (*digit)(char)) {
        while (i < n && digit(str[i]) >= 0) {
            value = char16_t((value << bits) + digit(str[i]));
            ++i;
        }
        text += QChar(value);
    };

    skipBlanks();
    qsizetype chopLimit = 0;
    bool ended = false;
    while (i < n && !ended) {
        const char c = str[i];
        if (c == '\\') {
            ++i;
            if (i >= n) {
                ended = true;
                break;
            }
            const char e = str[i++];
            bool simple = false;
            for (const auto& esc : kEscapes) {
                if (e == esc[0]) {
                    text += QLatin1Char(esc[1]);
                    simple = true;
                    break;
                }
            }
            if (simple) {
                chopLimit = text.size();
                continue;
            }
            if (e == 'x') {
                if (i >= n) {
                    ended = true;
                    break;
                }
                if (HexValue(str[i]) >= 0) {
                    numericEscape(0, 4, HexValue);
                    if (i >= n) {
                        ended = true;
                        break;
                    }
                }
            } else if (OctValue(e) >= 0) {
                numericEscape(char16_t(OctValue(e)), 3, OctValue);
                if (i >= n) {
                    ended = true;
                    break;
                }
            } else if (IsLineBreak(e)) {
                if (i < n && IsLineBreak(str[i]) && str[i] != e) ++i;
            }
            // Any other escaped byte is dropped.
            chopLimit = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = text.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) ChopTrailingBlanks(text, chopLimit);
            isList = true;
            items << text;
            text.clear();
            quoted = false;
            ++i;
            skipBlanks();
            chopLimit = 0;
        } else {
            qsizetype j = i + 1;
            while (j < n && str[j] != '\\' && str[j] != '"' && str[j] != ',') ++j;
            text += fromUtf8(str.sliced(i, j - i));
            i = j;
        }
    }
    if (!ended && !quoted) ChopTrailingBlanks(text, chopLimit);
    if (isList) items << text;
    else items = QStringList{text};

    // Texts of the settings library's own types start with "@"; a text that
    // itself starts with "@" is stored as "@@".
    for (QString& item : items) {
        if (item.startsWith(QLatin1String("@@"))) item.remove(0, 1);
        else if (item == QLatin1String("@Invalid()")) item.clear();
        else if (item.startsWith(QLatin1String("@ByteArray(")) && item.endsWith(u')'))
            item = QString::fromUtf8(QStringView(item).sliced(11).chopped(1).toLatin1());
    }
    // A list comes back as written, its items joined by commas.
    return items.join(u',');
}

}  // namespace

MailboxLine TakeMessageLine(const QByteArray& file) {
    MailboxLine result;
    const QByteArrayView d(file);
    const qsizetype bodyStart = d.startsWith("\xef\xbb\xbf") ? 3 : 0;

    bool inSection = false;
    IniLine message;
    qsizetype pos = bodyStart;
    IniLine line;
    while (NextIniLine(d, pos, line)) {
        const QByteArrayView text = d.sliced(line.start, line.end - line.start);
        if (text.startsWith('[')) {
            inSection = SectionOf(text) == kSection;
        } else if (inSection && line.equals >= 0) {
            if (UnescapedName(d.sliced(line.start, line.equals - line.start).trimmed()) == kKey) {
                message = line;
                result.found = true;
            }
        }
    }
    if (!result.found) {
        result.rest = file;
        return result;
    }

    result.value = DecodedValue(d.sliced(message.equals + 1, message.end - message.equals - 1));

    // Whole physical lines go: from the start of the line the key stands on
    // (only blanks lie before it there) to the line break after the value,
    // taking a comment that ends the line with it.
    qsizetype from = message.start;
    while (from > bodyStart && !IsLineBreak(d[from - 1])) --from;
    qsizetype to = message.end;
    while (to < d.size() && !IsLineBreak(d[to])) ++to;
    if (to < d.size()) to += (d[to] == '\r' && to + 1 < d.size() && d[to + 1] == '\n') ? 2 : 1;

    result.removedFrom = from;
    result.removedTo = to;
    result.rest = file.left(from) + file.mid(to);
    return result;
}

QString MailboxFilePath() {
    // The file the family's settings library uses (INI format, user scope,
    // organisation "Quenmarrow"), without the system-wide fallbacks: a value
    // this program could not delete must never be read again and again. The
    // name is made here as that library makes it: a settings object would
    // read the file as it is made, whatever stands there (and wait for ever on
    // a pipe).
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quenmarrow.ini");
}

QString ReadMessage() {
    const QString path = MailboxFilePath();
    // Only a regular file of a sane size holds a message: a pipe at the
    // mailbox's path would block the key for good, a device would never end.
    auto readAll = [&path](QByteArray& bytes) {
        std::optional<QByteArray> content = ReadSettingsFile(path);
        if (!content) return false;
        bytes = std::move(*content);
        return true;
    };

    QByteArray bytes;
    if (!readAll(bytes) || !TakeMessageLine(bytes).found) return QString::fromLatin1(kNoMessage);

    // A sibling writing through its settings library holds this lock while it
    // rewrites the file: take it, then read again, so that neither rewrite
    // loses the other's change. A holder is waited for two seconds at most;
    // a lock still held then leaves the message where it is, for the next
    // press. Where no lock can stand at the lock's path (something that is no
    // lock file stands there: a pipe, a link, a device, a folder; or the
    // folder cannot be written, the disk is full), no sibling can take it
    // and write the file either: the message is taken without it, and what
    // stands there is left as it is, without waiting and unread.
    SiblingLockFile lock(path + QStringLiteral(".lock"));
    if (lock.tryLock(2000) == SiblingLockFile::Result::Held) return QString::fromLatin1(kNoMessage);
    if (!readAll(bytes)) return QString::fromLatin1(kNoMessage);
    const MailboxLine taken = TakeMessageLine(bytes);
    if (!taken.found) return QString::fromLatin1(kNoMessage);

    // QSaveFile writes beside the file and renames over it, keeping its
    // permissions. Unbuffered, so that a short write (a full disk) shows in
    // the count written and the temporary file is discarded, never committed:
    // the file stays as it was, and with it the message, pending. A message
    // is taken only once it is gone from the file.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || out.write(taken.rest) != taken.rest.size() ||
        !out.commit())
        return QString::fromLatin1(kNoMessage);
    return taken.value;
}
