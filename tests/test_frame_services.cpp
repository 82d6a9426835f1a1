// The name check, the help text viewer and the sibling-program mailbox.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "frame/help_viewer.h"
#include "frame/mailbox.h"
#include "frame/name_check.h"

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
}

TEST(ReadMessage, TakesAMessageOnceAndLeavesOtherValues) {
    SiblingWrites("[Communications]\nMessage=42\nOther=keep\n\n[Elsewhere]\nValue=1\n");
    EXPECT_EQ(ReadMessage(), "42");
    EXPECT_EQ(ReadMessage(), kNoMessage);
    QSettings check(MailboxFilePath(), QSettings::IniFormat);
    EXPECT_FALSE(check.contains("Communications/Message"));
    EXPECT_EQ(check.value("Communications/Other").toString(), "keep");
    EXPECT_EQ(check.value("Elsewhere/Value").toString(), "1");
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
