// The name check, the help text viewer and the sibling-program mailbox.
#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

#include "frame/help_viewer.h"
#include "frame/mailbox.h"
#include "frame/name_check.h"
#include "platform/lock_file.h"
#include "support/file_size_limit.h"

TEST(IsValidName, AcceptsPrintableAsciiWithoutQuotes) {
    const struct {
        QString text;
        bool bValid;
    } cases[] = {
        {"Cave Troll", true},
        {"", true},
        {"Orc's", false},
        {"The \"Big\" One", false},
        {"Brace{", false},
        {"Pipe|", false},
        {"Tilde~", false},
        {"Del\x7f", false},
        {QString::fromUtf8("Gnôme"), false},
        {"Tab\there", false},
        {"Line\nbreak", false},
        {"Cr\rhere", false},
        {"100% (Hit) 20", true},
        {"To=Hit, Dmg", true},
        {"!#$&()*+,-./:;<=>?@[\\]^_`azAZ09", true},
        {QString(QChar(0)), false},
        {QString::fromUtf8("Dragon 🐉"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidName(c.text), c.bValid) << c.text.toStdString();
}

TEST(ShowTextFile, PassesThePathAsOneArgumentToTheOpener) {
    std::vector<std::pair<QString, QStringList>> started;
    const TextFileLauncher previous = SetTextFileLauncher([&](const QString& program, const QStringList& args) {
        started.emplace_back(program, args);
        return true;
    });
    const QString path = "/tmp/my program folder/OVHelp \"quoted\" $(rm -rf x).txt";
    ShowTextFile(path);
    ShowTextFile(path);
    SetTextFileLauncher(previous);

    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].first, "xdg-open");
    EXPECT_EQ(started[0].second, QStringList{path});
}

