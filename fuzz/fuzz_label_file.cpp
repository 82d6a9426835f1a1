// Label settings file: reading any bytes never fails, and what a rewrite
// writes reads back consistently.
//
// Input: KEY NUL VALUE NUL FILE-BYTES. Without two NULs the whole input is the
// file and the key is "Field0". Every byte is one Latin-1 character, as the
// file itself is read.
#include "frame/label_settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "label file check failed: %s\n", what);
        std::abort();
    }
}

QString ScratchPath() {
    // tmpfs where there is one: every input rewrites the file a few times.
    const QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return dir + QStringLiteral("/ov-fuzz-label-%1.cfg").arg(::getpid());
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    Check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file opens");
    Check(f.write(bytes) == bytes.size(), "scratch file written");
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    Check(f.open(QIODevice::ReadOnly), "rewritten file opens");
    return f.readAll();
}

QString Without(QString s, QChar c) {
    s.remove(c);
    return s;
}

// The key of a record, or a null string when it has no "=".
QString KeyOf(const QString& record) {
    const qsizetype eq = record.indexOf(u'=');
    return eq < 0 ? QString() : record.left(eq);
}

struct Scratch {
    QString path = ScratchPath();
    ~Scratch() { QFile::remove(path); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    QString key = QStringLiteral("Field0");
    QString value = QStringLiteral("x");
    QByteArray file = input;
    const qsizetype nul1 = input.indexOf('\0');
    const qsizetype nul2 = nul1 < 0 ? -1 : input.indexOf('\0', nul1 + 1);
    if (nul2 >= 0) {
        key = QString::fromLatin1(input.left(nul1));
        value = QString::fromLatin1(input.mid(nul1 + 1, nul2 - nul1 - 1));
        file = input.mid(nul2 + 1);
    }

    // Reading: any key, any bytes. A value found belongs to a record of that key.
    WriteBytes(scratch.path, file);
    const QStringList records = ParseCfgRecords(QString::fromLatin1(file));
    const QString read = ReadCfgValue(scratch.path, key);
    if (!read.isEmpty()) Check(records.contains(key + u'=' + read), "a value read comes from a record of its key");

    // Writing: keys and values as captions reach the file (no quote; the key
    // has no "=", or it could never be matched).
    key = Without(Without(key, u'='), u'"');
    value = Without(value, u'"');
    bool matched = false;
    QByteArray expected;
    QStringList expectedRecords;
    for (const QString& r : records) {
        const QString k = KeyOf(r);
        const bool hit = !k.isNull() && k == key;
        matched = matched || hit;
        const QString out = hit ? key + u'=' + value : r;
        // A record read from an unquoted line may hold a quote: it is written
        // back unquoted, as it was read.
        expected += out.contains(u'"') ? out.toLatin1() + "\r\n" : '"' + out.toLatin1() + "\"\r\n";
        expectedRecords << out;
    }

    Check(WriteCfgValue(scratch.path, key, value), "a writable file is rewritten");
    const QByteArray written = ReadBytes(scratch.path);
    Check(written == expected, "every record written quoted, in order, only the key's records changed");
    Check(ParseCfgRecords(QString::fromLatin1(written)) == expectedRecords, "the rewritten file reads back as written");
    Check(ReadCfgValue(scratch.path, key) == (matched ? value : QString()), "the value written reads back");

    // A second rewrite with the same value changes nothing more.
    Check(WriteCfgValue(scratch.path, key, value), "the rewritten file is rewritten again");
    const QByteArray again = ReadBytes(scratch.path);
    Check(again == written, "a rewrite of a rewritten file is stable");
    return 0;
}
