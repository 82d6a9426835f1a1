// The main window's start, the message key of the sibling programs, the end of
// the program and the Help button, on real program folders.
#include <QByteArrayList>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "frame/button_store.h"
#include "frame/mailbox.h"
#include "frame/splash.h"
#include "platform/lock_file.h"
#include "support/main_window_fixture.h"

namespace {

const QString kMailboxKey = QStringLiteral("Communications/Message");

void PostMessage(const QString& text) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quenmarrow"));
    s.setValue(kMailboxKey, text);
    s.sync();
}

bool MessagePending() {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quenmarrow"));
    return s.contains(kMailboxKey);
}

void ClearMailbox() {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quenmarrow"));
    s.remove(kMailboxKey);
    s.sync();
}

QString SelectedText(const ListBox* l) { return l->ListIndex() < 0 ? QString() : l->List(l->ListIndex()); }
qint32 SelectedID(const ListBox* l) { return l->ListIndex() < 0 ? -1 : l->ItemData(l->ListIndex()); }

class MainStartup : public MainWindowFixture {
protected:
    // Three categories, the creatures with IDs of the test's choice:
    //   Alpha: Ant (11), Bee (12)   Beta: Cat (42)   Gamma: Dog (57), Eel (58)
    void MakeThreeCategories() {
        ProgramFolder& f = Folder();
        alpha = f.AddCategory(QStringLiteral("Alpha"));
        beta = f.AddCategory(QStringLiteral("Beta"));
        gamma = f.AddCategory(QStringLiteral("Gamma"));
        AddCreature(11, alpha, "Ant", "six legs");
        AddCreature(12, alpha, "Bee", "buzz");
        AddCreature(42, beta, "Cat", "purr");
        AddCreature(57, gamma, "Dog", "woof");
        AddCreature(58, gamma, "Eel", "slippery");
    }
    void AddCreature(qint64 id, qint64 cat, const char* name, const char* field0) {
        Folder().Exec(QStringLiteral("INSERT INTO Creatures (IDCreature, IDCategory, Name, Field0, Description, Picture) "
                                     "VALUES (?1, ?2, ?3, ?4, '', '')"),
                      {id, cat, QString::fromLatin1(name), QString::fromLatin1(field0)});
    }
    QString StoredField0(qint64 id) {
        return Folder().Scalar(QStringLiteral("SELECT Field0 FROM Creatures WHERE IDCreature = ?1"), {id}).toString();
    }
    qint64 StoredCategory(qint64 id) {
        return Folder().Scalar(QStringLiteral("SELECT IDCategory FROM Creatures WHERE IDCreature = ?1"), {id}).toLongLong();
    }
    void SendMessageKey() { PressKey(Qt::Key_F8, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier); }
    // Brings the corner buttons up and clicks one of them, as the user does.
    void ClickCornerButton(PictureButton* b) {
        QTest::mouseMove(w(), QPoint(600, 420));
        QApplication::processEvents();
        ASSERT_TRUE(b->isVisible());
        Click(b);
    }

    void SetUp() override {
        MainWindowFixture::SetUp();
        ClearMailbox();
    }
    void TearDown() override {
        ClearMailbox();
        MainWindowFixture::TearDown();
    }

    qint64 alpha = 0, beta = 0, gamma = 0;
};

// ---------------------------------------------------------------- start

TEST_F(MainStartup, EmptyDatabaseShowsPageZeroWithCaptionsAndNothingSelected) {
    StartMainWindow();
    EXPECT_EQ(w()->lstCategory->ListCount(), 0);
    EXPECT_EQ(w()->lstCreature->ListCount(), 0);
    EXPECT_EQ(w()->lblCategory->caption(), "");
    EXPECT_EQ(w()->lblName->caption(), "");
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "");
    EXPECT_FALSE(w()->m_bLocked);
    // Page 0 with the captions of the label settings file.
    EXPECT_EQ(w()->lblStatLabel[0]->caption(), "Size");
    EXPECT_EQ(w()->lblStatLabel[10]->caption(), "Description");
    for (int i = 0; i <= 10; ++i) EXPECT_TRUE(w()->txtStatText[size_t(i)]->isVisible()) << i;
    for (int i = 11; i <= 20; ++i) EXPECT_FALSE(w()->txtStatText[size_t(i)]->isVisible()) << i;
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(w()->txtStatText[size_t(i)]->text(), "") << i;
    EXPECT_FALSE(w()->picPicture->isVisible());
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
    // The focus starts in the first statistic box.
    EXPECT_TRUE(w()->txtStatText[0]->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == w()->txtStatText[0]);
}