namespace {

// Writes the mailbox as a sibling program does: a plain INI file.
void SiblingWrites(const QByteArray& ini) {
    QFile f(MailboxFilePath());
    QDir().mkpath(QFileInfo(f).absolutePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(ini);
}

QByteArray MailboxBytes() {
    QFile f(MailboxFilePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(ReadMessage, LivesInTheUsersConfigFolder) {
    EXPECT_EQ(MailboxFilePath(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quenmarrow.ini");
    // The file a sibling's settings library writes.
    EXPECT_EQ(MailboxFilePath(), QSettings(QSettings::IniFormat, QSettings::UserScope, "Quenmarrow").fileName());
}

TEST(ReadMessage, RemovesTheMessageLineAndKeepsEveryOtherByte) {
    // A file written by hand and by several siblings: comments, backslashes,
    // quotes, CR LF and LF line ends, other sections, a BOM.
    const QByteArray before =
        "\xef\xbb\xbf; Quenmarrow family settings\r\n"
        "[Dice]\r\n"
        "Path=C:\\games\\dice\r\n"
        "Quote=\"a, b; c\"\r\n"
        "\r\n"
        "[Communications]\n"
        "Before=1\n"
        "  Message = 42 ; from the dice roller\n"
        "After=\"x\\\\y\"\n"
        "odd line without equals\n"
        "[Elsewhere]\n"
        "Value=1";
    QByteArray after = before;
    after.remove(after.indexOf("  Message"), QByteArray("  Message = 42 ; from the dice roller\n").size());
    SiblingWrites(before);
    ASSERT_TRUE(QFile::setPermissions(MailboxFilePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

    EXPECT_EQ(ReadMessage(), "42");
    EXPECT_EQ(MailboxBytes(), after);
    const QFile::Permissions modeBits(0x7077);  // owner, group and others; not this process's own rights
    EXPECT_EQ(QFile::permissions(MailboxFilePath()) & modeBits, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_FALSE(QFile::exists(MailboxFilePath() + ".lock"));
    // Nothing pending now: the file is not touched.
    const QDateTime written = QFileInfo(MailboxFilePath()).lastModified();
    EXPECT_EQ(ReadMessage(), kNoMessage);
    EXPECT_EQ(MailboxBytes(), after);
    EXPECT_EQ(QFileInfo(MailboxFilePath()).lastModified(), written);

    // The message was the section's only value: the section stays.
    SiblingWrites("[Communications]\r\nMessage=7\r\n[Other]\r\nKey=\"v\"\r\n");
    EXPECT_EQ(ReadMessage(), "7");
    EXPECT_EQ(MailboxBytes(), "[Communications]\r\n[Other]\r\nKey=\"v\"\r\n");
}

TEST(ReadMessage, FindsAndDecodesTheValueAsTheSettingsLibraryDoes) {
    // Each file is read both ways: the message found must be the one a
    // sibling's QSettings sees, decoded the same, or none when it sees none.
    const QByteArray files[] = {
        "[Communications]\nMessage=42\n",
        "[Communications]\nMessage= 42 \t\n",
        "[Communications]\nMessage=\"  42  \"\n",
        "[Communications]\nMessage=\"4\\\"2\"  \n",
        "[Communications]\nMessage=C:\\\\games\\\\dice\n",
        "[Communications]\nMessage=C:\\games\\dice\n",
        "[Communications]\nMessage=12.5, 7\n",
        "[Communications]\nMessage=\"a,b\" ; note\n",
        "[Communications]\nMessage=\\x34\\x32\n",
        "[Communications]\nMessage=\\0652\\t\n",
        "[Communications]\nMessage=@@7\n",
        "[Communications]\nMessage=4\"2\"x\n",
        "[Communications]\nMessage=\"multi\nline\"\nNext=1\n",
        "[Communications]\nMessage=continued \\\n line\n",
        "[Communications]\nMessage=\n",
        "[ Communications ]\r\n Message =9\r\n",
        "[%43ommunications]\nMess%61ge=8\n",
        "[Communications]\nMessage=1\n[Other]\nMessage=2\n[Communications]\nMessage=3\n",
        "[Communications]\n;Message=1\n",
        "[communications]\nMessage=1\n",
        "[Communications]\nmessage=1\n",
        "Message=1\n[General]\nMessage=2\n",
        "[Communications]\nSub\\Message=1\n",
        "[Communications\nMessage=5\n",
    };
    QTemporaryDir dir;
    int n = 0;
    for (const QByteArray& file : files) {
        const QString path = dir.filePath(QString("case%1.ini").arg(n++));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        QSettings sibling(path, QSettings::IniFormat);
        const QVariant v = sibling.value("Communications/Message");
        const QString expected = v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();

        const MailboxLine taken = TakeMessageLine(file);
        EXPECT_EQ(taken.found, sibling.contains("Communications/Message")) << file.toStdString();
        if (taken.found) {
            EXPECT_EQ(taken.value, expected) << file.toStdString();
        }
    }
}

TEST(ReadMessage, ReturnsAnyTextAndDeletesIt) {
    {
        // A sibling that writes through its own settings library.
        QSettings sibling(QSettings::IniFormat, QSettings::UserScope, "Quenmarrow");
        sibling.setValue("Communications/Message", "Goblin");
    }
    EXPECT_EQ(ReadMessage(), "Goblin");
    EXPECT_EQ(ReadMessage(), kNoMessage);

    SiblingWrites("[Communications]\nMessage=12.5, 7\n");
    EXPECT_EQ(ReadMessage(), "12.5,7");  // an unquoted comma list comes back joined
    EXPECT_FALSE(MailboxBytes().contains("Message"));
}

TEST(ReadMessage, NothingPendingLeavesTheStoreAlone) {
    QFile::remove(MailboxFilePath());
    EXPECT_EQ(ReadMessage(), kNoMessage);
    EXPECT_FALSE(QFile::exists(MailboxFilePath()));
}

TEST(ReadMessage, ARewriteCutShortLeavesTheFileAndItsMessageAsTheyWere) {
    // The system refuses writes beyond 1 KiB, as a full disk would: the lock's
    // short text is written, the rewrite fails half-way. Nothing is taken:
    // every byte stays, nothing is left beside the file, and the message is
    // still there for the next press.
    QByteArray ini = "[Communications]\nMessage=8\n[Dice]\n";
    for (int i = 0; ini.size() < 4096; ++i) ini += "Key" + QByteArray::number(i) + "=value\n";
    SiblingWrites(ini);
    QString message;
    ASSERT_TRUE(WithFileSizeLimit(1024, [&] { message = ReadMessage(); }));
    EXPECT_EQ(message, kNoMessage);
    EXPECT_EQ(MailboxBytes(), ini);
    EXPECT_EQ(QDir(QFileInfo(MailboxFilePath()).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Quenmarrow.ini"});
    EXPECT_EQ(ReadMessage(), "8");
}

TEST(ReadMessage, ItsLockIsTheOneASiblingsSettingsLibraryTakesBothWays) {
    const QString lockPath = MailboxFilePath() + ".lock";
    QDir().mkpath(QFileInfo(lockPath).absolutePath());

    // Held by this program: a sibling's lock finds it held by a living
    // process, and has it once it is given up.
    {
        SiblingLockFile ours(lockPath);
        ASSERT_EQ(ours.tryLock(0), SiblingLockFile::Result::Locked);
        QLockFile sibling(lockPath);
        EXPECT_FALSE(sibling.tryLock(0));
        EXPECT_EQ(sibling.error(), QLockFile::LockFailedError);
        qint64 pid = 0;
        QString host, app;
        ASSERT_TRUE(sibling.getLockInfo(&pid, &host, &app));
        EXPECT_EQ(pid, QCoreApplication::applicationPid());
        EXPECT_EQ(host, QSysInfo::machineHostName());
        ours.unlock();
        EXPECT_FALSE(QFileInfo::exists(lockPath));
        EXPECT_TRUE(sibling.tryLock(0));
    }

    // Held by a sibling: the key waits until it is given up, then takes the
    // message.
    {
        SiblingWrites("[Communications]\nMessage=5\n");
        QLockFile sibling(lockPath);
        ASSERT_TRUE(sibling.tryLock(0));
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            sibling.unlock();
        });
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(ReadMessage(), "5");
        EXPECT_GE(timer.elapsed(), 350);
        release.join();
        EXPECT_EQ(MailboxBytes(), "[Communications]\n");
        EXPECT_FALSE(QFileInfo::exists(lockPath));
    }

    // Stale, and removed at once: left by a crashed sibling (naming a process
    // that has ended), naming a number that another program runs now, written
    // before the host last started, older than any holding, made an hour ago
    // and never written.
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    auto textOf = [](qint64 pid, const QByteArray& program, const QByteArray& boot) {
        QByteArrayList text = LockFileText().split('\n');
        text[0] = QByteArray::number(pid);
        text[1] = program;
        if (!boot.isEmpty()) text[4] = boot;
        return text.join('\n');
    };
    const qint64 self = QCoreApplication::applicationPid();
    const QByteArray program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    const struct {
        const char* what;
        QByteArray text;
        int ageSecs;
    } stale[] = {
        {"ended", textOf(endedPid, "true", {}), 0},
        {"number reused", textOf(self, "sleep", {}), 0},
        {"earlier boot", textOf(self, program, "00000000-0000-0000-0000-000000000000"), 0},
        {"older than any holding", textOf(self, program, {}), 3600},
        {"never written", {}, 3600},
    };
    for (const auto& c : stale) {
        {
            QFile lock(lockPath);
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::NewOnly)) << c.what;
            ASSERT_EQ(lock.write(c.text), c.text.size());
            ASSERT_TRUE(lock.flush());
            if (c.ageSecs > 0) {
                ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addSecs(-c.ageSecs), QFileDevice::FileModificationTime));
            }
        }
        SiblingWrites("[Communications]\nMessage=6\n");
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(ReadMessage(), "6") << c.what;
        EXPECT_LT(timer.elapsed(), 1500) << c.what;
        EXPECT_FALSE(QFileInfo::exists(lockPath)) << c.what;
        EXPECT_FALSE(QFileInfo::exists(lockPath + ".rmlock")) << c.what;
    }
}