TEST_F(MainStartup, FirstCategoryWithoutCreaturesIsSelectedWithAnEmptySheet) {
    const qint64 a = Folder().AddCategory(QStringLiteral("Aardvarks"));
    const qint64 b = Folder().AddCategory(QStringLiteral("Bats"));
    Folder().AddCreature(b, QStringLiteral("Fruit Bat"));
    Folder().AddRoster(QStringLiteral("Night"));
    StartMainWindow();
    EXPECT_EQ(SelectedID(w()->lstCategory), a);
    EXPECT_EQ(w()->lblCategory->caption(), "Aardvarks");
    EXPECT_EQ(w()->lstCreature->ListCount(), 0);
    EXPECT_EQ(w()->lblName->caption(), "");
    // Rosters are listed, none is opened.
    EXPECT_EQ(w()->lstRoster->ListCount(), 1);
    EXPECT_EQ(w()->lstRoster->ListIndex(), -1);
    EXPECT_EQ(w()->lblRosterCurrent->caption(), "");
}

TEST_F(MainStartup, FirstCategoryAndItsFirstCreatureAreShown) {
    MakeThreeCategories();
    StartMainWindow();
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_EQ(SelectedText(w()->lstCreature), "Ant");
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(w()->txtStatText[0]->text(), "six legs");
    EXPECT_FALSE(w()->lstCategory->isVisible());
    EXPECT_FALSE(w()->lstCreature->isVisible());
}

TEST_F(MainStartup, StartCreatureInTheThirdCategoryIsSelectedAndShown) {
    MakeThreeCategories();
    StartMainWindow(58);
    EXPECT_EQ(w()->lstCategory->ListIndex(), 2);
    EXPECT_EQ(w()->lblCategory->caption(), "Gamma");
    EXPECT_EQ(SelectedID(w()->lstCreature), 58);
    EXPECT_EQ(w()->lblName->caption(), "Eel");
    EXPECT_EQ(w()->txtStatText[0]->text(), "slippery");
    EXPECT_TRUE(w()->lblStatLabel[10]->isVisible());  // page 0
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, StartCreatureThatDoesNotExistLeavesTheFirstOneShown) {
    MakeThreeCategories();
    StartMainWindow(999);
    EXPECT_EQ(w()->lblCategory->caption(), "Alpha");
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, NoDatabaseFileGivesTheErrorBoxesThenAnEmptyWindow) {
    UseFolder(ProgramFolder::Content::NoDatabase);
    StartMainWindow(5);
    EXPECT_EQ(MsgBoxTitles(), (QStringList{"Error Loading Categories from Database", "Error Loading Rosters from Database",
                                           "Error Retrieving Creature Category ID from Database"}));
    for (const QString& p : MsgBoxPrompts()) EXPECT_TRUE(p.startsWith("Error: ")) << p.toStdString();
    EXPECT_TRUE(w()->isVisible());
    EXPECT_EQ(w()->lstCategory->ListCount(), 0);
    EXPECT_EQ(w()->lstRoster->ListCount(), 0);
    EXPECT_EQ(w()->lblName->caption(), "");
    EXPECT_EQ(w()->lblStatLabel[0]->caption(), "Size");
}

// ---------------------------------------------------------------- message key

TEST_F(MainStartup, OtherKeysLeaveTheMailboxAlone) {
    MakeThreeCategories();
    StartMainWindow();
    PostMessage("57");
    PressKey(Qt::Key_F8, Qt::NoModifier);
    PressKey(Qt::Key_F8, Qt::ControlModifier | Qt::AltModifier);
    PressKey(Qt::Key_F7, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(MessagePending());
    EXPECT_EQ(w()->lblName->caption(), "Ant");
}

TEST_F(MainStartup, MessageKeyShowsTheCreatureOfAnotherCategoryAndEmptiesTheMailbox) {
    MakeThreeCategories();
    StartMainWindow();
    w()->ShowPage(1);
    PostMessage("57");
    SendMessageKey();
    EXPECT_FALSE(MessagePending());
    EXPECT_EQ(w()->lblCategory->caption(), "Gamma");
    EXPECT_EQ(SelectedID(w()->lstCreature), 57);
    EXPECT_EQ(w()->lblName->caption(), "Dog");
    EXPECT_TRUE(w()->lblStatLabel[10]->isVisible());  // back on page 0
    // Nothing was moved: the lock is off.
    EXPECT_EQ(StoredCategory(11), alpha);

    // Again with nothing pending: nothing happens.
    w()->lstCategory->setListIndex(0);
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, MessageKeyReachesTheWindowWhicheverControlHasTheFocus) {
    MakeThreeCategories();
    StartMainWindow();
    Click(w()->imgList[1]);  // the category list takes the focus
    ASSERT_EQ(QApplication::focusWidget(), w()->lstCategory);
    PostMessage("42");
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Cat");
}

TEST_F(MainStartup, MessageKeyWithTheLockOnMovesThePreviousCreatureFirst) {
    MakeThreeCategories();
    StartMainWindow();
    ASSERT_EQ(w()->lblName->caption(), "Ant");
    Click(w()->imgLock);
    ASSERT_TRUE(w()->m_bLocked);
    PostMessage("57");
    SendMessageKey();
    EXPECT_EQ(StoredCategory(11), gamma);  // Ant moved into Dog's category
    EXPECT_EQ(w()->lblCategory->caption(), "Gamma");
    EXPECT_EQ(SelectedID(w()->lstCreature), 57);
    EXPECT_EQ(w()->lblName->caption(), "Dog");
    EXPECT_EQ(w()->lstCreature->ListCount(), 3);
}

TEST_F(MainStartup, MessageNumbersAreReadAsDecimalRoundedHalfToEven) {
    MakeThreeCategories();
    StartMainWindow();
    PostMessage("12.5");
    SendMessageKey();
    EXPECT_EQ(SelectedID(w()->lstCreature), 12);
    PostMessage(" 42 ");
    SendMessageKey();
    EXPECT_EQ(SelectedID(w()->lstCreature), 42);
    PostMessage("42abc");
    w()->lstCategory->setListIndex(0);
    SendMessageKey();
    EXPECT_FALSE(MessagePending());
    EXPECT_EQ(SelectedID(w()->lstCreature), 11);
    PostMessage("4294967353");  // 57 beyond 32 bits
    SendMessageKey();
    EXPECT_FALSE(MessagePending());
    EXPECT_EQ(SelectedID(w()->lstCreature), 11);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, MessageForAnUnknownCreatureOnlyEmptiesTheMailbox) {
    MakeThreeCategories();
    StartMainWindow();
    PostMessage("999");
    SendMessageKey();
    EXPECT_FALSE(MessagePending());
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, TheMailboxIsReadOnlyWhenItIsARegularFileOfASaneSize) {
    MakeThreeCategories();
    StartMainWindow();
    const QString mailbox = MailboxFilePath();
    const QByteArray message = "[Communications]\nMessage=57\n";
    QDir().mkpath(QFileInfo(mailbox).absolutePath());
    QFile::remove(mailbox);

    // A pipe: a sibling keeps offering the message through it, but the key
    // never opens it (which would wait for ever without a sibling there).
    ASSERT_EQ(::mkfifo(QFile::encodeName(mailbox).constData(), 0600), 0);
    std::atomic<bool> bStop = false;
    std::atomic<int> readersMet = 0;
    std::thread sibling([&] {
        // A reader gone before the write gives an error, not the end of the tests.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        while (!bStop) {
            // Opens only while a reader has the pipe open.
            const int fd = ::open(QFile::encodeName(mailbox).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            ++readersMet;
            [[maybe_unused]] const ssize_t n = ::write(fd, message.constData(), size_t(message.size()));
            ::close(fd);
        }
    });
    SendMessageKey();
    QTest::qWait(100);
    bStop = true;
    sibling.join();
    EXPECT_EQ(readersMet, 0);
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(mailbox).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_TRUE(QFile::remove(mailbox));

    // A device that never ends: nothing is read, the program goes on.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), mailbox));
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(QFileInfo(mailbox).symLinkTarget(), "/dev/zero");
    ASSERT_TRUE(QFile::remove(mailbox));

    // Larger than any settings file: left as it is.
    const QByteArray huge = message + QByteArray(2 * 1024 * 1024, ';');
    {
        QFile f(mailbox);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(huge), huge.size());
    }
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    QFile f(mailbox);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), huge);
    f.close();
    ASSERT_TRUE(QFile::remove(mailbox));

    // A link to a regular file is read, and the message leaves the file the
    // link names; the link stays.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("Quenmarrow.ini"));
    {
        QFile t(target);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("[Communications]\nMessage=42\n");
    }
    ASSERT_TRUE(QFile::link(target, mailbox));
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Cat");
    EXPECT_EQ(QFileInfo(mailbox).symLinkTarget(), target);
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), "[Communications]\n");
    ASSERT_TRUE(QFile::remove(mailbox));
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, WhateverStandsAtTheMailboxsLockTheKeyReturnsAtOnceAndTakesOnlyTheMessage) {
    MakeThreeCategories();
    StartMainWindow();
    const QString mailbox = MailboxFilePath();
    const QByteArray lock = QFile::encodeName(mailbox + QStringLiteral(".lock"));
    QDir().mkpath(QFileInfo(mailbox).absolutePath());
    auto writeMailbox = [&](const QByteArray& id) {
        QFile f(mailbox);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("; family settings\n[Dice]\nPath=x\n[Communications]\nMessage=" + id + "\nOther=1\n");
    };
    auto mailboxBytes = [&] {
        QFile f(mailbox);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray after = "; family settings\n[Dice]\nPath=x\n[Communications]\nOther=1\n";

    // A pipe: opening it to read waits for a writer for ever. A writer stands
    // by all the while; it meets no reader.
    ASSERT_EQ(::mkfifo(lock.constData(), 0600), 0);
    writeMailbox("57");
    std::atomic<bool> bStop = false;
    std::atomic<int> readersMet = 0;
    std::thread writer([&] {
        while (!bStop) {
            // Opens only while a reader has the pipe open, and lets it go on.
            const int fd = ::open(lock.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ++readersMet;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    QElapsedTimer timer;
    timer.start();
    SendMessageKey();
    const qint64 pipeMs = timer.elapsed();
    bStop = true;
    writer.join();
    EXPECT_EQ(readersMet, 0);
    // Not even the wait for a living holder's lock.
    EXPECT_LT(pipeMs, 1500);
    EXPECT_EQ(w()->lblName->caption(), "Dog");
    EXPECT_EQ(mailboxBytes(), after);
    struct stat st {};
    ASSERT_EQ(::lstat(lock.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::unlink(lock.constData()), 0);

    // A link to a device that never ends: nothing is read through it.
    ASSERT_EQ(::symlink("/dev/zero", lock.constData()), 0);
    writeMailbox("42");
    timer.restart();
    SendMessageKey();
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_EQ(w()->lblName->caption(), "Cat");
    EXPECT_EQ(mailboxBytes(), after);
    EXPECT_EQ(QFileInfo(QFile::decodeName(lock)).symLinkTarget(), "/dev/zero");
    ASSERT_EQ(::unlink(lock.constData()), 0);

    // Nothing else is left beside the mailbox.
    EXPECT_EQ(QDir(QFileInfo(mailbox).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList{QStringLiteral("Quenmarrow.ini")});
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, ALockWhoseHolderStillRunsKeepsTheMessagePendingUntilTheHolderHasEnded) {
    MakeThreeCategories();
    StartMainWindow();
    const QString mailbox = MailboxFilePath();
    const QString lockPath = mailbox + QStringLiteral(".lock");
    QDir().mkpath(QFileInfo(mailbox).absolutePath());
    const QByteArray before = "; family settings\n[Dice]\nPath=x\n[Communications]\nMessage=57\nOther=1\n";
    {
        QFile f(mailbox);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(before);
    }
    auto bytesOf = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // A sibling's lock as its settings library leaves it for a moment while
    // giving it up: the whole text of a process that still runs the program
    // it names, and no flock held. The key waits out its two seconds and
    // takes nothing: no creature, no box, every byte of the mailbox and of
    // the lock as it was.
    QProcess holder;
    holder.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(holder.waitForStarted());
    QByteArrayList text = LockFileText().split('\n');
    text[0] = QByteArray::number(holder.processId());
    text[1] = "sleep";
    {
        QFile lock(lockPath);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::NewOnly));
        lock.write(text.join('\n'));
    }
    const QByteArray lockText = bytesOf(lockPath);
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(bytesOf(mailbox), before);
    EXPECT_EQ(bytesOf(lockPath), lockText);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());

    // Once the holder has ended, the same lock is stale: removed, and the
    // message taken.
    holder.kill();
    ASSERT_TRUE(holder.waitForFinished());
    SendMessageKey();
    EXPECT_EQ(w()->lblName->caption(), "Dog");
    EXPECT_EQ(bytesOf(mailbox), "; family settings\n[Dice]\nPath=x\n[Communications]\nOther=1\n");
    EXPECT_EQ(QDir(QFileInfo(mailbox).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList{QStringLiteral("Quenmarrow.ini")});
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

// ---------------------------------------------------------------- the end

TEST_F(MainStartup, ExitSavesTheSelectedCreatureWithItsEditsThenEnds) {
    MakeThreeCategories();
    StartMainWindow();
    Type(w()->txtStatText[0], "x");  // the box's whole text was selected: replaced
    ClickCornerButton(w()->imgExit);
    EXPECT_EQ(StoredField0(11), "x");
    EXPECT_EQ(EndProgramCalls(), 1);
}

TEST_F(MainStartup, ExitSavesTheSelectedCreatureEvenWithoutChanges) {
    MakeThreeCategories();
    StartMainWindow();
    // Changed behind the program's back: the sheet is written over it.
    Folder().Exec(QStringLiteral("UPDATE Creatures SET Field0 = 'elsewhere' WHERE IDCreature = 11"));
    ClickCornerButton(w()->imgExit);
    EXPECT_EQ(StoredField0(11), "six legs");
    EXPECT_EQ(EndProgramCalls(), 1);
}

TEST_F(MainStartup, ExitWithNoCreatureSelectedWritesNothing) {
    const qint64 a = Folder().AddCategory(QStringLiteral("Aardvarks"));
    Q_UNUSED(a);
    StartMainWindow();
    const QByteArray before = Folder().DatabaseBytes();
    ClickCornerButton(w()->imgExit);
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_EQ(EndProgramCalls(), 1);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, ClosingTheWindowOtherwiseSavesAndEndsLikeExit) {
    MakeThreeCategories();
    StartMainWindow();
    Type(w()->txtStatText[0], "closed");
    w()->close();
    QApplication::processEvents();
    EXPECT_EQ(StoredField0(11), "closed");
    EXPECT_EQ(EndProgramCalls(), 1);
}

TEST_F(MainStartup, NothingRunsOrIsSavedWhileTheWindowIsTornDownAfterTheEnd) {
    MakeThreeCategories();
    StartMainWindow();
    FocusBox(w()->txtStatText[3]);
    Type(w()->txtStatText[3], "typed");
    ClickCornerButton(w()->imgExit);
    ASSERT_EQ(EndProgramCalls(), 1);
    EXPECT_EQ(Folder().Scalar(QStringLiteral("SELECT Field3 FROM Creatures WHERE IDCreature = 11")).toString(), "typed");
    // Changed behind the program's back after the end: the teardown moves the
    // focus out of the box but saves nothing more.
    Folder().Exec(QStringLiteral("UPDATE Creatures SET Field3 = 'after' WHERE IDCreature = 11"));
    DestroyMainWindow();
    EXPECT_EQ(Folder().Scalar(QStringLiteral("SELECT Field3 FROM Creatures WHERE IDCreature = 11")).toString(), "after");
}

TEST_F(MainStartup, DestroyingTheWindowWithUnsavedTypingRunsNoHandler) {
    MakeThreeCategories();
    StartMainWindow();
    FocusBox(w()->txtStatText[3]);
    Type(w()->txtStatText[3], "typed");
    ASSERT_TRUE(w()->m_bStatChanged);
    DestroyMainWindow();
    EXPECT_EQ(Folder().Scalar(QStringLiteral("SELECT Field3 FROM Creatures WHERE IDCreature = 11")).toString(), "");
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainStartup, FailedSaveOnExitIsReportedAndTheProgramStillEnds) {
    MakeThreeCategories();
    StartMainWindow();
    ASSERT_TRUE(QFile::remove(Folder().databasePath()));
    ClickCornerButton(w()->imgExit);
    EXPECT_EQ(MsgBoxTitles(), QStringList{"Error Saving Creature Information to Database"});
    EXPECT_EQ(EndProgramCalls(), 1);
}

// ---------------------------------------------------------------- help

TEST_F(MainStartup, HelpResetsTheButtonsThenShowsTheAboutBox) {
    MakeThreeCategories();
    StartMainWindow();
    QTest::mouseMove(w()->imgPage2, w()->imgPage2->rect().center());
    QApplication::processEvents();
    const QPixmap normal = frmImageStore::Instance().Image(StoreArray::imgPage2, LookNormal);
    ASSERT_NE(w()->imgPage2->picture().toImage(), normal.toImage());

    bool sawAboutBox = false;
    bool buttonsWereReset = false;
    WhenModalShown([&](QWidget* dialog) {
        auto* splash = qobject_cast<frmSplash*>(dialog);
        sawAboutBox = splash && !splash->imgHelp->isHidden() && !splash->imgCancel->isHidden();
        buttonsWereReset = w()->imgPage2->picture().toImage() == normal.toImage();
        ClickChild(dialog, "imgCancel");
    });
    ClickCornerButton(w()->imgHelp);
    EXPECT_TRUE(sawAboutBox);
    EXPECT_TRUE(buttonsWereReset);
    // The main window is as before.
    EXPECT_EQ(w()->lblName->caption(), "Ant");
    EXPECT_EQ(EndProgramCalls(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
